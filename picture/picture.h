// Pictures from the executable's resources, fitted into a box.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

enum { PICTURE_BOX_SIZE = 260 };

// The picture resource (type, id) of module as a bitmap fitted into box_width x box_height with
// its proportions kept, or null. Identifiers above 10000 are stored with the halves of each
// byte exchanged. Without such a resource, RT_RCDATA id is read as a PNG. The caller owns it.
HBITMAP load_picture(HMODULE module, int id, const char* type, int box_width, int box_height);

// A JPEG, GIF or BMP file as a bitmap at its own size, or null.
HBITMAP decode_picture(const uint8_t* bytes, size_t length);
// The PNG picture RT_RCDATA id as a bitmap at its own size, or null.
HBITMAP load_png_picture(HMODULE module, int id);

struct FittedSize {
    int width;
    int height;
};
// The size of a width x height picture scaled to meet the box on one side, proportions kept.
// Extended precision (long double: 64-bit significand on x86 mingw, 32- and 64-bit alike), as
// the fitted sizes of existing quizzes were computed with it.
constexpr FittedSize fit_size(int width, int height, int box_width, int box_height)
{
    long double by_height = (long double)box_height / height;
    long double by_width = (long double)box_width / width;
    long double scale = by_height <= by_width ? by_height : by_width;
    return {(int)(width * scale), (int)(height * scale)};
}
// Scales bitmap into the box (HALFTONE); consumes the input bitmap.
HBITMAP fit_bitmap(HBITMAP bitmap, int box_width, int box_height);
