// The DIB a PNG file must decode to, made with libpng (native tests and the fuzz target only).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngReference {
    uint32_t width = 0, height = 0;
    uint32_t bit_count = 0, stride = 0;
    uint32_t colours_used = 0;             // biClrUsed
    std::vector<uint8_t> colour_table;     // 4 bytes per entry: the grey ramp, or the palette entries
                                           // that a pixel can select (2^depth)
    std::vector<uint8_t> pixels;           // top-down rows, zero padding
    std::string error;                     // libpng's message when it rejected the file
};

// Decodes with libpng, CRC and Adler-32 errors ignored and benign errors treated as errors; false if libpng
// rejects the file or it has more than max_pixels pixels.
bool png_reference_decode(const uint8_t* data, size_t size, PngReference* out, uint64_t max_pixels = 1u << 26);
