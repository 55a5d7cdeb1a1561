#include "app/message.h"

#include <windows.h>

void show_message(const char* text, const char* caption, MessageIcon icon)
{
    MessageBoxA(nullptr, text, caption, MB_OK | (UINT)icon);
}
