#include "panel/media_file.h"

#include <cstdio>

// Byte 8 of a RIFF or MPEG stream: the form type ("AVI " or "WAVE"). Data too short to hold
// it is not a medium at all.
const size_t FORM_OFFSET = 8;

const char* media_file_extension(const uint8_t* data, size_t size)
{
    if (size <= FORM_OFFSET)
        return "XXX";
    uint8_t form = data[FORM_OFFSET];
    switch (data[0]) {
    case 'I':
        return "MP3";
    case 'R':
        return form == 'A' ? "AVI" : form == 'W' ? "WAV" : "XXX";
    case '0':
        return "WMV";
    case 0xFF:
        return data[1] == 0xF3 ? "MP3" : data[1] == 0x00 ? "MPG" : "XXX";
    case 0x00:
        return form == 'A' || form == 'W' ? "AVI" : "MPG";
    default:
        return "XXX";
    }
}

void media_file_path(char* path, size_t size, const char* folder, const char* exe_base, int question,
                     const char* extension)
{
    if (size == 0)
        return;
    std::snprintf(path, size, "%s%s.media%d.%s", folder, exe_base, question, extension);
}
