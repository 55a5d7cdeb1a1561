#pragma once
#include <windows.h>

enum { HEADER_TEMPLATE = 1002 };

INT_PTR CALLBACK header_bar_proc(HWND bar, UINT msg, WPARAM wp, LPARAM lp);
