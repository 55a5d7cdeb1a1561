// LZW decoder for the compressed quiz streams.
//
// Stream format: variable-width codes packed most significant bit first, width 9 at the start.
// 0..255 are literal bytes, 256 ends the data, 257 makes every following code one bit wider,
// 258 resets the dictionary (next free code 259, width 9), 259..4095 are strings defined while
// decoding. The width grows and the dictionary resets only on those explicit codes.
#pragma once

#include <cstddef>
#include <cstdint>

enum LzwStatus {
    LZW_OK = 0,             // the end code was reached; the output is complete
    LZW_NO_MEMORY = -4,     // work memory or the output buffer could not be allocated
    LZW_NO_FIRST_CODE = -5, // the input holds not even one 9-bit code
    LZW_BAD_CODE = -7,      // a code above the next free code, input ended before the end code,
                            // or the stream broke a limit below
};

enum : int32_t {
    LZW_OUTPUT_CAPACITY = 120000, // bytes a stream may produce; the output buffer's size
    LZW_MAX_STRING = 4096,        // longest dictionary string (pending and work buffers)
    LZW_MAX_CODE = 4095,          // highest code a definition may use
    LZW_FIRST_FREE_CODE = 259,    // first code defined after the start or a reset
    LZW_MIN_WIDTH = 9,            // width at the start and after a reset
    LZW_MAX_WIDTH = 32,           // a read at a greater width fails
};

enum : uint32_t {
    LZW_CODE_END = 256,
    LZW_CODE_WIDEN = 257,
    LZW_CODE_RESET = 258,
};

// Decodes one whole stream into a new zero-filled buffer of LZW_OUTPUT_CAPACITY bytes.
// Whenever that buffer exists, *out receives it (the caller frees it with std::free) and
// *out_len the number of bytes produced plus 2, whatever the status; the output then holds
// everything produced before a failure. On LZW_NO_MEMORY before the buffer exists, *out and
// *out_len are left untouched. Not reentrant: the decoder works in one static context.
int lzw_decode(const uint8_t* in, int32_t in_len, uint8_t** out, int32_t* out_len);

// Allocation hook for fault injection: every block the decoder allocates comes from fn, which
// must behave like std::calloc and return blocks that std::free releases (the caller frees the
// output with std::free). nullptr restores std::calloc.
using LzwAllocFn = void* (*)(size_t count, size_t size);
void lzw_set_allocator(LzwAllocFn fn);
