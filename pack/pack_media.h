// The media files of a quiz: what kind of file a resource holds, whether the player can show a
// picture, solution picture storage, PNG to BMP with the player's decoder, and icon files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pack/pe_resources.h"

// What the first bytes of a file say it is.
enum PackFileKind {
    PACK_FILE_UNKNOWN,
    PACK_FILE_JPEG,
    PACK_FILE_GIF,
    PACK_FILE_BMP,
    PACK_FILE_PNG,
    PACK_FILE_WAV,
    PACK_FILE_MP3,
    PACK_FILE_AVI,
    PACK_FILE_MPG,
    PACK_FILE_WMV,
};

PackFileKind pack_file_kind(const std::vector<uint8_t>& bytes);
// The file name extension of a kind, without the dot ("bin" for unknown).
const char* pack_file_extension(PackFileKind kind);
bool pack_is_picture(PackFileKind kind);

// Decodes PNG bytes with the player's decoder into a BMP file (top-down DIB). Returns the
// decoder's error code, PNG_ERROR_NONE on success.
int32_t pack_png_to_bmp(const std::vector<uint8_t>& png, std::vector<uint8_t>* bmp);
// A one-line description of a PNG decoder error code.
std::string pack_png_error_text(int32_t code);

// Solution pictures are stored with the two halves of each byte exchanged; the exchange is its
// own inverse.
void pack_exchange_nibbles(std::vector<uint8_t>* bytes);

// Checks an .ico file; empty when it is usable, else the reason.
std::string pack_icon_problem(const std::vector<uint8_t>& ico);
// Makes the icon group named group_name (and its icon images) hold this .ico file's images,
// reusing the identifiers of the images it replaces. The .ico must have passed pack_icon_problem.
void pack_set_icon(std::vector<PeResource>* resources, const PeResId& group_name, uint16_t language,
                   const std::vector<uint8_t>& ico);
// The .ico file of an icon group, or empty when the group or one of its images is missing.
std::vector<uint8_t> pack_get_icon(const std::vector<PeResource>& resources, const PeResId& group_name);
