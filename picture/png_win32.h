// The Win32 side of the PNG decoder: PNG pictures stored as RT_RCDATA resources, decoded into
// DIB sections. The decoding itself is picture/png.h.
#pragma once

#include "picture/png.h"

#include <windows.h>

// Requires an empty state (PNG_ERROR_BUSY). Finds RT_RCDATA `id` in `module`
// (PNG_ERROR_NO_RESOURCE), loads it (PNG_ERROR_RESOURCE_EMPTY when that fails or it holds no
// byte), then reads the header and chunk list as png_open_memory does.
BOOL png_open_resource(PngDecoderState* state, HMODULE module, int id);

// A new top-down DIB section of the inflated image (stage 2), owned by the caller; null on
// failure with the cause in state->error. May be called again for another bitmap.
HBITMAP png_make_dib(PngDecoderState* state);
