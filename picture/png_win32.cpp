#include "picture/png_win32.h"

#include <cstring>

BOOL png_open_resource(PngDecoderState* state, HMODULE module, int id)
{
    if (state->stage != PNG_STAGE_EMPTY || state->source_kind != PNG_SOURCE_NONE || state->source) {
        state->error = PNG_ERROR_BUSY;
        return FALSE;
    }
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) {
        state->error = PNG_ERROR_NO_RESOURCE;
        return FALSE;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size == 0) {
        state->error = PNG_ERROR_RESOURCE_EMPTY;
        return FALSE;
    }
    return png_open_memory(state, data, size) ? TRUE : FALSE;
}

namespace {

// BITMAPINFO with room for a full 256-entry colour table.
struct PngBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

void png_fill_bitmap_info(const PngDecoderState* state, const PngDibFormat* format, PngBitmapInfo* info)
{
    memset(info, 0, sizeof *info);
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = (LONG)state->width;
    info->header.biHeight = -(LONG)state->height;  // top-down
    info->header.biPlanes = 1;
    info->header.biBitCount = (WORD)format->bit_count;
    info->header.biCompression = BI_RGB;
    info->header.biClrUsed = format->colours_used;
    static_assert(sizeof info->colours == sizeof format->colour_table, "RGBQUAD is blue, green, red, 0");
    memcpy(info->colours, format->colour_table, sizeof info->colours);
}

}  // namespace

HBITMAP png_make_dib(PngDecoderState* state)
{
    PngDibFormat format;
    if (!png_dib_format(state, &format)) return nullptr;
    PngBitmapInfo info;
    png_fill_bitmap_info(state, &format, &info);
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, (const BITMAPINFO*)&info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        if (screen) ReleaseDC(nullptr, screen);
        state->error = PNG_ERROR_BITMAP;
        return nullptr;
    }
    const int written = png_write_dib_pixels(state, &format, (uint8_t*)bits);
    if (screen) ReleaseDC(nullptr, screen);
    if (!written) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}
