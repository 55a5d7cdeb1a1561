// The extension of an extracted medium comes from its first bytes.
#include <gtest/gtest.h>

#include <string>

#include "panel/media_file.h"

namespace {

TEST(MediaFile, ExtensionFromTheFirstBytes)
{
    struct { const char* what; std::string bytes; const char* want; } cases[] = {
        {"ID3 tag", std::string("ID3\x04\0\0\0\0\0\0", 10), "MP3"},
        {"RIFF WAVE", std::string("RIFF\x24\0\0\0WAVEfmt ", 16), "WAV"},
        {"RIFF AVI", std::string("RIFF\x24\0\0\0AVI LIST", 16), "AVI"},
        {"RIFF other", std::string("RIFF\x24\0\0\0CDXAfmt ", 16), "XXX"},
        {"ASF", std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9", 10), "WMV"},
        {"MPEG audio frame", std::string("\xFF\xF3\x90\x00\0\0\0\0\0\0", 10), "MP3"},
        {"FF 00", std::string("\xFF\x00\0\0\0\0\0\0\0\0", 10), "MPG"},
        {"JPEG", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11), "XXX"},
        {"MPEG program stream", std::string("\x00\x00\x01\xBA\x44\0\x04\0\x04\x01", 10), "MPG"},
        {"00 with A at 8", std::string("\0\0\0\0\0\0\0\0A\0", 10), "AVI"},
        {"00 with W at 8", std::string("\0\0\0\0\0\0\0\0W\0", 10), "AVI"},
        {"PNG", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "XXX"},
        {"eight bytes of ID3", std::string("ID3\x04\0\0\0\0", 8), "XXX"},
        {"RIFF cut before its form", std::string("RIFF", 4), "XXX"},
        {"empty", std::string(), "XXX"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.want, media_file_extension((const uint8_t*)c.bytes.data(), c.bytes.size())) << c.what;
}

TEST(MediaFile, PathNamesTheQuizAndTheQuestion)
{
    char path[260];
    media_file_path(path, sizeof path, "", "musique", 3, "WAV");
    EXPECT_STREQ("musique.media3.WAV", path);
    media_file_path(path, sizeof path, "C:\\temp\\", "q", 96, "MP3");
    EXPECT_STREQ("C:\\temp\\q.media96.MP3", path);
    char small[8];
    media_file_path(small, sizeof small, "", "musique", 3, "WAV");
    EXPECT_STREQ("musique", small) << "cut to its buffer";
}

}  // namespace
