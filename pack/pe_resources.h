// Resources of a Windows executable (PE32 or PE32+): read the resource tree, change it, and write
// the file back with a new resource section. Pure: bytes in, bytes out, no platform headers.
//
// The input is untrusted: every offset and size is checked against the file before it is read,
// and a file this module cannot rewrite safely is refused with its own status.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum PeStatus {
    PE_OK = 0,
    PE_NOT_MZ,             // too short for a DOS header, or no "MZ"
    PE_NO_PE_HEADER,       // e_lfanew out of the file, or no "PE\0\0"
    PE_BAD_OPTIONAL,       // optional header truncated, unknown magic, or too few data directories
    PE_BAD_SECTIONS,       // section table out of the headers, or a section's data out of the file
    PE_BAD_RESOURCES,      // the resource tree leaves its section, loops or nests too deep
    PE_SYMBOLS,            // a COFF symbol table is present (a build without -s)
    PE_SIGNED,             // an Authenticode signature is attached; a rewrite would break it
    PE_TRAILING_DATA,      // bytes after the last section that belong to no section
    PE_NO_HEADER_ROOM,     // no room in the headers for one more section header
    PE_TOO_LARGE,          // the new resource section would not fit 32-bit sizes
};

// Text for a status, one line, for the tool's messages.
const char* pe_status_text(int status);

// A resource type or name: an integer identifier, or a name (stored in upper case, as the
// platform's lookups upper-case the names they are given).
struct PeResId {
    bool is_name = false;
    uint16_t id = 0;
    std::u16string name;
};

struct PeResource {
    PeResId type;
    PeResId name;
    uint16_t language = 0;
    uint32_t codepage = 0;
    std::vector<uint8_t> data;
};

enum : uint16_t {
    PE_RT_ICON = 3,
    PE_RT_RCDATA = 10,
    PE_RT_GROUP_ICON = 14,
    PE_LANGUAGE_EN_US = 0x0409,   // what the player's resource compiler tags everything with
};

struct PeSection {
    char name[9];                // zero-terminated copy of the 8-byte name
    uint32_t virtual_size;
    uint32_t virtual_address;
    uint32_t raw_size;
    uint32_t raw_offset;
    uint32_t characteristics;
};

// The parsed layout of one executable; bytes is the whole file.
struct PeImage {
    std::vector<uint8_t> bytes;
    bool pe32_plus = false;
    uint32_t coff_offset = 0;        // file offset of the COFF header (after "PE\0\0")
    uint32_t optional_offset = 0;    // file offset of the optional header
    uint32_t directory_offset = 0;   // file offset of the data directories
    uint32_t section_table = 0;      // file offset of the first section header
    uint32_t file_alignment = 0;
    uint32_t section_alignment = 0;
    uint32_t size_of_headers = 0;
    uint32_t resource_rva = 0;       // data directory 2
    uint32_t resource_size = 0;
    std::vector<PeSection> sections;
};

// Parses the headers and the section table. Returns a PeStatus.
int pe_parse(const std::vector<uint8_t>& file, PeImage* image);

// Reads every resource (type, name, language, data), in tree order. Returns a PeStatus.
int pe_read_resources(const PeImage& image, std::vector<PeResource>* out);

// Writes the executable with exactly these resources: a new resource section replaces the old
// one in place when it is the last section, else it is appended as a new last section; the data
// directory, the sizes and the checksum follow. Returns a PeStatus.
int pe_write_resources(const PeImage& image, const std::vector<PeResource>& resources,
                       std::vector<uint8_t>* out);

// The PE checksum of a file whose checksum field lies at checksum_offset.
uint32_t pe_checksum(const uint8_t* data, size_t size, size_t checksum_offset);

PeResId pe_id(uint16_t id);
PeResId pe_name(const std::string& ascii_name);   // upper-cased
bool pe_id_equal(const PeResId& a, const PeResId& b);
// Tree order: names before integer identifiers, names by code unit, identifiers ascending.
bool pe_id_less(const PeResId& a, const PeResId& b);
std::string pe_id_text(const PeResId& id);        // "104" or "PATCH"

// Finds the resource of that type and name (any language); null when there is none.
const PeResource* pe_find(const std::vector<PeResource>& resources, const PeResId& type,
                          const PeResId& name);
// Replaces every language of that type and name with this one resource, or adds it.
void pe_set(std::vector<PeResource>* resources, const PeResource& resource);
// Removes every language of that type and name; returns whether one was there.
bool pe_remove(std::vector<PeResource>* resources, const PeResId& type, const PeResId& name);
// The language the file's resources use: that of the first one, else en-US.
uint16_t pe_language(const std::vector<PeResource>& resources);
