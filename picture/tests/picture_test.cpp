// Picture loading on real resources (the flags demo's), under wine64: every format, fitting,
// solution pictures, missing pictures, and no GDI objects left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "picture/picture.h"
#include "tests/support/message_recorder.h"

namespace {

struct Size {
    int width;
    int height;
};

Size size_of(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

COLORREF pixel_of(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

bool close_to(COLORREF got, COLORREF want)
{
    auto within = [](int a, int b) { return a - b <= 24 && b - a <= 24; };
    return within(GetRValue(got), GetRValue(want)) && within(GetGValue(got), GetGValue(want)) &&
           within(GetBValue(got), GetBValue(want));
}

TEST(FitSize, KeepsProportionsAndMeetsTheBox)
{
    struct { int w, h, want_w, want_h; } cases[] = {
        {520, 390, 260, 195}, {100, 50, 260, 130}, {50, 45, 260, 233}, {200, 200, 260, 260},
        {300, 200, 260, 173}, {200, 400, 130, 260}, {260, 225, 260, 225}, {1, 1, 260, 260},
    };
    for (const auto& c : cases) {
        FittedSize s = fit_size(c.w, c.h, 260, 260);
        EXPECT_EQ(c.want_w, s.width) << c.w << "x" << c.h;
        EXPECT_EQ(c.want_h, s.height) << c.w << "x" << c.h;
    }
}

TEST(LoadPicture, EveryFormatFitsItsBox)
{
    // Question pictures of the flags demo: resource 400 + question.
    struct { int id; const char* what; Size want; COLORREF left; } cases[] = {
        {401, "JPEG 300x200", {260, 173}, RGB(0, 0x55, 0xA4)},
        {402, "JPEG 500x300", {260, 156}, RGB(0, 0, 0)},
        {403, "GIF 300x200", {260, 173}, RGB(0, 0x92, 0x46)},
        {404, "BMP 260x225", {260, 225}, RGB(0, 0, 0)},
        {405, "PNG 400x200", {260, 130}, RGB(0x16, 0x9B, 0x62)},
        {407, "JPEG 100x50", {260, 130}, RGB(0xCE, 0x29, 0x39)},
        {408, "JPEG 520x390", {260, 195}, RGB(0xAE, 0x1C, 0x28)},
        {409, "BMP 50x45", {260, 233}, RGB(255, 255, 255)},
        {410, "PNG 200x200", {260, 260}, RGB(0xDA, 0x29, 0x1C)},
    };
    for (const auto& c : cases) {
        HBITMAP picture = load_picture(GetModuleHandleA(nullptr), c.id, "IMG", 260, 260);
        ASSERT_NE(nullptr, picture) << c.what;
        Size s = size_of(picture);
        EXPECT_EQ(c.want.width, s.width) << c.what;
        EXPECT_EQ(c.want.height, s.height) << c.what;
        COLORREF got = pixel_of(picture, 8, 8);
        EXPECT_TRUE(close_to(got, c.left)) << c.what << ": top-left pixel 0x" << std::hex << got;
        DeleteObject(picture);
    }
}

TEST(LoadPicture, SolutionPicturesAreUnscrambledTheSameEveryTime)
{
    HBITMAP first = load_picture(GetModuleHandleA(nullptr), 10401, "IMG", 260, 260);
    HBITMAP second = load_picture(GetModuleHandleA(nullptr), 10401, "IMG", 260, 260);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(260, size_of(first).width);
    EXPECT_EQ(179, size_of(first).height) << "324x224 solution picture";
    for (int x : {2, 60, 130, 200, 257})
        EXPECT_EQ(pixel_of(first, x, 90), pixel_of(second, x, 90)) << "column " << x;
    EXPECT_TRUE(close_to(pixel_of(first, 2, 90), RGB(0, 0xA0, 0))) << "green frame of the solution";
    DeleteObject(first);
    DeleteObject(second);
}

TEST(LoadPicture, AMissingPictureIsNullWithoutAMessage)
{
    clear_recorded_messages();
    EXPECT_EQ(nullptr, load_picture(GetModuleHandleA(nullptr), 499, "IMG", 260, 260));
    EXPECT_EQ(nullptr, load_picture(GetModuleHandleA(nullptr), 10499, "IMG", 260, 260));
    EXPECT_TRUE(recorded_messages().empty());
}

// How many more GDI objects the process can make: Wine keeps no per-process count
// (GetGuiResources gives 0), but its handle table is finite, so the room left in it shows every
// object still alive.
int gdi_room()
{
    std::vector<HBITMAP> made;
    while (made.size() < 200000) {
        HBITMAP b = CreateBitmap(1, 1, 1, 1, nullptr);
        if (!b)
            break;
        made.push_back(b);
    }
    for (HBITMAP b : made)
        DeleteObject(b);
    return (int)made.size();
}

TEST(LoadPicture, LeavesNoGdiObjectsBehind)
{
    const int ids[] = {401, 403, 404, 405, 10401, 499};
    for (int id : ids)   // the first decodes create the system's own lasting objects
        DeleteObject(load_picture(GetModuleHandleA(nullptr), id, "IMG", 260, 260));
    int before = gdi_room();
    ASSERT_GT(before, 1000);
    for (int round = 0; round < 10; ++round)
        for (int id : ids)
            DeleteObject(load_picture(GetModuleHandleA(nullptr), id, "IMG", 260, 260));
    EXPECT_EQ(before, gdi_room()) << "GDI objects left alive by 60 loads";
}

}  // namespace
