// Runs the decoder core over bytes in memory, the way the Win32 layer drives it.
#pragma once

#include "picture/png.h"

#include <cstddef>
#include <cstdint>
#include <vector>

enum PngStep { PNG_STEP_OPEN = 1, PNG_STEP_INFLATE = 2, PNG_STEP_PIXELS = 3, PNG_STEP_DONE = 4 };

struct PngDecoded {
    int failed_step = 0;  // PngStep that failed, or PNG_STEP_DONE
    int32_t error = 0;
    PngDecoderState state = {};  // after png_inflate_image, before png_free
    PngDibFormat format = {};
    std::vector<uint8_t> pixels;
};

// Open, inflate, format and pixels, then png_free; stops at the first failure.
inline PngDecoded png_decode_bytes(const uint8_t* data, size_t size)
{
    PngDecoded d;
    PngDecoderState s;
    png_reset(&s);
    d.failed_step = PNG_STEP_OPEN;
    if (png_open_memory(&s, data, (uint32_t)size)) {
        d.failed_step = PNG_STEP_INFLATE;
        if (png_inflate_image(&s)) {
            d.state = s;
            d.failed_step = PNG_STEP_PIXELS;
            if (png_dib_format(&s, &d.format)) {
                d.pixels.assign(d.format.size, 0xAA);  // not zero: the decoder must write every byte
                if (png_write_dib_pixels(&s, &d.format, d.pixels.data())) d.failed_step = PNG_STEP_DONE;
            }
        }
    }
    d.error = s.error;
    png_free(&s);
    return d;
}

inline PngDecoded png_decode_bytes(const std::vector<uint8_t>& bytes) { return png_decode_bytes(bytes.data(), bytes.size()); }
