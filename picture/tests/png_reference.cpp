#include "picture/tests/png_reference.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

struct ReadCursor {
    const uint8_t* data;
    size_t size, at;
};

void read_from_memory(png_structp png, png_bytep out, png_size_t n)
{
    ReadCursor* c = (ReadCursor*)png_get_io_ptr(png);
    if (n > c->size - c->at) png_error(png, "read past the end");
    memcpy(out, c->data + c->at, n);
    c->at += n;
}

void on_error(png_structp png, png_const_charp message)
{
    std::string* error = (std::string*)png_get_error_ptr(png);
    *error = message;
    longjmp(png_jmpbuf(png), 1);
}

void on_warning(png_structp, png_const_charp) {}

// Sample `index` of a row of `depth`-bit samples; 16-bit samples give their high byte.
uint32_t sample_at(const uint8_t* row, uint64_t index, int depth)
{
    if (depth == 16) return row[index * 2];
    if (depth == 8) return row[index];
    const uint64_t bit = index * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

void put_index(uint8_t* row, uint32_t x, uint32_t bit_count, uint32_t value)
{
    const uint64_t bit = (uint64_t)x * bit_count;
    row[bit / 8] |= (uint8_t)(value << (8 - bit_count - bit % 8));
}

// DIB bit count of each colour type and depth: what GDI draws the image with.
uint32_t expected_bit_count(int colour_type, int depth)
{
    if (colour_type == PNG_COLOR_TYPE_RGB) return 24;
    if (colour_type == PNG_COLOR_TYPE_RGB_ALPHA) return 32;
    if (colour_type == PNG_COLOR_TYPE_GRAY_ALPHA) return 8;
    if (depth == 1) return 1;
    if (depth <= 4) return 4;
    return 8;
}

bool decode(png_structp png, png_infop info, PngReference* out, uint64_t max_pixels, std::vector<uint8_t>* storage,
            std::vector<png_bytep>* rows)
{
    png_read_info(png, info);
    const uint32_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info), colour_type = png_get_color_type(png, info);
    if ((uint64_t)w * h > max_pixels) {
        out->error = "too many pixels for the reference";
        return false;
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t row_bytes = png_get_rowbytes(png, info);
    storage->assign(row_bytes * h, 0);
    rows->resize(h);
    for (uint32_t y = 0; y < h; y++) (*rows)[y] = storage->data() + row_bytes * y;
    png_read_image(png, rows->data());

    out->width = w;
    out->height = h;
    out->bit_count = expected_bit_count(colour_type, depth);
    out->stride = (uint32_t)(((uint64_t)w * out->bit_count + 31) / 32 * 4);
    out->pixels.assign((size_t)out->stride * h, 0);
    const int channels = png_get_channels(png, info);
    for (uint32_t y = 0; y < h; y++) {
        const uint8_t* src = (*rows)[y];
        uint8_t* dst = out->pixels.data() + (size_t)out->stride * y;
        for (uint32_t x = 0; x < w; x++) {
            const uint64_t first = (uint64_t)x * channels;
            if (colour_type == PNG_COLOR_TYPE_RGB || colour_type == PNG_COLOR_TYPE_RGB_ALPHA) {
                const uint32_t bytes = out->bit_count / 8;
                dst[x * bytes + 0] = (uint8_t)sample_at(src, first + 2, depth);
                dst[x * bytes + 1] = (uint8_t)sample_at(src, first + 1, depth);
                dst[x * bytes + 2] = (uint8_t)sample_at(src, first + 0, depth);
                if (bytes == 4) dst[x * 4 + 3] = (uint8_t)sample_at(src, first + 3, depth);
            } else {
                put_index(dst, x, out->bit_count, sample_at(src, first, depth));
            }
        }
    }

    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        // Entries that a pixel of this depth can select; the rest of the table is not used.
        out->colour_table.assign(4u << depth, 0);
        png_colorp palette = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        for (int i = 0; i < count && i < (1 << depth); i++) {
            out->colour_table[4 * i + 0] = palette[i].blue;
            out->colour_table[4 * i + 1] = palette[i].green;
            out->colour_table[4 * i + 2] = palette[i].red;
        }
    } else if (out->bit_count <= 8) {
        const uint32_t n = depth == 2 ? 4 : depth >= 8 ? 256 : 1u << depth;
        out->colours_used = n;
        out->colour_table.assign(4 * n, 0);
        for (uint32_t i = 0; i < n; i++)
            for (int c = 0; c < 3; c++) out->colour_table[4 * i + c] = (uint8_t)(i * 255 / (n - 1));
    }
    return true;
}

}  // namespace

bool png_reference_decode(const uint8_t* data, size_t size, PngReference* out, uint64_t max_pixels)
{
    *out = PngReference();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &out->error, on_error, on_warning);
    png_infop info = png_create_info_struct(png);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_benign_errors(png, 0);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    ReadCursor cursor = {data, size, 0};
    png_set_read_fn(png, &cursor, read_from_memory);
    std::vector<uint8_t> storage;
    std::vector<png_bytep> rows;
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) ok = decode(png, info, out, max_pixels, &storage, &rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}
