#include "pack/cp1252.h"

#include <cstdint>

namespace {

// Code points of bytes 0x80..0x9F; the undefined ones stand for themselves (C1 controls).
const uint16_t HIGH_CONTROLS[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint32_t code_point_of(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? HIGH_CONTROLS[byte - 0x80] : byte;
}

int byte_of(uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return (int)cp;
    for (int i = 0; i < 32; ++i)
        if (HIGH_CONTROLS[i] == cp)
            return 0x80 + i;
    return -1;
}

// Reads one UTF-8 sequence at s[*pos]; returns false on a malformed one.
bool next_code_point(const std::string& s, size_t* pos, uint32_t* cp)
{
    unsigned char c = (unsigned char)s[*pos];
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || *pos + (size_t)extra >= s.size())
        return false;
    uint32_t value = extra == 0 ? c : c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        unsigned char t = (unsigned char)s[*pos + i];
        if ((t & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (t & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    *pos += (size_t)extra + 1;
    *cp = value;
    return true;
}

void append_utf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += (char)cp;
    } else if (cp < 0x800) {
        out += (char)(0xC0 | (cp >> 6));
        out += (char)(0x80 | (cp & 0x3F));
    } else {
        out += (char)(0xE0 | (cp >> 12));
        out += (char)(0x80 | ((cp >> 6) & 0x3F));
        out += (char)(0x80 | (cp & 0x3F));
    }
}

}  // namespace

bool utf8_to_cp1252(const std::string& utf8, std::string* out, unsigned long* bad)
{
    out->clear();
    size_t pos = 0;
    while (pos < utf8.size()) {
        uint32_t cp = 0;
        if (!next_code_point(utf8, &pos, &cp)) {
            *bad = (unsigned char)utf8[pos];
            return false;
        }
        int byte = byte_of(cp);
        if (byte < 0) {
            *bad = cp;
            return false;
        }
        *out += (char)byte;
    }
    return true;
}

std::string cp1252_to_utf8(const std::string& text)
{
    std::string out;
    for (char c : text)
        append_utf8(out, code_point_of((unsigned char)c));
    return out;
}
