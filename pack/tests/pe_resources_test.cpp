// The PE resource writer on the real players of the two Windows builds (PE32 and PE32+): reading
// their resources, writing edits and reading them back, objdump's view of the results, rewriting
// in place, and a table of damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "pack/pe_resources.h"

namespace {

struct Player {
    const char* name;
    const char* path;
    bool pe32_plus;
};

void PrintTo(const Player& p, std::ostream* os) { *os << p.name; }

const Player PLAYERS[] = {
    {"win32", VORLO_PLAYER_WIN32, false},
    {"win64", VORLO_PLAYER_WIN64, true},
};

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

uint32_t get32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (uint8_t)(v >> (8 * i));
}

std::string describe(const PeResource& r)
{
    return pe_id_text(r.type) + "/" + pe_id_text(r.name) + "/" + std::to_string(r.language) + " (" +
           std::to_string(r.data.size()) + " bytes)";
}

// Both lists in tree order, compared entry by entry with the entry named on failure.
void expect_same_resources(std::vector<PeResource> want, std::vector<PeResource> got)
{
    auto less = [](const PeResource& a, const PeResource& b) {
        if (!pe_id_equal(a.type, b.type))
            return pe_id_less(a.type, b.type);
        if (!pe_id_equal(a.name, b.name))
            return pe_id_less(a.name, b.name);
        return a.language < b.language;
    };
    std::sort(want.begin(), want.end(), less);
    std::sort(got.begin(), got.end(), less);
    ASSERT_EQ(want.size(), got.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(describe(want[i]), describe(got[i])) << "entry " << i;
        EXPECT_TRUE(want[i].data == got[i].data) << "data of " << describe(want[i]);
    }
}

PeResource make(const PeResId& type, const PeResId& name, size_t size, uint8_t seed)
{
    PeResource r;
    r.type = type;
    r.name = name;
    r.language = PE_LANGUAGE_EN_US;
    for (size_t i = 0; i < size; ++i)
        r.data.push_back((uint8_t)(seed + i * 7 + (i >> 8)));
    return r;
}

struct Loaded {
    std::vector<uint8_t> bytes;
    PeImage image;
    std::vector<PeResource> resources;
};

// Parses and reads a file; the statuses go to the failure message.
::testing::AssertionResult load(const std::vector<uint8_t>& bytes, Loaded* out)
{
    out->bytes = bytes;
    int status = pe_parse(bytes, &out->image);
    if (status == PE_OK)
        status = pe_read_resources(out->image, &out->resources);
    if (status != PE_OK)
        return ::testing::AssertionFailure() << "status " << status << ": " << pe_status_text(status);
    return ::testing::AssertionSuccess();
}

class PePlayer : public ::testing::TestWithParam<Player> {
protected:
    void SetUp() override
    {
        std::vector<uint8_t> bytes = read_bytes(GetParam().path);
        if (bytes.empty())
            GTEST_SKIP() << GetParam().path << " is not built (make " << GetParam().name << ")";
        ASSERT_TRUE(load(bytes, &player));
    }
    Loaded player;
};

TEST_P(PePlayer, ReadsThePlayersOwnResources)
{
    EXPECT_EQ(GetParam().pe32_plus, player.image.pe32_plus);
    struct Want {
        PeResId type, name;
    };
    const Want wants[] = {
        {pe_id(5), pe_id(1001)}, {pe_id(5), pe_id(1002)}, {pe_id(PE_RT_GROUP_ICON), pe_name("A")},
        {pe_id(PE_RT_GROUP_ICON), pe_id(1004)}, {pe_id(PE_RT_GROUP_ICON), pe_id(1005)}, {pe_id(12), pe_id(1003)},
    };
    for (const Want& w : wants) {
        const PeResource* r = pe_find(player.resources, w.type, w.name);
        ASSERT_NE(nullptr, r) << pe_id_text(w.type) << "/" << pe_id_text(w.name);
        EXPECT_EQ(PE_LANGUAGE_EN_US, r->language) << pe_id_text(w.type) << "/" << pe_id_text(w.name);
        EXPECT_FALSE(r->data.empty());
    }
    EXPECT_EQ(PE_LANGUAGE_EN_US, pe_language(player.resources));
    // The linker stores the checksum: ours must agree with it.
    size_t checksum_at = player.image.optional_offset + 64;
    EXPECT_EQ(get32(player.bytes, checksum_at), pe_checksum(player.bytes.data(), player.bytes.size(), checksum_at));
}

struct Edit {
    const char* name;
    std::vector<PeResource> set;   // set (replace or add)
    PeResId remove_type;           // removed first when remove is true
    PeResId remove_name;
    bool remove;
};

std::vector<Edit> edits()
{
    std::vector<Edit> list;
    list.push_back(Edit{"quiz resources added",
                        {make(pe_name("PATCH"), pe_id(104), 35, 1), make(pe_name("PATCH"), pe_id(105), 12, 2),
                         make(pe_name("IMG"), pe_id(401), 5000, 3), make(pe_name("IMG"), pe_id(10401), 77, 4)},
                        PeResId(), PeResId(), false});
    list.push_back(Edit{"dialog replaced", {make(pe_id(5), pe_id(1001), 60, 5)}, PeResId(), PeResId(), false});
    list.push_back(Edit{"grown by 200 KB", {make(pe_id(PE_RT_RCDATA), pe_id(401), 200000, 6)}, PeResId(), PeResId(), false});
    list.push_back(Edit{"named type and name", {make(pe_name("zztype"), pe_name("Entry"), 9, 7)}, PeResId(), PeResId(), false});
    list.push_back(Edit{"empty data", {make(pe_id(PE_RT_RCDATA), pe_id(7), 0, 0)}, PeResId(), PeResId(), false});
    list.push_back(Edit{"dialog removed", {}, pe_id(5), pe_id(1002), true});
    return list;
}

std::vector<PeResource> apply_edit(std::vector<PeResource> list, const Edit& e)
{
    if (e.remove) {
        EXPECT_TRUE(pe_remove(&list, e.remove_type, e.remove_name)) << e.name;
    }
    for (const PeResource& r : e.set)
        pe_set(&list, r);
    return list;
}

// Header facts every written file must show: the directory at the last section, sizes that
// cover it, a checksum that matches.
void expect_consistent(const Loaded& l)
{
    const PeSection& last = l.image.sections.back();
    EXPECT_STREQ(".rsrc", last.name);
    EXPECT_EQ(last.virtual_address, l.image.resource_rva);
    EXPECT_EQ(last.virtual_size, l.image.resource_size);
    EXPECT_EQ(0u, last.raw_size % l.image.file_alignment);
    EXPECT_EQ((size_t)last.raw_offset + last.raw_size, l.bytes.size());
    uint32_t size_of_image = get32(l.bytes, l.image.optional_offset + 56);
    EXPECT_EQ(0u, size_of_image % l.image.section_alignment);
    EXPECT_GE(size_of_image, last.virtual_address + last.virtual_size);
    EXPECT_LT(size_of_image - l.image.section_alignment, last.virtual_address + last.virtual_size);
    size_t checksum_at = l.image.optional_offset + 64;
    EXPECT_EQ(get32(l.bytes, checksum_at), pe_checksum(l.bytes.data(), l.bytes.size(), checksum_at));
}

std::string run(const std::string& command, int* status)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n;
    while (p && (n = fread(buffer, 1, sizeof buffer, p)) > 0)
        out.append(buffer, n);
    *status = p ? pclose(p) : -1;
    return out;
}

TEST_P(PePlayer, WritesEditsThatReadBackAndThatObjdumpAccepts)
{
    for (const Edit& e : edits()) {
        SCOPED_TRACE(e.name);
        std::vector<PeResource> want = apply_edit(player.resources, e);
        std::vector<uint8_t> out;
        ASSERT_EQ(PE_OK, pe_write_resources(player.image, want, &out));
        Loaded written;
        ASSERT_TRUE(load(out, &written));
        expect_same_resources(want, written.resources);
        // The player's .rsrc is followed by .reloc: the new tree is a new last section.
        EXPECT_EQ(player.image.sections.size() + 1, written.image.sections.size());
        expect_consistent(written);

        std::string path = ::testing::TempDir() + "pe_written_" + std::to_string(getpid()) + GetParam().name + ".exe";
        write_bytes(path, out);
        int status = 0;
        std::string listing = run("x86_64-w64-mingw32-objdump -p '" + path + "' 2>&1", &status);
        EXPECT_EQ(0, status) << listing.substr(0, 2000);
        EXPECT_NE(std::string::npos, listing.find("The .rsrc Resource Directory section")) << listing.substr(0, 2000);
        // One leaf line per resource, and the names in the tree.
        size_t leaves = 0;
        for (size_t at = listing.find("Leaf: Addr:"); at != std::string::npos; at = listing.find("Leaf: Addr:", at + 1))
            ++leaves;
        EXPECT_EQ(want.size(), leaves);
        for (const PeResource& r : want) {
            for (const PeResId* id : {&r.type, &r.name}) {
                if (id->is_name) {
                    EXPECT_NE(std::string::npos, listing.find("]: " + pe_id_text(*id) + ","))
                        << "objdump does not list the name " << pe_id_text(*id);
                }
            }
        }
        std::remove(path.c_str());
    }
}

TEST_P(PePlayer, RewritesInPlaceOnceTheTreeIsTheLastSection)
{
    std::vector<PeResource> first = apply_edit(player.resources, edits()[0]);
    std::vector<uint8_t> once, twice, shrunk;
    ASSERT_EQ(PE_OK, pe_write_resources(player.image, first, &once));
    Loaded l1;
    ASSERT_TRUE(load(once, &l1));
    struct Case {
        const char* name;
        size_t size;
    };
    const Case cases[] = {{"grows", 300000}, {"shrinks", 10}, {"same size", 5000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<PeResource> want = first;
        pe_set(&want, make(pe_name("IMG"), pe_id(401), c.size, 9));
        ASSERT_EQ(PE_OK, pe_write_resources(l1.image, want, &twice));
        Loaded l2;
        ASSERT_TRUE(load(twice, &l2));
        EXPECT_EQ(l1.image.sections.size(), l2.image.sections.size());
        EXPECT_EQ(l1.image.resource_rva, l2.image.resource_rva);
        expect_same_resources(want, l2.resources);
        expect_consistent(l2);
        // Everything before the resource section is the first file's, but the header fields
        // the rewrite owns.
        size_t rsrc_at = l1.image.sections.back().raw_offset;
        ASSERT_GE(twice.size(), rsrc_at);
        EXPECT_TRUE(std::equal(once.begin() + 0x400, once.begin() + rsrc_at, twice.begin() + 0x400));
    }
}

INSTANTIATE_TEST_SUITE_P(Players, PePlayer, ::testing::ValuesIn(PLAYERS),
                         [](const ::testing::TestParamInfo<Player>& i) { return std::string(i.param.name); });

// --- damaged and foreign files -------------------------------------------------------------

struct Damage {
    const char* name;
    void (*apply)(std::vector<uint8_t>& b, const PeImage& im);
    int status;   // the first failing status of parse, read, write
};

uint32_t resource_root(const PeImage& im)
{
    for (const PeSection& s : im.sections)
        if (s.virtual_address == im.resource_rva)
            return s.raw_offset;
    return 0;
}

const Damage DAMAGES[] = {
    {"empty file", [](std::vector<uint8_t>& b, const PeImage&) { b.clear(); }, PE_NOT_MZ},
    {"cut inside the DOS header", [](std::vector<uint8_t>& b, const PeImage&) { b.resize(0x3F); }, PE_NOT_MZ},
    {"no MZ", [](std::vector<uint8_t>& b, const PeImage&) { b[0] = 'X'; }, PE_NOT_MZ},
    {"e_lfanew past the end", [](std::vector<uint8_t>& b, const PeImage&) { put32(b, 0x3C, 0xFFFFFFF0u); }, PE_NO_PE_HEADER},
    {"no PE signature", [](std::vector<uint8_t>& b, const PeImage& im) { b[im.coff_offset - 4] = 'Q'; }, PE_NO_PE_HEADER},
    {"cut inside the COFF header", [](std::vector<uint8_t>& b, const PeImage& im) { b.resize(im.coff_offset + 10); }, PE_NO_PE_HEADER},
    {"unknown optional magic", [](std::vector<uint8_t>& b, const PeImage& im) { b[im.optional_offset] = 0x99; }, PE_BAD_OPTIONAL},
    {"optional header size too small", [](std::vector<uint8_t>& b, const PeImage& im) { b[im.coff_offset + 16] = 40; b[im.coff_offset + 17] = 0; }, PE_BAD_OPTIONAL},
    {"two data directories", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, im.directory_offset - 4, 2); }, PE_BAD_OPTIONAL},
    {"zero file alignment", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, im.optional_offset + 36, 0); }, PE_BAD_OPTIONAL},
    {"cut in the middle", [](std::vector<uint8_t>& b, const PeImage&) { b.resize(b.size() / 2); }, PE_BAD_SECTIONS},
    {"too many sections", [](std::vector<uint8_t>& b, const PeImage& im) { b[im.coff_offset + 2] = 0xFF; b[im.coff_offset + 3] = 0xFF; }, PE_BAD_SECTIONS},
    {"resource RVA outside every section", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, im.directory_offset + 16, 0x7FFF0000); }, PE_BAD_RESOURCES},
    {"root directory counts past the section", [](std::vector<uint8_t>& b, const PeImage& im) { b[resource_root(im) + 14] = 0xFF; b[resource_root(im) + 15] = 0x7F; }, PE_BAD_RESOURCES},
    {"type entry loops to the root", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, resource_root(im) + 20, 0x80000000u); }, PE_BAD_RESOURCES},
    {"type entry is a leaf", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, resource_root(im) + 20, 0x10); }, PE_BAD_RESOURCES},
    {"name string out of the section", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, resource_root(im) + 16, 0xFFFFFF00u); }, PE_BAD_RESOURCES},
    {"symbol table present", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, im.coff_offset + 8, 0x1000); put32(b, im.coff_offset + 12, 3); }, PE_SYMBOLS},
    {"signed", [](std::vector<uint8_t>& b, const PeImage& im) { put32(b, im.directory_offset + 32, 0x1000); put32(b, im.directory_offset + 36, 0x80); }, PE_SIGNED},
    {"data after the last section", [](std::vector<uint8_t>& b, const PeImage&) { b.resize(b.size() + 0x1000, 0xAB); }, PE_TRAILING_DATA},
};

int first_failure(const std::vector<uint8_t>& bytes)
{
    PeImage im;
    std::vector<PeResource> resources;
    std::vector<uint8_t> out;
    int status = pe_parse(bytes, &im);
    if (status == PE_OK)
        status = pe_read_resources(im, &resources);
    if (status == PE_OK)
        status = pe_write_resources(im, resources, &out);
    return status;
}

class PeDamaged : public ::testing::TestWithParam<Player> {};

TEST_P(PeDamaged, EachDamageHasItsOwnStatus)
{
    std::vector<uint8_t> bytes = read_bytes(GetParam().path);
    if (bytes.empty())
        GTEST_SKIP() << GetParam().path << " is not built";
    PeImage im;
    ASSERT_EQ(PE_OK, pe_parse(bytes, &im));
    for (const Damage& d : DAMAGES) {
        std::vector<uint8_t> damaged = bytes;
        d.apply(damaged, im);
        int status = first_failure(damaged);
        EXPECT_EQ(d.status, status) << d.name << ": got '" << pe_status_text(status) << "'";
    }
}

// Every cut of the file ends in a status, never a read past its end (the sanitizers watch).
TEST_P(PeDamaged, EveryCutIsRefusedWithoutReadingPastTheEnd)
{
    std::vector<uint8_t> bytes = read_bytes(GetParam().path);
    if (bytes.empty())
        GTEST_SKIP() << GetParam().path << " is not built";
    for (size_t cut = 0; cut < bytes.size(); cut += cut < 0x1000 ? 7 : 997) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + cut);
        EXPECT_NE(PE_OK, first_failure(part)) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(Players, PeDamaged, ::testing::ValuesIn(PLAYERS),
                         [](const ::testing::TestParamInfo<Player>& i) { return std::string(i.param.name); });

TEST(PeChecksum, FoldsCarriesAndAddsTheLength)
{
    struct Case {
        std::vector<uint8_t> bytes;
        size_t checksum_at;
        uint32_t want;
    };
    const Case cases[] = {
        {{}, 100, 0},
        {{0x01, 0x02}, 100, 0x0201 + 2},
        {{0xFF, 0xFF, 0x02, 0x00}, 100, 0x0002 + 4},        // 0xFFFF + 2 folds to 2
        {{0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x03}, 2, 1 + 3 + 7},  // the field is skipped, odd tail
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, pe_checksum(c.bytes.data(), c.bytes.size(), c.checksum_at)) << c.bytes.size() << " bytes";
}

}  // namespace
