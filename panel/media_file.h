// Naming of the media files extracted for playback: pure, no window system.
#pragma once
#include <cstddef>
#include <cstdint>

// The three-letter extension of a media resource, chosen from its first bytes: "MP3", "AVI",
// "WAV", "WMV", "MPG", or "XXX" when not recognised or shorter than nine bytes.
const char* media_file_extension(const uint8_t* data, size_t size);

// The extracted file's path: folder, the executable's base name, ".media", the question number,
// "." and the extension (for example "quiz.media3.WAV"), so it cannot clash with the quiz's own
// files. Writes at most size bytes, always terminated.
void media_file_path(char* path, size_t size, const char* folder, const char* exe_base, int question,
                     const char* extension);
