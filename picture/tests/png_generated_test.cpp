// Larger images than the PNG suite holds, written by libpng at test time with every filter,
// stored, fixed and dynamic blocks and IDAT chunks of a few bytes to 64 KiB: the decoder's fast
// paths and chunk joins against the DIB made from libpng's own decode.
#include "picture/png.h"
#include "picture/tests/png_reference.h"
#include "picture/tests/png_test_decode.h"
#include "picture/tests/png_test_writer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <string>

#ifndef PNG_SUITE_PREFIX
#define PNG_SUITE_PREFIX Suite
#endif
#define PNG_INSTANTIATE(prefix, ...) INSTANTIATE_TEST_SUITE_P(prefix, __VA_ARGS__)

namespace {

struct GeneratedCase {
    std::string name;
    uint32_t width, height;
    int colour_type, depth, interlace;
    int filters;   // PNG_FILTER_* mask for libpng's choice
    int level;     // zlib level, 0 = stored blocks
    int strategy;  // Z_DEFAULT_STRATEGY, Z_FIXED, Z_RLE, Z_HUFFMAN_ONLY
    size_t idat;   // bytes per IDAT chunk
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const GeneratedCase& c, std::ostream* os) { *os << c.name; }

void write_to_vector(png_structp png, png_bytep data, png_size_t n)
{
    Bytes* out = (Bytes*)png_get_io_ptr(png);
    out->insert(out->end(), data, data + n);
}

void flush_nothing(png_structp) {}

// A sample that mixes smooth gradients, hard edges and noise, so that every filter and long
// and short matches all occur.
uint32_t sample(uint32_t x, uint32_t y, int channel, uint32_t max)
{
    uint32_t noise = (x * 2654435761u) ^ (y * 40503u) ^ (uint32_t)(channel * 977);
    noise = (noise ^ (noise >> 13)) * 0x5bd1e995u;
    const double smooth = 0.5 + 0.5 * std::sin(x * 0.05 + channel) * std::cos(y * 0.03);
    uint32_t v = (uint32_t)(smooth * max);
    if (((x / 16) + (y / 16)) % 5 == 0) v = (noise >> 7) % (max + 1);
    if (y % 32 < 4) v = (x / 8 % 2) ? max : 0;
    return v;
}

Bytes generate(const GeneratedCase& c)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Bytes();
    }
    png_set_write_fn(png, &out, write_to_vector, flush_nothing);
    png_set_IHDR(png, info, c.width, c.height, c.depth, c.colour_type, c.interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, c.filters);
    png_set_compression_level(png, c.level);
    png_set_compression_strategy(png, c.strategy);
    png_set_compression_buffer_size(png, c.idat);
    png_color palette[256];
    if (c.colour_type == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 256; i++) palette[i] = {(png_byte)i, (png_byte)(255 - i), (png_byte)(i * 7)};
        png_set_PLTE(png, info, palette, 1 << c.depth);
    }
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    const uint32_t max = (1u << c.depth) - 1;
    const size_t row_bytes = ((size_t)c.width * channels * c.depth + 7) / 8;
    std::vector<Bytes> rows(c.height, Bytes(row_bytes, 0));
    std::vector<png_bytep> pointers(c.height);
    for (uint32_t y = 0; y < c.height; y++) {
        for (uint32_t x = 0; x < c.width; x++)
            for (int ch = 0; ch < channels; ch++) {
                const uint32_t v = sample(x, y, ch, max);
                const size_t bit = ((size_t)x * channels + ch) * c.depth;
                if (c.depth == 16) {
                    rows[y][bit / 8] = (uint8_t)(v >> 8);
                    rows[y][bit / 8 + 1] = (uint8_t)v;
                } else {
                    rows[y][bit / 8] |= (uint8_t)(v << (8 - c.depth - bit % 8));
                }
            }
        pointers[y] = rows[y].data();
    }
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<GeneratedCase> generated_cases()
{
    const int all = PNG_ALL_FILTERS;
    return {
        {"rgb8_paeth_dynamic", 640, 200, PNG_COLOR_TYPE_RGB, 8, 0, PNG_FILTER_PAETH, 6, Z_DEFAULT_STRATEGY, 8192},
        {"rgb8_all_filters_small_idat", 333, 101, PNG_COLOR_TYPE_RGB, 8, 0, all, 9, Z_DEFAULT_STRATEGY, 37},
        {"rgba8_average_fixed", 300, 120, PNG_COLOR_TYPE_RGB_ALPHA, 8, 0, PNG_FILTER_AVG, 6, Z_FIXED, 65536},
        {"rgba16_sub_rle", 257, 90, PNG_COLOR_TYPE_RGB_ALPHA, 16, 0, PNG_FILTER_SUB, 6, Z_RLE, 4096},
        {"rgb16_up_huffman_only", 200, 100, PNG_COLOR_TYPE_RGB, 16, 0, PNG_FILTER_UP, 6, Z_HUFFMAN_ONLY, 8192},
        {"grey8_all_stored", 500, 150, PNG_COLOR_TYPE_GRAY, 8, 0, all, 0, Z_DEFAULT_STRATEGY, 1000},
        {"grey16_all_interlaced", 211, 97, PNG_COLOR_TYPE_GRAY, 16, 1, all, 6, Z_DEFAULT_STRATEGY, 8192},
        {"grey_alpha8_paeth", 260, 80, PNG_COLOR_TYPE_GRAY_ALPHA, 8, 0, PNG_FILTER_PAETH, 6, Z_DEFAULT_STRATEGY, 8192},
        {"grey_alpha16_all_interlaced", 99, 77, PNG_COLOR_TYPE_GRAY_ALPHA, 16, 1, all, 6, Z_DEFAULT_STRATEGY, 500},
        {"grey2_all", 301, 64, PNG_COLOR_TYPE_GRAY, 2, 0, all, 6, Z_DEFAULT_STRATEGY, 8192},
        {"palette4_all_interlaced", 123, 45, PNG_COLOR_TYPE_PALETTE, 4, 1, all, 6, Z_DEFAULT_STRATEGY, 8192},
        {"palette8_paeth", 400, 100, PNG_COLOR_TYPE_PALETTE, 8, 0, PNG_FILTER_PAETH, 9, Z_DEFAULT_STRATEGY, 8192},
        {"rgb8_all_interlaced_level1", 517, 129, PNG_COLOR_TYPE_RGB, 8, 1, all, 1, Z_DEFAULT_STRATEGY, 3},
    };
}

class PngGenerated : public testing::TestWithParam<GeneratedCase> {};

TEST_P(PngGenerated, DecodesToTheReferenceDib)
{
    const GeneratedCase& c = GetParam();
    const Bytes file = generate(c);
    ASSERT_FALSE(file.empty()) << "libpng could not write " << c.name;
    PngReference ref;
    ASSERT_TRUE(png_reference_decode(file.data(), file.size(), &ref)) << "libpng: " << ref.error;
    const PngDecoded d = png_decode_bytes(file);
    ASSERT_EQ(d.failed_step, PNG_STEP_DONE) << c.name << " error 0x" << std::hex << d.error;
    EXPECT_EQ(d.format.bit_count, ref.bit_count) << c.name;
    EXPECT_EQ(hex_of(&d.format.colour_table[0][0], ref.colour_table.size()),
              hex_of(ref.colour_table.data(), ref.colour_table.size()))
        << c.name;
    ASSERT_EQ(d.pixels.size(), ref.pixels.size()) << c.name;
    for (size_t i = 0; i < ref.pixels.size(); i++) {
        if (d.pixels[i] == ref.pixels[i]) continue;
        ADD_FAILURE() << c.name << ": first difference at DIB byte " << i << " (row " << i / ref.stride << "): got "
                      << int(d.pixels[i]) << ", libpng gives " << int(ref.pixels[i]);
        break;
    }
}

PNG_INSTANTIATE(PNG_SUITE_PREFIX, PngGenerated, testing::ValuesIn(generated_cases()),
                [](const testing::TestParamInfo<GeneratedCase>& i) { return i.param.name; });

}  // namespace
