// Writes the PNG benchmark corpus into a folder: photo-like and drawn images at three sizes in
// the forms a quiz may carry (RGB, RGBA, palette, grey, 16-bit RGB, interlaced RGB), encoded
// by libpng at its default settings. Deterministic: the same bytes on every run.
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rng {
    uint64_t s;
    uint32_t next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return (uint32_t)(s >> 16);
    }
};

// 16-bit RGBA master image; every form is derived from it.
struct Master {
    uint32_t w, h;
    std::vector<uint16_t> px;  // r, g, b, a
};

uint16_t clamp16(double v) { return (uint16_t)(v < 0 ? 0 : v > 65535 ? 65535 : v); }

// Smooth light and colour fields, soft shapes and a little sensor noise.
Master make_photo(uint32_t w, uint32_t h, uint64_t seed)
{
    Master m{w, h, std::vector<uint16_t>((size_t)w * h * 4)};
    Rng rng{seed};
    double cx[6], cy[6], r[6], col[6][3];
    for (int k = 0; k < 6; k++) {
        cx[k] = rng.next() % w;
        cy[k] = rng.next() % h;
        r[k] = (0.1 + (rng.next() % 100) / 250.0) * w;
        for (int c = 0; c < 3; c++) col[k][c] = (rng.next() % 65536) / 65535.0;
    }
    for (uint32_t y = 0; y < h; y++)
        for (uint32_t x = 0; x < w; x++) {
            double rgb[3] = {0.35 + 0.3 * x / w, 0.3 + 0.4 * y / h, 0.5 + 0.2 * std::sin(x * 0.01 + y * 0.013)};
            for (int k = 0; k < 6; k++) {
                const double dx = x - cx[k], dy = y - cy[k];
                const double f = std::exp(-(dx * dx + dy * dy) / (r[k] * r[k]));
                for (int c = 0; c < 3; c++) rgb[c] = rgb[c] * (1 - 0.7 * f) + col[k][c] * 0.7 * f;
            }
            uint16_t* p = &m.px[((size_t)y * w + x) * 4];
            for (int c = 0; c < 3; c++) p[c] = clamp16(rgb[c] * 65535 + (int)(rng.next() % 1536) - 768);
            p[3] = clamp16(65535 * (0.75 + 0.25 * std::cos(x * 0.02) * std::sin(y * 0.015)));
        }
    return m;
}

// Flat fills, rectangles, discs and lines, as in a diagram or a cartoon.
Master make_drawn(uint32_t w, uint32_t h, uint64_t seed)
{
    Master m{w, h, std::vector<uint16_t>((size_t)w * h * 4)};
    Rng rng{seed};
    static const uint8_t palette[8][3] = {{255, 255, 255}, {20, 20, 30},  {220, 40, 40}, {40, 160, 60},
                                          {40, 80, 200},   {250, 200, 40}, {130, 60, 170}, {240, 130, 30}};
    auto put = [&](uint32_t x, uint32_t y, int c, uint16_t alpha) {
        if (x >= w || y >= h) return;
        uint16_t* p = &m.px[((size_t)y * w + x) * 4];
        for (int k = 0; k < 3; k++) p[k] = (uint16_t)(palette[c][k] * 257);
        p[3] = alpha;
    };
    for (uint32_t y = 0; y < h; y++)
        for (uint32_t x = 0; x < w; x++) put(x, y, 0, 65535);
    const int shapes = 40 + (int)(w * h / 20000);
    for (int s = 0; s < shapes; s++) {
        const int c = 1 + (int)(rng.next() % 7);
        const uint32_t x0 = rng.next() % w, y0 = rng.next() % h;
        const uint32_t sw = 8 + rng.next() % (w / 4), sh = 8 + rng.next() % (h / 4);
        const uint16_t alpha = s % 5 == 0 ? 0 : 65535;
        switch (rng.next() % 3) {
        case 0:
            for (uint32_t y = y0; y < y0 + sh; y++)
                for (uint32_t x = x0; x < x0 + sw; x++) put(x, y, c, alpha);
            break;
        case 1:
            for (uint32_t y = y0; y < y0 + sh; y++)
                for (uint32_t x = x0; x < x0 + sh; x++) {
                    const double dx = x - (x0 + sh / 2.0), dy = y - (y0 + sh / 2.0);
                    if (dx * dx + dy * dy <= sh * sh / 4.0) put(x, y, c, alpha);
                }
            break;
        default:
            for (uint32_t t = 0; t < sw * 2; t++) {
                const uint32_t x = x0 + t / 2, y = y0 + (uint32_t)(t * sh / (sw * 2));
                for (uint32_t k = 0; k < 3; k++) put(x, y + k, c, 65535);
            }
        }
    }
    return m;
}

struct Form {
    const char* name;
    int colour_type, depth, interlace;
};

const Form forms[] = {
    {"rgb8", PNG_COLOR_TYPE_RGB, 8, 0},      {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, 0},
    {"palette8", PNG_COLOR_TYPE_PALETTE, 8, 0}, {"grey8", PNG_COLOR_TYPE_GRAY, 8, 0},
    {"rgb16", PNG_COLOR_TYPE_RGB, 16, 0},    {"rgb8i", PNG_COLOR_TYPE_RGB, 8, 1},
};

// Samples of one row of the form, big-endian for 16 bits. Palette: 6x7x6 colour cube.
std::vector<uint8_t> form_row(const Master& m, uint32_t y, const Form& f)
{
    std::vector<uint8_t> row;
    for (uint32_t x = 0; x < m.w; x++) {
        const uint16_t* p = &m.px[((size_t)y * m.w + x) * 4];
        switch (f.colour_type) {
        case PNG_COLOR_TYPE_PALETTE:
            row.push_back((uint8_t)((p[0] * 6 / 65536) * 42 + (p[1] * 7 / 65536) * 6 + p[2] * 6 / 65536));
            break;
        case PNG_COLOR_TYPE_GRAY:
            row.push_back((uint8_t)((p[0] * 77u + p[1] * 150u + p[2] * 29u) >> 16));
            break;
        default: {
            const int channels = f.colour_type == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
            for (int c = 0; c < channels; c++) {
                if (f.depth == 16) {
                    row.push_back((uint8_t)(p[c] >> 8));
                    row.push_back((uint8_t)p[c]);
                } else {
                    row.push_back((uint8_t)(p[c] >> 8));
                }
            }
        }
        }
    }
    return row;
}

bool write_png(const std::string& path, const Master& m, const Form& f)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, m.w, m.h, f.depth, f.colour_type,
                 f.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color cube[252];
    if (f.colour_type == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 252; i++) {
            cube[i].red = (png_byte)(i / 42 * 51);
            cube[i].green = (png_byte)(i / 6 % 7 * 42);
            cube[i].blue = (png_byte)(i % 6 * 51);
        }
        png_set_PLTE(png, info, cube, 252);
    }
    png_write_info(png, info);
    std::vector<std::vector<uint8_t>> rows(m.h);
    std::vector<png_bytep> pointers(m.h);
    for (uint32_t y = 0; y < m.h; y++) {
        rows[y] = form_row(m, y, f);
        pointers[y] = rows[y].data();
    }
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: png_corpus_gen FOLDER\n");
        return 2;
    }
    const uint32_t sizes[3][2] = {{260, 260}, {520, 390}, {1920, 1080}};
    int written = 0;
    for (const auto& size : sizes)
        for (int kind = 0; kind < 2; kind++) {
            const Master m = kind == 0 ? make_photo(size[0], size[1], 0x9E3779B97F4A7C15ull + size[0])
                                       : make_drawn(size[0], size[1], 0xD1B54A32D192ED03ull + size[1]);
            for (const Form& f : forms) {
                const std::string path = std::string(argv[1]) + "/" + (kind ? "drawn" : "photo") + "_" +
                                         std::to_string(size[0]) + "x" + std::to_string(size[1]) + "_" + f.name + ".png";
                if (!write_png(path, m, f)) {
                    fprintf(stderr, "cannot write %s\n", path.c_str());
                    return 1;
                }
                written++;
            }
        }
    printf("png_corpus_gen: %d files in %s\n", written, argv[1]);
    return 0;
}
