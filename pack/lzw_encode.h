// LZW encoder for the authoring tool: produces streams that lzw_decode (quiz/lzw.h) reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Compresses data[0..len) into one whole stream: a literal first, width changes sent as 257
// just before a code needs them, 258 before the dictionary would pass code 4095, 256 at the
// end, the last byte padded with zero bits. No dictionary string exceeds 4096 bytes.
// Returns an empty vector when there is nothing a decoder could reproduce: for len 0 (every
// stream yields at least its first byte) and for len above LZW_OUTPUT_CAPACITY (120000).
// The caller checks the compressed size against its own limit (a quiz resource < 65535 bytes).
std::vector<uint8_t> lzw_encode(const uint8_t* data, size_t len);
