// Conversion between UTF-8 (the authoring side) and Windows-1252 (what the player holds).
#pragma once
#include <string>

// Converts UTF-8 text to Windows-1252. Returns false (and the offending code point in *bad)
// when the text is not valid UTF-8 or holds a character Windows-1252 cannot hold.
bool utf8_to_cp1252(const std::string& utf8, std::string* out, unsigned long* bad);
// Converts Windows-1252 text to UTF-8 (the five undefined bytes map to U+0081 etc.).
std::string cp1252_to_utf8(const std::string& text);
