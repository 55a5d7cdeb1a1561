#include "pack/pack_media.h"

#include <algorithm>
#include <cstring>

#include "picture/png.h"

namespace {

enum : size_t {
    ICO_HEADER_SIZE = 6,
    ICO_ENTRY_SIZE = 16,     // in an .ico file: ends with the image's file offset
    GROUP_ENTRY_SIZE = 14,   // in an icon group resource: ends with the image's identifier
    BMP_FILE_HEADER_SIZE = 14,
    BMP_INFO_HEADER_SIZE = 40,
};

bool starts_with(const std::vector<uint8_t>& b, size_t at, const char* text)
{
    size_t n = std::strlen(text);
    return b.size() >= at + n && std::memcmp(b.data() + at, text, n) == 0;
}

uint32_t get16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t get32(const std::vector<uint8_t>& b, size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }
void add16(std::vector<uint8_t>& b, uint32_t v)
{
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
}
void add32(std::vector<uint8_t>& b, uint32_t v)
{
    add16(b, v & 0xFFFF);
    add16(b, v >> 16);
}

// Identifiers of the images an icon group names, in its order.
std::vector<uint16_t> group_image_ids(const PeResource* group)
{
    std::vector<uint16_t> ids;
    if (!group || group->data.size() < ICO_HEADER_SIZE)
        return ids;
    size_t count = get16(group->data, 4);
    for (size_t i = 0; i < count && ICO_HEADER_SIZE + (i + 1) * GROUP_ENTRY_SIZE <= group->data.size(); ++i)
        ids.push_back((uint16_t)get16(group->data, ICO_HEADER_SIZE + i * GROUP_ENTRY_SIZE + 12));
    return ids;
}

uint16_t highest_icon_id(const std::vector<PeResource>& resources)
{
    uint16_t highest = 0;
    for (const PeResource& r : resources)
        if (!r.type.is_name && r.type.id == PE_RT_ICON && !r.name.is_name)
            highest = std::max(highest, r.name.id);
    return highest;
}

}  // namespace

PackFileKind pack_file_kind(const std::vector<uint8_t>& b)
{
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return PACK_FILE_JPEG;
    if (starts_with(b, 0, "GIF87a") || starts_with(b, 0, "GIF89a"))
        return PACK_FILE_GIF;
    if (starts_with(b, 0, "BM") && b.size() >= BMP_FILE_HEADER_SIZE + 4)
        return PACK_FILE_BMP;
    if (starts_with(b, 0, "\x89PNG\r\n\x1a\n"))
        return PACK_FILE_PNG;
    if (starts_with(b, 0, "RIFF") && starts_with(b, 8, "WAVE"))
        return PACK_FILE_WAV;
    if (starts_with(b, 0, "RIFF") && starts_with(b, 8, "AVI "))
        return PACK_FILE_AVI;
    if (starts_with(b, 0, "ID3") || (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0))
        return PACK_FILE_MP3;
    if (b.size() >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 1 && (b[3] == 0xBA || b[3] == 0xB3))
        return PACK_FILE_MPG;
    if (starts_with(b, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11"))
        return PACK_FILE_WMV;
    return PACK_FILE_UNKNOWN;
}

const char* pack_file_extension(PackFileKind kind)
{
    static const char* const names[] = {"bin", "jpg", "gif", "bmp", "png", "wav", "mp3", "avi", "mpg", "wmv"};
    return names[kind];
}

bool pack_is_picture(PackFileKind kind)
{
    return kind == PACK_FILE_JPEG || kind == PACK_FILE_GIF || kind == PACK_FILE_BMP || kind == PACK_FILE_PNG;
}

void pack_exchange_nibbles(std::vector<uint8_t>* bytes)
{
    for (uint8_t& b : *bytes)
        b = (uint8_t)((b << 4) | (b >> 4));
}

std::string pack_png_error_text(int32_t code)
{
    switch (code) {
    case PNG_ERROR_NONE: return "no error";
    case PNG_ERROR_NO_MEMORY: return "out of memory";
    case PNG_ERROR_CORRUPT: return "not a PNG, or damaged PNG data";
    case PNG_ERROR_UNSUPPORTED: return "a PNG form the player does not decode, or too large";
    }
    return "decoder error";
}

int32_t pack_png_to_bmp(const std::vector<uint8_t>& png, std::vector<uint8_t>* bmp)
{
    PngDecoderState state;
    png_reset(&state);
    static PngDibFormat format;   // 1 KiB colour table: not on the stack of every caller
    std::vector<uint8_t> pixels;
    bool ok = png.size() <= 0xFFFFFFFFu && png_open_memory(&state, png.data(), (uint32_t)png.size()) &&
              png_inflate_image(&state) && png_dib_format(&state, &format);
    if (ok) {
        pixels.resize(format.size);
        ok = png_write_dib_pixels(&state, &format, pixels.data());
    }
    int32_t error = ok ? PNG_ERROR_NONE : (state.error ? state.error : PNG_ERROR_CORRUPT);
    uint32_t width = state.width, height = state.height;
    png_free(&state);
    if (!ok)
        return error;
    uint32_t table = format.bit_count <= 8 ? format.table_entries * 4 : 0;
    uint32_t offset = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE + table;
    bmp->clear();
    bmp->push_back('B');
    bmp->push_back('M');
    add32(*bmp, offset + format.size);
    add32(*bmp, 0);
    add32(*bmp, offset);
    add32(*bmp, BMP_INFO_HEADER_SIZE);
    add32(*bmp, width);
    add32(*bmp, (uint32_t)-(int32_t)height);   // negative: rows top-down, as decoded
    add16(*bmp, 1);
    add16(*bmp, format.bit_count);
    add32(*bmp, 0);   // BI_RGB
    add32(*bmp, format.size);
    add32(*bmp, 2835);   // 72 dpi
    add32(*bmp, 2835);
    add32(*bmp, format.bit_count <= 8 ? format.table_entries : 0);
    add32(*bmp, 0);
    for (uint32_t i = 0; i < table / 4; ++i)
        bmp->insert(bmp->end(), format.colour_table[i], format.colour_table[i] + 4);
    bmp->insert(bmp->end(), pixels.begin(), pixels.end());
    return PNG_ERROR_NONE;
}

std::string pack_icon_problem(const std::vector<uint8_t>& ico)
{
    if (ico.size() < ICO_HEADER_SIZE || get16(ico, 0) != 0 || get16(ico, 2) != 1)
        return "not an icon file (.ico)";
    size_t count = get16(ico, 4);
    if (count == 0)
        return "the icon file holds no image";
    if (ICO_HEADER_SIZE + count * ICO_ENTRY_SIZE > ico.size())
        return "the icon file is cut short";
    for (size_t i = 0; i < count; ++i) {
        size_t e = ICO_HEADER_SIZE + i * ICO_ENTRY_SIZE;
        uint64_t size = get32(ico, e + 8), at = get32(ico, e + 12);
        if (size == 0 || at > ico.size() || size > ico.size() - at)
            return "image " + std::to_string(i + 1) + " of the icon file lies outside it";
    }
    return "";
}

void pack_set_icon(std::vector<PeResource>* resources, const PeResId& group_name, uint16_t language,
                   const std::vector<uint8_t>& ico)
{
    std::vector<uint16_t> old_ids = group_image_ids(pe_find(*resources, pe_id(PE_RT_GROUP_ICON), group_name));
    for (uint16_t id : old_ids)
        pe_remove(resources, pe_id(PE_RT_ICON), pe_id(id));
    uint16_t next_id = highest_icon_id(*resources);
    for (uint16_t id : old_ids)
        next_id = std::max(next_id, id);
    PeResource group;
    group.type = pe_id(PE_RT_GROUP_ICON);
    group.name = group_name;
    group.language = language;
    group.data.assign(ico.begin(), ico.begin() + ICO_HEADER_SIZE);
    size_t count = get16(ico, 4);
    for (size_t i = 0; i < count; ++i) {
        size_t e = ICO_HEADER_SIZE + i * ICO_ENTRY_SIZE;
        uint16_t id = i < old_ids.size() ? old_ids[i] : ++next_id;
        PeResource image;
        image.type = pe_id(PE_RT_ICON);
        image.name = pe_id(id);
        image.language = language;
        image.data.assign(ico.begin() + get32(ico, e + 12), ico.begin() + get32(ico, e + 12) + get32(ico, e + 8));
        resources->push_back(image);
        group.data.insert(group.data.end(), ico.begin() + e, ico.begin() + e + 12);
        add16(group.data, id);
    }
    pe_set(resources, group);
}

std::vector<uint8_t> pack_get_icon(const std::vector<PeResource>& resources, const PeResId& group_name)
{
    const PeResource* group = pe_find(resources, pe_id(PE_RT_GROUP_ICON), group_name);
    std::vector<uint16_t> ids = group_image_ids(group);
    std::vector<uint8_t> ico;
    if (ids.empty())
        return ico;
    ico.assign(group->data.begin(), group->data.begin() + ICO_HEADER_SIZE);
    ico[4] = (uint8_t)ids.size();
    ico[5] = (uint8_t)(ids.size() >> 8);
    std::vector<uint8_t> images;
    uint32_t offset = (uint32_t)(ICO_HEADER_SIZE + ids.size() * ICO_ENTRY_SIZE);
    for (size_t i = 0; i < ids.size(); ++i) {
        const PeResource* image = pe_find(resources, pe_id(PE_RT_ICON), pe_id(ids[i]));
        if (!image)
            return {};
        size_t e = ICO_HEADER_SIZE + i * GROUP_ENTRY_SIZE;
        ico.insert(ico.end(), group->data.begin() + e, group->data.begin() + e + 8);
        add32(ico, (uint32_t)image->data.size());
        add32(ico, offset + (uint32_t)images.size());
        images.insert(images.end(), image->data.begin(), image->data.end());
    }
    ico.insert(ico.end(), images.begin(), images.end());
    return ico;
}
