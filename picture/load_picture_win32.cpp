// Picture resources into bitmaps fitted to a box: JPEG, GIF and BMP through the system's OLE
// picture loader, PNG through the project's decoder.
#include "picture/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/message.h"
#include "picture/png_win32.h"

namespace {

const int SCRAMBLED_ABOVE = 10000;   // solution pictures: the halves of each byte exchanged
const char CAPTION[] = "Information";

// The compiler evaluates these in the target's own long double, so every build (the 32-bit
// one included, which cannot run here) proves the extended-precision case: 234 exactly in
// real numbers, just below it in 80-bit arithmetic.
static_assert(sizeof(long double) >= 10, "fitting needs the x87 extended format");
static_assert(fit_size(50, 45, 260, 260).width == 260 && fit_size(50, 45, 260, 260).height == 233,
              "50 x 45 fits as 260 x 233");
static_assert(fit_size(520, 390, 260, 260).height == 195, "520 x 390 fits as 260 x 195");

void exchange_nibbles(std::vector<uint8_t>& bytes)
{
    for (uint8_t& b : bytes)
        b = (uint8_t)((b << 4) | (b >> 4));
}

HBITMAP copy_picture_bitmap(IPicture* picture)
{
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    HBITMAP copy = (HBITMAP)CopyImage((HANDLE)(UINT_PTR)handle, IMAGE_BITMAP, 0, 0, 0);
    if (!copy) {
        char text[80];
        std::snprintf(text, sizeof text, "CopyImageplante avec l'erreur : %lu", GetLastError());
        show_message(text, CAPTION, MESSAGE_INFORMATION);
    }
    return copy;
}

HBITMAP decode_with_stream(const uint8_t* bytes, size_t length)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, length);
    if (!block)
        return nullptr;
    std::memcpy((void*)block, bytes, length);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK || !stream) {
        GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(stream, (LONG)length, FALSE, IID_IPicture, (void**)&picture);
    HBITMAP copy = nullptr;
    if (SUCCEEDED(hr) && picture) {
        copy = copy_picture_bitmap(picture);
        picture->Release();
    }
    stream->Release();
    return copy;
}

}  // namespace

HBITMAP decode_picture(const uint8_t* bytes, size_t length)
{
    if (length == 0)
        return nullptr;
    HRESULT com = CoInitialize(nullptr);
    HBITMAP bitmap = decode_with_stream(bytes, length);
    if (SUCCEEDED(com))
        CoUninitialize();
    return bitmap;
}

HBITMAP load_png_picture(HMODULE module, int id)
{
    PngDecoderState state;
    png_reset(&state);
    if (!png_open_resource(&state, module, id)) {
        png_free(&state);
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    if (!png_inflate_image(&state)) {
        show_message("Error: couldn't decode PNG resource", CAPTION, MESSAGE_ERROR);
    } else {
        bitmap = png_make_dib(&state);
        if (!bitmap)
            show_message("Error: couldn't create bitmap", CAPTION, MESSAGE_ERROR);
    }
    png_free(&state);
    return bitmap;
}

HBITMAP fit_bitmap(HBITMAP bitmap, int box_width, int box_height)
{
    if (!bitmap)
        return nullptr;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    if (info.bmWidth <= 0 || info.bmHeight == 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    FittedSize size = fit_size(info.bmWidth, height, box_width, box_height);
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HGDIOBJ old_source = SelectObject(source, bitmap);
    HBITMAP result = CreateCompatibleBitmap(screen, size.width, size.height);
    HGDIOBJ old_target = SelectObject(target, result);
    SetStretchBltMode(target, HALFTONE);
    StretchBlt(target, 0, 0, size.width, size.height, source, 0, 0, info.bmWidth, height, SRCCOPY);
    SelectObject(source, old_source);
    SelectObject(target, old_target);
    DeleteDC(source);
    DeleteDC(target);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return result;
}

HBITMAP load_picture(HMODULE module, int id, const char* type, int box_width, int box_height)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (!loaded)
        return fit_bitmap(load_png_picture(module, id), box_width, box_height);
    const uint8_t* data = (const uint8_t*)LockResource(loaded);
    DWORD size = SizeofResource(module, found);
    HBITMAP bitmap = nullptr;
    if (data) {
        // Work on a copy, so the resource stays as stored and every load gives the same picture.
        std::vector<uint8_t> bytes(data, data + size);
        if (id > SCRAMBLED_ABOVE)
            exchange_nibbles(bytes);
        bitmap = decode_picture(bytes.data(), bytes.size());
    }
    FreeResource(loaded);
    return fit_bitmap(bitmap, box_width, box_height);
}
