// The PE resource writer against the platform's own: the same resources written into copies of
// the players with pe_write_resources and with BeginUpdateResourceA / UpdateResourceA /
// EndUpdateResourceA must give the same resource tree and data, and the platform's loader must
// find every resource of ours.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "pack/pe_resources.h"

namespace {

struct Player {
    const char* name;
    const char* path;
};

void PrintTo(const Player& p, std::ostream* os) { *os << p.name; }

const Player PLAYERS[] = {{"win32", VORLO_PLAYER_WIN32}, {"win64", VORLO_PLAYER_WIN64}};

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    return (bool)out;
}

struct Entry {
    const char* type;   // a name, or null for type_id
    uint16_t type_id;
    const char* name;   // a name, or null for id
    uint16_t id;
    size_t size;
};

PeResource resource_of(const Entry& e, uint8_t seed)
{
    PeResource r;
    r.type = e.type ? pe_name(e.type) : pe_id(e.type_id);
    r.name = e.name ? pe_name(e.name) : pe_id(e.id);
    r.language = PE_LANGUAGE_EN_US;
    for (size_t i = 0; i < e.size; ++i)
        r.data.push_back((uint8_t)(seed * 31 + i * 13 + (i >> 9)));
    return r;
}

struct Case {
    const char* name;
    std::vector<Entry> entries;
};

const Case CASES[] = {
    {"quiz replaced and pictures added", {{"PATCH", 0, nullptr, 104, 35}, {"PATCH", 0, nullptr, 105, 20},
                                          {"IMG", 0, nullptr, 401, 3000}, {"IMG", 0, nullptr, 10401, 2500},
                                          {nullptr, PE_RT_RCDATA, nullptr, 402, 900}}},
    {"grown by 200 KB", {{nullptr, PE_RT_RCDATA, nullptr, 301, 200000}}},
    {"dialog template replaced", {{nullptr, 5, nullptr, 1001, 64}}},
    {"named type and name", {{"ZZTYPE", 0, "ENTRY", 0, 17}, {"ZZTYPE", 0, nullptr, 3, 5}}},
};

std::string describe(const PeResource& r)
{
    return pe_id_text(r.type) + "/" + pe_id_text(r.name) + "/" + std::to_string(r.language) + " (" +
           std::to_string(r.data.size()) + " bytes)";
}

bool tree_less(const PeResource& a, const PeResource& b)
{
    if (!pe_id_equal(a.type, b.type))
        return pe_id_less(a.type, b.type);
    if (!pe_id_equal(a.name, b.name))
        return pe_id_less(a.name, b.name);
    return a.language < b.language;
}

::testing::AssertionResult read_tree(const std::string& path, std::vector<PeResource>* out)
{
    PeImage image;
    int status = pe_parse(read_bytes(path), &image);
    if (status == PE_OK)
        status = pe_read_resources(image, out);
    if (status != PE_OK)
        return ::testing::AssertionFailure() << path << ": " << pe_status_text(status);
    std::sort(out->begin(), out->end(), tree_less);
    return ::testing::AssertionSuccess();
}

bool platform_update(const std::string& path, const std::vector<PeResource>& edits)
{
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (!update)
        return false;
    for (const PeResource& r : edits) {
        std::string type = pe_id_text(r.type), name = pe_id_text(r.name);
        if (!UpdateResourceA(update, r.type.is_name ? type.c_str() : MAKEINTRESOURCEA(r.type.id),
                             r.name.is_name ? name.c_str() : MAKEINTRESOURCEA(r.name.id), r.language,
                             (void*)r.data.data(), (DWORD)r.data.size())) {
            EndUpdateResourceA(update, TRUE);
            return false;
        }
    }
    return EndUpdateResourceA(update, FALSE) != 0;
}

// Every resource of the list as the platform's loader finds it in the file.
void expect_loader_finds(const std::string& path, const std::vector<PeResource>& resources)
{
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << path << ": error " << GetLastError();
    for (const PeResource& r : resources) {
        std::string type = pe_id_text(r.type), name = pe_id_text(r.name);
        HRSRC found = FindResourceExA(module, r.type.is_name ? type.c_str() : MAKEINTRESOURCEA(r.type.id),
                                      r.name.is_name ? name.c_str() : MAKEINTRESOURCEA(r.name.id), r.language);
        if (!found) {
            ADD_FAILURE() << "the loader does not find " << describe(r);
            continue;
        }
        DWORD size = SizeofResource(module, found);
        const uint8_t* data = (const uint8_t*)LockResource(LoadResource(module, found));
        ASSERT_EQ(r.data.size(), size) << describe(r);
        EXPECT_TRUE(size == 0 || std::equal(r.data.begin(), r.data.end(), data)) << "data of " << describe(r);
    }
    FreeLibrary(module);
}

class PeOracle : public ::testing::TestWithParam<Player> {};

TEST_P(PeOracle, SameTreeAsThePlatformsUpdate)
{
    std::vector<uint8_t> player = read_bytes(GetParam().path);
    if (player.empty())
        GTEST_SKIP() << GetParam().path << " is not built";
    PeImage image;
    std::vector<PeResource> original;
    ASSERT_EQ(PE_OK, pe_parse(player, &image));
    ASSERT_EQ(PE_OK, pe_read_resources(image, &original));
    std::string ours = ::testing::TempDir() + "oracle_ours_" + std::to_string(GetCurrentProcessId()) + GetParam().name + ".exe";
    std::string theirs = ::testing::TempDir() + "oracle_platform_" + std::to_string(GetCurrentProcessId()) + GetParam().name + ".exe";
    uint8_t seed = 1;
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.name);
        std::vector<PeResource> edits, want = original;
        for (const Entry& e : c.entries)
            edits.push_back(resource_of(e, seed++));
        for (const PeResource& r : edits)
            pe_set(&want, r);
        std::vector<uint8_t> out;
        ASSERT_EQ(PE_OK, pe_write_resources(image, want, &out));
        ASSERT_TRUE(write_bytes(ours, out));
        ASSERT_TRUE(write_bytes(theirs, player));
        ASSERT_TRUE(platform_update(theirs, edits)) << "error " << GetLastError();

        std::vector<PeResource> tree_ours, tree_theirs;
        ASSERT_TRUE(read_tree(ours, &tree_ours));
        ASSERT_TRUE(read_tree(theirs, &tree_theirs));
        ASSERT_EQ(tree_theirs.size(), tree_ours.size());
        for (size_t i = 0; i < tree_ours.size(); ++i) {
            EXPECT_EQ(describe(tree_theirs[i]), describe(tree_ours[i])) << "entry " << i;
            EXPECT_TRUE(tree_theirs[i].data == tree_ours[i].data) << "data of " << describe(tree_ours[i]);
        }
        expect_loader_finds(ours, want);
    }
    DeleteFileA(ours.c_str());
    DeleteFileA(theirs.c_str());
}

INSTANTIATE_TEST_SUITE_P(Players, PeOracle, ::testing::ValuesIn(PLAYERS),
                         [](const ::testing::TestParamInfo<Player>& i) { return std::string(i.param.name); });

}  // namespace
