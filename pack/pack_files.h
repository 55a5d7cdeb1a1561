// Whole-file reads and all-or-nothing writes for the authoring tool.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

bool pack_read_file(const std::string& path, std::vector<uint8_t>* bytes);
// Writes through a temporary file beside path, renamed over path once complete, so a failure
// never leaves a half-written file. On failure *error says why.
bool pack_write_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
// Makes the folder and its parents; true when it exists afterwards.
bool pack_make_folder(const std::string& path);
