#include "pack/pe_resources.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// Format notes. A PE file: DOS header ("MZ", e_lfanew at 0x3C), "PE\0\0", the 20-byte COFF
// header, the optional header (magic 0x10B PE32 or 0x20B PE32+, then fields whose offsets differ
// only after the image base), the data directories, and the 40-byte section headers. The resource
// tree has three levels (type, name, language); each directory is a 16-byte header with the
// counts of named and integer entries, then 8-byte entries, named first; an entry's high bit
// marks a name (offset of a counted UTF-16 string) or a subdirectory. The leaves are 16-byte data
// entries holding the data's RVA, size and code page. Every offset in the tree except the data
// RVA counts from the start of the tree.

namespace {

enum : uint32_t {
    DOS_HEADER_SIZE = 0x40,
    LFANEW_OFFSET = 0x3C,
    COFF_HEADER_SIZE = 20,
    SECTION_HEADER_SIZE = 40,
    DIRECTORY_HEADER_SIZE = 16,
    DIRECTORY_ENTRY_SIZE = 8,
    DATA_ENTRY_SIZE = 16,
    HIGH_BIT = 0x80000000u,
    MAGIC_PE32 = 0x10B,
    MAGIC_PE32_PLUS = 0x20B,
    DIR_RESOURCE = 2,
    DIR_SECURITY = 4,
    RESOURCE_SECTION_FLAGS = 0xC0000040u,   // initialised data, read, write: the player
                                            // unscrambles its quiz in place
    DATA_ALIGNMENT = 8,
};

// Offsets inside the optional header.
enum : uint32_t {
    OPT_SIZE_OF_INITIALIZED_DATA = 8,
    OPT_SECTION_ALIGNMENT = 32,
    OPT_FILE_ALIGNMENT = 36,
    OPT_SIZE_OF_IMAGE = 56,
    OPT_SIZE_OF_HEADERS = 60,
    OPT_CHECKSUM = 64,
    OPT_RVA_COUNT_PE32 = 92,
    OPT_RVA_COUNT_PE32_PLUS = 108,
};

// Limits on what a tree may make us copy: far beyond any quiz, small enough to stop a file whose
// directories point at one another many times over.
const size_t MAX_RESOURCES = 65536;
const uint64_t MAX_TOTAL_DATA = 256u << 20;
const uint64_t MAX_ENTRIES_SEEN = 1u << 20;

uint16_t get16(const std::vector<uint8_t>& b, size_t at) { return (uint16_t)(b[at] | b[at + 1] << 8); }
uint32_t get32(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = (uint8_t)v;
    b[at + 1] = (uint8_t)(v >> 8);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}

bool fits(size_t size, uint64_t at, uint64_t len) { return at <= size && len <= size - at; }
uint64_t align_up(uint64_t v, uint64_t a) { return a ? (v + a - 1) / a * a : v; }

int parse_optional(const std::vector<uint8_t>& b, PeImage* im, uint32_t optional_size)
{
    size_t size = b.size();
    if (!fits(size, im->optional_offset, optional_size) || optional_size < 2)
        return PE_BAD_OPTIONAL;
    uint16_t magic = get16(b, im->optional_offset);
    if (magic != MAGIC_PE32 && magic != MAGIC_PE32_PLUS)
        return PE_BAD_OPTIONAL;
    im->pe32_plus = magic == MAGIC_PE32_PLUS;
    uint32_t count_at = im->pe32_plus ? OPT_RVA_COUNT_PE32_PLUS : OPT_RVA_COUNT_PE32;
    if (optional_size < count_at + 4)
        return PE_BAD_OPTIONAL;
    uint32_t o = im->optional_offset;
    uint32_t count = get32(b, o + count_at);
    if (count <= DIR_SECURITY || count > 16 || optional_size < count_at + 4 + count * 8)
        return PE_BAD_OPTIONAL;
    im->directory_offset = o + count_at + 4;
    im->section_alignment = get32(b, o + OPT_SECTION_ALIGNMENT);
    im->file_alignment = get32(b, o + OPT_FILE_ALIGNMENT);
    im->size_of_headers = get32(b, o + OPT_SIZE_OF_HEADERS);
    im->resource_rva = get32(b, im->directory_offset + DIR_RESOURCE * 8);
    im->resource_size = get32(b, im->directory_offset + DIR_RESOURCE * 8 + 4);
    if (im->file_alignment == 0 || im->section_alignment == 0 || im->size_of_headers > size)
        return PE_BAD_OPTIONAL;
    return PE_OK;
}

int parse_sections(const std::vector<uint8_t>& b, PeImage* im, uint32_t count)
{
    if (!fits(b.size(), im->section_table, (uint64_t)count * SECTION_HEADER_SIZE))
        return PE_BAD_SECTIONS;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t at = im->section_table + i * SECTION_HEADER_SIZE;
        PeSection s{};
        std::memcpy(s.name, &b[at], 8);
        s.virtual_size = get32(b, at + 8);
        s.virtual_address = get32(b, at + 12);
        s.raw_size = get32(b, at + 16);
        s.raw_offset = get32(b, at + 20);
        s.characteristics = get32(b, at + 36);
        if (s.raw_size && !fits(b.size(), s.raw_offset, s.raw_size))
            return PE_BAD_SECTIONS;
        im->sections.push_back(s);
    }
    return PE_OK;
}

// File offset of [rva, rva + len) when it lies inside one section's file data.
bool rva_to_offset(const PeImage& im, uint32_t rva, uint32_t len, uint32_t* offset)
{
    for (const PeSection& s : im.sections) {
        if (rva < s.virtual_address)
            continue;
        uint64_t within = rva - s.virtual_address;
        if (within + len <= s.raw_size) {
            *offset = s.raw_offset + (uint32_t)within;
            return true;
        }
    }
    return false;
}

struct TreeReader {
    const PeImage& im;
    std::vector<PeResource>* out;
    uint64_t total_data;
    uint64_t entries_seen;   // every directory entry visited, to stop trees that fan out
};

// Bytes of the tree at offset off (counted from its start), or false when they leave the file.
bool tree_at(const TreeReader& r, uint32_t off, uint32_t len, uint32_t* file_offset)
{
    uint64_t rva = (uint64_t)r.im.resource_rva + off;
    return rva <= 0xFFFFFFFFu && rva_to_offset(r.im, (uint32_t)rva, len, file_offset);
}

bool read_id(const TreeReader& r, uint32_t raw, PeResId* id)
{
    if (!(raw & HIGH_BIT)) {
        id->id = (uint16_t)raw;
        return raw <= 0xFFFF;
    }
    uint32_t at = 0;
    if (!tree_at(r, raw & ~HIGH_BIT, 2, &at))
        return false;
    uint16_t len = get16(r.im.bytes, at);
    if (!tree_at(r, (raw & ~HIGH_BIT) + 2, len * 2u, &at))
        return false;
    id->is_name = true;
    for (uint16_t i = 0; i < len; ++i)
        id->name.push_back((char16_t)get16(r.im.bytes, at + 2u * i));
    return true;
}

bool read_leaf(TreeReader& r, uint32_t off, PeResource res)
{
    uint32_t at = 0, data_at = 0;
    if (!tree_at(r, off, DATA_ENTRY_SIZE, &at))
        return false;
    uint32_t rva = get32(r.im.bytes, at), size = get32(r.im.bytes, at + 4);
    res.codepage = get32(r.im.bytes, at + 8);
    if (size && !rva_to_offset(r.im, rva, size, &data_at))
        return false;
    r.total_data += size;
    if (r.out->size() >= MAX_RESOURCES || r.total_data > MAX_TOTAL_DATA)
        return false;
    res.data.assign(r.im.bytes.begin() + data_at, r.im.bytes.begin() + data_at + size);
    r.out->push_back(std::move(res));
    return true;
}

// One directory at level 0 (types), 1 (names) or 2 (languages); res holds the path so far.
bool read_directory(TreeReader& r, uint32_t off, int level, const PeResource& path)
{
    uint32_t at = 0;
    if (!tree_at(r, off, DIRECTORY_HEADER_SIZE, &at))
        return false;
    uint32_t count = (uint32_t)get16(r.im.bytes, at + 12) + get16(r.im.bytes, at + 14);
    if (!tree_at(r, off + DIRECTORY_HEADER_SIZE, count * DIRECTORY_ENTRY_SIZE, &at))
        return false;
    r.entries_seen += count;
    if (r.entries_seen > MAX_ENTRIES_SEEN)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t raw_id = get32(r.im.bytes, at + i * 8), target = get32(r.im.bytes, at + i * 8 + 4);
        PeResource next = path;
        PeResId id;
        if (!read_id(r, raw_id, &id))
            return false;
        bool subdirectory = (target & HIGH_BIT) != 0;
        if (subdirectory != (level < 2))
            return false;
        if (level == 0)
            next.type = id;
        else if (level == 1)
            next.name = id;
        else if (id.is_name)
            return false;
        else
            next.language = id.id;
        bool ok = level < 2 ? read_directory(r, target & ~HIGH_BIT, level + 1, next) : read_leaf(r, target, next);
        if (!ok)
            return false;
    }
    return true;
}

// --- writing ---------------------------------------------------------------------------------

struct NameNode {
    PeResId id;
    std::vector<const PeResource*> languages;
};
struct TypeNode {
    PeResId id;
    std::vector<NameNode> names;
};

bool resource_less(const PeResource* a, const PeResource* b)
{
    if (!pe_id_equal(a->type, b->type))
        return pe_id_less(a->type, b->type);
    if (!pe_id_equal(a->name, b->name))
        return pe_id_less(a->name, b->name);
    return a->language < b->language;
}

// The tree of the resources; of two with the same type, name and language the later one counts.
std::vector<TypeNode> build_tree(const std::vector<PeResource>& resources)
{
    std::vector<const PeResource*> order;
    for (const PeResource& r : resources)
        order.push_back(&r);
    std::stable_sort(order.begin(), order.end(), resource_less);
    std::vector<TypeNode> tree;
    for (const PeResource* r : order) {
        if (tree.empty() || !pe_id_equal(tree.back().id, r->type))
            tree.push_back(TypeNode{r->type, {}});
        std::vector<NameNode>& names = tree.back().names;
        if (names.empty() || !pe_id_equal(names.back().id, r->name))
            names.push_back(NameNode{r->name, {}});
        std::vector<const PeResource*>& langs = names.back().languages;
        if (!langs.empty() && langs.back()->language == r->language)
            langs.back() = r;
        else
            langs.push_back(r);
    }
    return tree;
}

// Where each part of the new tree goes, as offsets from the start of the section.
struct TreeLayout {
    uint32_t directories = 0;   // bytes of all directory tables
    uint32_t data_entries = 0;  // start of the data entries
    uint32_t strings = 0;       // start of the names
    uint64_t data = 0;          // start of the resource data
    uint64_t total = 0;
};

uint32_t directory_size(size_t entries) { return DIRECTORY_HEADER_SIZE + (uint32_t)entries * DIRECTORY_ENTRY_SIZE; }

TreeLayout lay_out(const std::vector<TypeNode>& tree)
{
    TreeLayout l;
    uint32_t dirs = directory_size(tree.size()), leaves = 0, strings = 0;
    uint64_t data = 0;
    auto name_bytes = [](const PeResId& id) { return id.is_name ? 2 + 2 * (uint32_t)id.name.size() : 0u; };
    for (const TypeNode& t : tree) {
        dirs += directory_size(t.names.size());
        strings += name_bytes(t.id);
        for (const NameNode& n : t.names) {
            dirs += directory_size(n.languages.size());
            strings += name_bytes(n.id);
            leaves += (uint32_t)n.languages.size();
            for (const PeResource* r : n.languages)
                data += align_up(r->data.size(), DATA_ALIGNMENT);
        }
    }
    l.directories = dirs;
    l.data_entries = dirs;
    l.strings = dirs + leaves * DATA_ENTRY_SIZE;
    l.data = align_up((uint64_t)l.strings + strings, DATA_ALIGNMENT);
    l.total = l.data + data;
    return l;
}

struct TreeWriter {
    std::vector<uint8_t>& out;   // the section's content
    uint32_t section_rva;
    uint32_t next_directory;
    uint32_t next_entry;
    uint32_t next_string;
    uint64_t next_data;
};

void write_directory_header(TreeWriter& w, uint32_t at, size_t named, size_t ids)
{
    put16(w.out, at + 12, (uint32_t)named);
    put16(w.out, at + 14, (uint32_t)ids);
}

uint32_t write_id(TreeWriter& w, const PeResId& id)
{
    if (!id.is_name)
        return id.id;
    uint32_t at = w.next_string;
    put16(w.out, at, (uint32_t)id.name.size());
    for (size_t i = 0; i < id.name.size(); ++i)
        put16(w.out, at + 2 + 2 * i, id.name[i]);
    w.next_string += 2 + 2 * (uint32_t)id.name.size();
    return at | HIGH_BIT;
}

uint32_t write_leaf(TreeWriter& w, const PeResource& r)
{
    uint32_t entry = w.next_entry;
    w.next_entry += DATA_ENTRY_SIZE;
    uint64_t data = w.next_data;
    w.next_data += align_up(r.data.size(), DATA_ALIGNMENT);
    if (!r.data.empty())
        std::memcpy(&w.out[data], r.data.data(), r.data.size());
    put32(w.out, entry, w.section_rva + (uint32_t)data);
    put32(w.out, entry + 4, (uint32_t)r.data.size());
    put32(w.out, entry + 8, r.codepage);
    return entry;
}

size_t count_named(const std::vector<NameNode>& names)
{
    return (size_t)std::count_if(names.begin(), names.end(), [](const NameNode& n) { return n.id.is_name; });
}

// Directories breadth first: the root, the type directories, then the name directories.
void write_tree(TreeWriter& w, const std::vector<TypeNode>& tree)
{
    size_t named_types = (size_t)std::count_if(tree.begin(), tree.end(), [](const TypeNode& t) { return t.id.is_name; });
    write_directory_header(w, 0, named_types, tree.size() - named_types);
    w.next_directory = directory_size(tree.size());
    std::vector<uint32_t> type_dirs;
    for (size_t i = 0; i < tree.size(); ++i) {
        uint32_t entry = DIRECTORY_HEADER_SIZE + (uint32_t)i * DIRECTORY_ENTRY_SIZE;
        type_dirs.push_back(w.next_directory);
        put32(w.out, entry, write_id(w, tree[i].id));
        put32(w.out, entry + 4, w.next_directory | HIGH_BIT);
        size_t named = count_named(tree[i].names);
        write_directory_header(w, w.next_directory, named, tree[i].names.size() - named);
        w.next_directory += directory_size(tree[i].names.size());
    }
    for (size_t i = 0; i < tree.size(); ++i) {
        for (size_t j = 0; j < tree[i].names.size(); ++j) {
            const NameNode& n = tree[i].names[j];
            uint32_t entry = type_dirs[i] + DIRECTORY_HEADER_SIZE + (uint32_t)j * DIRECTORY_ENTRY_SIZE;
            uint32_t dir = w.next_directory;
            put32(w.out, entry, write_id(w, n.id));
            put32(w.out, entry + 4, dir | HIGH_BIT);
            write_directory_header(w, dir, 0, n.languages.size());
            w.next_directory += directory_size(n.languages.size());
            for (size_t k = 0; k < n.languages.size(); ++k) {
                uint32_t lang_entry = dir + DIRECTORY_HEADER_SIZE + (uint32_t)k * DIRECTORY_ENTRY_SIZE;
                put32(w.out, lang_entry, n.languages[k]->language);
                put32(w.out, lang_entry + 4, write_leaf(w, *n.languages[k]));
            }
        }
    }
}

// What the rewrite needs to know about where the resource section goes.
struct Placement {
    size_t index;          // section header slot of the resource section
    bool appended;         // a new last section, rather than the old one rewritten in place
    uint32_t rva;
    uint32_t raw_offset;
    uint32_t characteristics;
    uint32_t old_raw_size; // of the section rewritten in place, 0 when appended
    size_t old_index;      // the section that held the old tree, or SIZE_MAX
};

uint64_t sections_end(const PeImage& im)
{
    uint64_t end = im.size_of_headers;
    for (const PeSection& s : im.sections)
        if (s.raw_size)
            end = std::max<uint64_t>(end, (uint64_t)s.raw_offset + s.raw_size);
    return end;
}

int check_writable(const PeImage& im)
{
    const std::vector<uint8_t>& b = im.bytes;
    if (get32(b, im.coff_offset + 8) != 0 || get32(b, im.coff_offset + 12) != 0)
        return PE_SYMBOLS;
    if (get32(b, im.directory_offset + DIR_SECURITY * 8 + 4) != 0)
        return PE_SIGNED;
    if (im.sections.empty())
        return PE_BAD_SECTIONS;
    if (b.size() > align_up(sections_end(im), im.file_alignment))
        return PE_TRAILING_DATA;
    return PE_OK;
}

int place_section(const PeImage& im, Placement* p)
{
    const PeSection& last = im.sections.back();
    // In place only when the tree's section is last both in memory and in the file, so that
    // cutting the file at its start loses nothing else.
    bool in_place = im.resource_rva != 0 && last.virtual_address == im.resource_rva &&
                    (uint64_t)last.raw_offset + last.raw_size == sections_end(im);
    uint32_t characteristics = RESOURCE_SECTION_FLAGS;
    size_t old_index = SIZE_MAX;
    for (size_t i = 0; i < im.sections.size(); ++i)
        if (im.resource_rva && im.sections[i].virtual_address == im.resource_rva) {
            characteristics = im.sections[i].characteristics;
            old_index = i;
        }
    if (in_place) {
        *p = Placement{im.sections.size() - 1, false, last.virtual_address, last.raw_offset, last.characteristics,
                       last.raw_size, SIZE_MAX};
        return PE_OK;
    }
    uint64_t header_end = (uint64_t)im.section_table + (im.sections.size() + 1) * SECTION_HEADER_SIZE;
    uint64_t first_raw = im.size_of_headers;
    for (const PeSection& s : im.sections)
        if (s.raw_size)
            first_raw = std::min<uint64_t>(first_raw, s.raw_offset);
    if (header_end > first_raw)
        return PE_NO_HEADER_ROOM;
    uint32_t span = std::max(last.virtual_size, last.raw_size);
    uint64_t rva = align_up((uint64_t)last.virtual_address + span, im.section_alignment);
    uint64_t raw = align_up(sections_end(im), im.file_alignment);
    if (rva > 0xFFFFFFFFu || raw > 0xFFFFFFFFu)
        return PE_TOO_LARGE;
    *p = Placement{im.sections.size(), true, (uint32_t)rva, (uint32_t)raw, characteristics, 0, old_index};
    return PE_OK;
}

void write_section_header(std::vector<uint8_t>& b, const PeImage& im, const Placement& p, uint32_t content,
                          uint32_t raw_size)
{
    uint32_t at = im.section_table + (uint32_t)p.index * SECTION_HEADER_SIZE;
    if (p.appended) {
        std::memset(&b[at], 0, SECTION_HEADER_SIZE);
        std::memcpy(&b[at], ".rsrc", 5);
        put16(b, im.coff_offset + 2, (uint32_t)im.sections.size() + 1);
    }
    // The old tree stays where it was, unreferenced; renamed so that tools which look for the
    // resources by section name find the new ones.
    if (p.old_index != SIZE_MAX)
        std::memcpy(&b[im.section_table + p.old_index * SECTION_HEADER_SIZE], ".oldrsrc", 8);
    put32(b, at + 8, content);
    put32(b, at + 12, p.rva);
    put32(b, at + 16, raw_size);
    put32(b, at + 20, p.raw_offset);
    put32(b, at + 36, p.characteristics);
}

void fix_optional_header(std::vector<uint8_t>& b, const PeImage& im, const Placement& p, uint32_t content,
                         uint32_t raw_size)
{
    uint32_t o = im.optional_offset;
    uint32_t initialised = get32(b, o + OPT_SIZE_OF_INITIALIZED_DATA);
    put32(b, o + OPT_SIZE_OF_INITIALIZED_DATA, initialised - p.old_raw_size + raw_size);
    put32(b, o + OPT_SIZE_OF_IMAGE, (uint32_t)align_up((uint64_t)p.rva + content, im.section_alignment));
    put32(b, im.directory_offset + DIR_RESOURCE * 8, p.rva);
    put32(b, im.directory_offset + DIR_RESOURCE * 8 + 4, content);
    put32(b, o + OPT_CHECKSUM, 0);
    put32(b, o + OPT_CHECKSUM, pe_checksum(b.data(), b.size(), o + OPT_CHECKSUM));
}

}  // namespace

const char* pe_status_text(int status)
{
    switch (status) {
    case PE_OK: return "no error";
    case PE_NOT_MZ: return "not a Windows executable (no MZ header)";
    case PE_NO_PE_HEADER: return "not a Windows executable (no PE header)";
    case PE_BAD_OPTIONAL: return "damaged executable: bad optional header";
    case PE_BAD_SECTIONS: return "damaged executable: a section lies outside the file";
    case PE_BAD_RESOURCES: return "damaged executable: the resource tree is broken";
    case PE_SYMBOLS: return "the executable carries a symbol table; strip it first (strip -s), resources are not "
                            "added to an unstripped file";
    case PE_SIGNED: return "the executable is signed; adding resources would break its signature";
    case PE_TRAILING_DATA: return "the executable has data after its last section; it cannot be rewritten safely";
    case PE_NO_HEADER_ROOM: return "no room in the executable's headers for a new section";
    case PE_TOO_LARGE: return "the resources are too large for an executable";
    }
    return "unknown error";
}

int pe_parse(const std::vector<uint8_t>& file, PeImage* image)
{
    PeImage im;
    if (file.size() < DOS_HEADER_SIZE || file[0] != 'M' || file[1] != 'Z')
        return PE_NOT_MZ;
    uint32_t pe = get32(file, LFANEW_OFFSET);
    if (!fits(file.size(), pe, 4 + COFF_HEADER_SIZE) || std::memcmp(&file[pe], "PE\0\0", 4) != 0)
        return PE_NO_PE_HEADER;
    im.coff_offset = pe + 4;
    uint32_t count = get16(file, im.coff_offset + 2);
    uint32_t optional_size = get16(file, im.coff_offset + 16);
    im.optional_offset = im.coff_offset + COFF_HEADER_SIZE;
    int status = parse_optional(file, &im, optional_size);
    if (status != PE_OK)
        return status;
    im.section_table = im.optional_offset + optional_size;
    status = parse_sections(file, &im, count);
    if (status != PE_OK)
        return status;
    im.bytes = file;
    *image = std::move(im);
    return PE_OK;
}

int pe_read_resources(const PeImage& image, std::vector<PeResource>* out)
{
    out->clear();
    if (image.resource_rva == 0 || image.resource_size == 0)
        return PE_OK;
    TreeReader r{image, out, 0, 0};
    if (!read_directory(r, 0, 0, PeResource())) {
        out->clear();
        return PE_BAD_RESOURCES;
    }
    return PE_OK;
}

int pe_write_resources(const PeImage& image, const std::vector<PeResource>& resources, std::vector<uint8_t>* out)
{
    int status = check_writable(image);
    Placement place{};
    if (status == PE_OK)
        status = place_section(image, &place);
    if (status != PE_OK)
        return status;
    std::vector<TypeNode> tree = build_tree(resources);
    TreeLayout layout = lay_out(tree);
    uint64_t raw_size = align_up(layout.total, image.file_alignment);
    if (layout.total > 0x7FFFFFFF || (uint64_t)place.raw_offset + raw_size > 0x7FFFFFFF ||
        (uint64_t)place.rva + layout.total > 0xFFFFFFFFu)
        return PE_TOO_LARGE;
    std::vector<uint8_t> content((size_t)raw_size, 0);
    TreeWriter w{content, place.rva, 0, layout.data_entries, layout.strings, layout.data};
    write_tree(w, tree);

    std::vector<uint8_t> b(image.bytes.begin(), image.bytes.begin() + std::min<size_t>(image.bytes.size(), place.raw_offset));
    b.resize(place.raw_offset, 0);
    b.insert(b.end(), content.begin(), content.end());
    write_section_header(b, image, place, (uint32_t)layout.total, (uint32_t)raw_size);
    fix_optional_header(b, image, place, (uint32_t)layout.total, (uint32_t)raw_size);
    *out = std::move(b);
    return PE_OK;
}

uint32_t pe_checksum(const uint8_t* data, size_t size, size_t checksum_offset)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < size; i += 2) {
        if (i == checksum_offset || i == checksum_offset + 2)
            continue;
        uint32_t word = data[i] | (i + 1 < size ? data[i + 1] << 8 : 0);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return (uint32_t)(sum + size);
}

PeResId pe_id(uint16_t id)
{
    PeResId r;
    r.id = id;
    return r;
}

PeResId pe_name(const std::string& ascii_name)
{
    PeResId r;
    r.is_name = true;
    for (char c : ascii_name)
        r.name.push_back((char16_t)(c >= 'a' && c <= 'z' ? c - 32 : (unsigned char)c));
    return r;
}

bool pe_id_equal(const PeResId& a, const PeResId& b)
{
    return a.is_name == b.is_name && (a.is_name ? a.name == b.name : a.id == b.id);
}

bool pe_id_less(const PeResId& a, const PeResId& b)
{
    if (a.is_name != b.is_name)
        return a.is_name;
    return a.is_name ? a.name < b.name : a.id < b.id;
}

std::string pe_id_text(const PeResId& id)
{
    if (!id.is_name)
        return std::to_string(id.id);
    std::string text;
    for (char16_t c : id.name)
        text.push_back(c < 0x80 ? (char)c : '?');
    return text;
}

const PeResource* pe_find(const std::vector<PeResource>& resources, const PeResId& type, const PeResId& name)
{
    for (const PeResource& r : resources)
        if (pe_id_equal(r.type, type) && pe_id_equal(r.name, name))
            return &r;
    return nullptr;
}

bool pe_remove(std::vector<PeResource>* resources, const PeResId& type, const PeResId& name)
{
    size_t before = resources->size();
    resources->erase(std::remove_if(resources->begin(), resources->end(),
                                    [&](const PeResource& r) {
                                        return pe_id_equal(r.type, type) && pe_id_equal(r.name, name);
                                    }),
                     resources->end());
    return resources->size() != before;
}

void pe_set(std::vector<PeResource>* resources, const PeResource& resource)
{
    pe_remove(resources, resource.type, resource.name);
    resources->push_back(resource);
}

uint16_t pe_language(const std::vector<PeResource>& resources)
{
    return resources.empty() ? (uint16_t)PE_LANGUAGE_EN_US : resources.front().language;
}
