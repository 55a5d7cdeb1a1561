// Reading a quiz back out of an executable, or out of the raw bytes of its two resources, into
// a source file and its media files, so that building that source gives the same resources.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pack/pe_resources.h"
#include "pack/quiz_source.h"

struct PackDumpFile {
    std::string name;              // file name inside the dump folder
    std::vector<uint8_t> bytes;
};

struct PackDump {
    QuizSourceFile source;         // texts in Windows-1252; media paths are the files' names
    std::vector<PackDumpFile> files;
    bool scrambled = false;        // the quiz resources were scrambled: build with --scramble
    std::vector<std::string> notes;   // what a build of the source would not reproduce
};

// Decodes the quiz stream (and the codes stream when given) with the player's decoder and
// parser, plain or scrambled. False with *error when the quiz does not decode.
bool pack_dump_streams(const std::vector<uint8_t>& quiz, const std::vector<uint8_t>* codes, PackDump* dump,
                       std::string* error);

// The quiz, its media and its icon from an executable's resources.
bool pack_dump_resources(const std::vector<PeResource>& resources, PackDump* dump, std::string* error);

// The source file's text (UTF-8 TOML).
std::string pack_source_text(const PackDump& dump);

// Writes folder/name.toml and the media files; false with *error on failure.
bool pack_write_dump(const PackDump& dump, const std::string& folder, const std::string& name, std::string* error);
