// Pictures from the executable's resources, fitted into a box.
#pragma once
#include <windows.h>

enum { PICTURE_BOX_SIZE = 260 };

// The picture resource (type, id) of module as a bitmap fitted into box_width x box_height with
// its proportions kept, or null. The caller owns the bitmap.
HBITMAP load_picture(HMODULE module, int id, const char* type, int box_width, int box_height);
