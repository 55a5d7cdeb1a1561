// A tiny PNG and zlib writer for tests: hand-made streams with exactly the faults a case needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// DEFLATE bits, LSB first.
struct BitWriter {
    Bytes bytes;
    uint32_t acc = 0;
    int used = 0;
};
void bits_put(BitWriter* w, uint32_t value, int count);    // value's low bits, LSB first
void bits_put_code(BitWriter* w, uint32_t code, int length);  // a Huffman code, MSB first
void bits_align(BitWriter* w);                             // pad to a byte with zeros

// One symbol of a fixed-Huffman block: a literal (distance 0) or a match.
struct DeflateToken {
    uint32_t length_or_literal;
    uint32_t distance;
};
DeflateToken lit(uint8_t byte);
DeflateToken match(uint32_t length, uint32_t distance);

// Block writers append to a BitWriter; call bits_align at the end of the stream.
void deflate_put_fixed_block(BitWriter* w, const std::vector<DeflateToken>& tokens, bool final);
void deflate_put_stored_block(BitWriter* w, const Bytes& data, bool final);
// Canonical Huffman codes (MSB first) for code lengths, 0 = unused.
std::vector<uint32_t> huffman_codes(const std::vector<uint8_t>& lengths);
// A dynamic block header from raw parts: counts as sent (HLIT etc. plus their bases), the 19
// code length code lengths by symbol, and the code length symbols with their extra-bit values.
struct CodeLengthToken {
    uint32_t symbol, extra;
};
void deflate_put_dynamic_header(BitWriter* w, bool final, uint32_t litlen_count, uint32_t dist_count,
                                const std::vector<uint8_t>& codelen_lengths, const std::vector<CodeLengthToken>& tokens);
// A whole dynamic block with the given code lengths (sent without repeat codes).
void deflate_put_dynamic_block(BitWriter* w, const std::vector<uint8_t>& litlen_lengths,
                               const std::vector<uint8_t>& dist_lengths, const std::vector<DeflateToken>& tokens,
                               bool final);

uint32_t adler32_of(const Bytes& data);
uint32_t crc32_of(const uint8_t* data, size_t size);

// zlib stream: header 78 01, the deflate bytes, then the Adler-32 of `uncompressed`.
Bytes zlib_wrap(const Bytes& deflate, const Bytes& uncompressed);
Bytes zlib_stored(const Bytes& data);  // stored blocks only
Bytes zlib_fixed_literals(const Bytes& data);  // one fixed block of literals

Bytes png_chunk(const char* type, const Bytes& data, bool good_crc = true);
Bytes png_ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type, uint8_t interlace = 0);
// Signature + IHDR + the given chunks in order + IEND.
Bytes png_file(const Bytes& ihdr, const std::vector<Bytes>& chunks);
// Signature, IHDR, one IDAT with the zlib stream of `filtered`, IEND.
Bytes png_simple(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type, const Bytes& filtered,
                 uint8_t interlace = 0);

Bytes read_file(const std::string& path);
std::string hex_of(const uint8_t* data, size_t size);
