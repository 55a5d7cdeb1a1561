// The Win32 side: RT_RCDATA resources of this test executable decoded into DIB sections, read
// back through the section's bits and through GetDIBits as 32-bit colours.
#include "picture/png_win32.h"
#include "picture/tests/png_test_decode.h"
#include "picture/tests/png_test_writer.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace {

struct ResourceCase {
    const char* name;
    int id;
    uint32_t width, height, bit_count;
    const char* first_bytes;  // first 8 bytes of the DIB
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const ResourceCase& c, std::ostream* os) { *os << c.name; }

const ResourceCase resource_cases[] = {
    {"rgb8", 1, 32, 32, 24, "fffffffefffffdff"},
    {"palette4", 2, 32, 32, 4, "88885555ccccaaaa"},
    {"grey1_interlaced", 3, 32, 32, 1, "fffffffefffffffc"},
    {"rgba8", 4, 32, 32, 32, "0800ff000800ff08"},
};

Bytes resource_bytes(int id)
{
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    const uint8_t* p = (const uint8_t*)LockResource(LoadResource(nullptr, r));
    return Bytes(p, p + SizeofResource(nullptr, r));
}

// The colour GDI must report for pixel (x, y) of the core's DIB: table lookup below 24 bits.
uint32_t expected_colour(const PngDecoded& d, uint32_t x, uint32_t y)
{
    const uint8_t* row = d.pixels.data() + (size_t)y * d.format.stride;
    const uint32_t bc = d.format.bit_count;
    if (bc >= 24) {
        const uint8_t* p = row + x * (bc / 8);
        return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16;
    }
    const uint32_t bit = x * bc;
    const uint32_t index = (row[bit / 8] >> (8 - bc - bit % 8)) & ((1u << bc) - 1);
    const uint8_t* c = d.format.colour_table[index];
    return (uint32_t)c[0] | (uint32_t)c[1] << 8 | (uint32_t)c[2] << 16;
}

class PngResource : public testing::TestWithParam<ResourceCase> {};

TEST_P(PngResource, BecomesADibSectionWithTheDecodedPixels)
{
    const ResourceCase& c = GetParam();
    PngDecoderState s;
    png_reset(&s);
    ASSERT_TRUE(png_open_resource(&s, GetModuleHandleA(nullptr), c.id)) << c.name << " error " << std::hex << s.error;
    EXPECT_EQ(s.source_kind, PNG_SOURCE_BORROWED);
    ASSERT_TRUE(png_inflate_image(&s)) << c.name << " error " << std::hex << s.error;
    HBITMAP bitmap = png_make_dib(&s);
    ASSERT_NE(bitmap, nullptr) << c.name << " error " << std::hex << s.error;

    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), (int)sizeof section) << c.name;
    EXPECT_EQ((uint32_t)section.dsBm.bmWidth, c.width) << c.name;
    EXPECT_EQ((uint32_t)section.dsBm.bmHeight, c.height) << c.name;
    EXPECT_EQ(section.dsBm.bmBitsPixel, c.bit_count) << c.name;
    ASSERT_NE(section.dsBm.bmBits, nullptr) << c.name;
    const uint8_t* bits = (const uint8_t*)section.dsBm.bmBits;
    EXPECT_EQ(hex_of(bits, 8), c.first_bytes) << c.name;

    // Every byte as the core makes it from the same resource bytes.
    const PngDecoded d = png_decode_bytes(resource_bytes(c.id));
    ASSERT_EQ(d.failed_step, PNG_STEP_DONE) << c.name;
    EXPECT_EQ(hex_of(bits, d.pixels.size()), hex_of(d.pixels.data(), d.pixels.size())) << c.name;

    // GDI's view in 32-bit colours, which goes through the colour table.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD unused[256];
    } info = {};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = (LONG)c.width;
    info.h.biHeight = -(LONG)c.height;
    info.h.biPlanes = 1;
    info.h.biBitCount = 32;
    info.h.biCompression = BI_RGB;
    std::vector<uint32_t> colours(c.width * c.height);
    HDC dc = GetDC(nullptr);
    const int lines = GetDIBits(dc, bitmap, 0, c.height, colours.data(), (BITMAPINFO*)&info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    ASSERT_EQ(lines, (int)c.height) << c.name;
    int wrong = 0;
    for (uint32_t y = 0; y < c.height && wrong < 3; y++)
        for (uint32_t x = 0; x < c.width && wrong < 3; x++) {
            const uint32_t want = expected_colour(d, x, y), got = colours[y * c.width + x] & 0xffffff;
            if (got != want) {
                wrong++;
                ADD_FAILURE() << c.name << " pixel (" << x << ", " << y << "): got 0x" << std::hex << got
                              << ", want 0x" << want;
            }
        }

    // A second bitmap from the same state is the same image.
    HBITMAP again = png_make_dib(&s);
    ASSERT_NE(again, nullptr) << c.name;
    DIBSECTION second = {};
    GetObjectA(again, sizeof second, &second);
    EXPECT_EQ(hex_of((const uint8_t*)second.dsBm.bmBits, d.pixels.size()), hex_of(bits, d.pixels.size())) << c.name;
    DeleteObject(again);
    DeleteObject(bitmap);
    png_free(&s);
}

INSTANTIATE_TEST_SUITE_P(Resources, PngResource, testing::ValuesIn(resource_cases),
                         [](const testing::TestParamInfo<ResourceCase>& i) { return std::string(i.param.name); });

struct OpenFailure {
    const char* name;
    int id;
    int32_t error;
};

void PrintTo(const OpenFailure& c, std::ostream* os) { *os << c.name; }

const OpenFailure open_failures[] = {
    {"missing", 99, PNG_ERROR_NO_RESOURCE},
    {"empty", 5, PNG_ERROR_RESOURCE_EMPTY},
    {"not_png", 6, PNG_ERROR_CORRUPT},
};

class PngResourceOpen : public testing::TestWithParam<OpenFailure> {};

TEST_P(PngResourceOpen, FailsWithItsCodeAndKeepsNoSource)
{
    const OpenFailure& c = GetParam();
    PngDecoderState s;
    png_reset(&s);
    EXPECT_FALSE(png_open_resource(&s, GetModuleHandleA(nullptr), c.id));
    EXPECT_EQ(s.error, c.error) << c.name;
    EXPECT_EQ(s.source, nullptr) << c.name;
    EXPECT_EQ(s.source_kind, PNG_SOURCE_NONE) << c.name;
    EXPECT_EQ(s.stage, PNG_STAGE_EMPTY) << c.name;
    png_free(&s);
}

INSTANTIATE_TEST_SUITE_P(Resources, PngResourceOpen, testing::ValuesIn(open_failures),
                         [](const testing::TestParamInfo<OpenFailure>& i) { return std::string(i.param.name); });

TEST(PngResourceStages, WrongOrderFails)
{
    PngDecoderState s;
    png_reset(&s);
    EXPECT_EQ(png_make_dib(&s), nullptr);
    EXPECT_EQ(s.error, PNG_ERROR_STAGE) << "make_dib before open";
    ASSERT_TRUE(png_open_resource(&s, GetModuleHandleA(nullptr), 1));
    EXPECT_EQ(png_make_dib(&s), nullptr);
    EXPECT_EQ(s.error, PNG_ERROR_STAGE) << "make_dib before inflate";
    EXPECT_EQ(s.stage, PNG_STAGE_HEADER);
    EXPECT_FALSE(png_open_resource(&s, GetModuleHandleA(nullptr), 2));
    EXPECT_EQ(s.error, PNG_ERROR_BUSY) << "second open";
    EXPECT_EQ(s.width, 32u) << "second open changed the state";
    ASSERT_TRUE(png_inflate_image(&s));
    EXPECT_FALSE(png_open_resource(&s, GetModuleHandleA(nullptr), 99));
    EXPECT_EQ(s.error, PNG_ERROR_BUSY) << "open after inflate: busy comes before the resource lookup";
    png_free(&s);
    EXPECT_EQ(s.stage, PNG_STAGE_EMPTY);
}

}  // namespace
