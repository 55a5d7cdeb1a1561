// Conformance on the PNG suite: every file that libpng decodes (CRCs ignored, as this decoder
// never checks them) gives the DIB of the conversion table, built here from libpng's samples;
// the corrupt files fail at the right step with the right code.
#include "picture/png.h"
#include "picture/tests/png_reference.h"
#include "picture/tests/png_test_decode.h"
#include "picture/tests/png_test_writer.h"

#include <gtest/gtest.h>

#include <ostream>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

// The scalar build of the decoder runs the same cases under another prefix.
#ifndef PNG_SUITE_PREFIX
#define PNG_SUITE_PREFIX Suite
#endif
#define PNG_INSTANTIATE(prefix, ...) INSTANTIATE_TEST_SUITE_P(prefix, __VA_ARGS__)

namespace {

const std::string suite_dir = PNG_SUITE_DIR;

struct CorruptFile {
    const char* name;
    int failed_step;
    int32_t error;
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const CorruptFile& c, std::ostream* os) { *os << c.name; }

// The suite's corrupt files that this decoder rejects. xcsn0g01 (IDAT CRC) and xhdn0g08 (IHDR
// CRC) are damaged only in their CRCs, which are not verified: they must decode like the rest.
const CorruptFile corrupt_files[] = {
    {"xc1n0g08", PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED},    // colour type 1
    {"xc9n2c08", PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED},    // colour type 9
    {"xcrn0g04", PNG_STEP_OPEN, PNG_ERROR_CORRUPT},        // signature with CR bytes added
    {"xd0n2c08", PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED},    // bit depth 0
    {"xd3n2c08", PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED},    // bit depth 3
    {"xd9n2c08", PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED},    // bit depth 99
    {"xdtn0g01", PNG_STEP_INFLATE, PNG_ERROR_CORRUPT},     // no IDAT chunk
    {"xlfn0g04", PNG_STEP_OPEN, PNG_ERROR_CORRUPT},        // signature with LF bytes added
    {"xs1n0g01", PNG_STEP_OPEN, PNG_ERROR_CORRUPT},        // signature byte 1 changed
    {"xs2n0g01", PNG_STEP_OPEN, PNG_ERROR_CORRUPT},        // signature byte 2 changed
    {"xs4n0g01", PNG_STEP_OPEN, PNG_ERROR_CORRUPT},        // signature byte 4 changed
    {"xs7n0g01", PNG_STEP_OPEN, PNG_ERROR_CORRUPT},        // signature byte 7 changed
};

bool is_listed_corrupt(const std::string& name)
{
    for (const CorruptFile& c : corrupt_files)
        if (name == c.name) return true;
    return false;
}

std::vector<std::string> valid_files()
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(suite_dir.c_str())) {
        while (const dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() < 5 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
            name.resize(name.size() - 4);
            if (!is_listed_corrupt(name)) names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string table_hex(const uint8_t* table, size_t bytes) { return hex_of(table, bytes); }

class PngSuiteValid : public testing::TestWithParam<std::string> {};

TEST_P(PngSuiteValid, DecodesToTheReferenceDib)
{
    const std::string path = suite_dir + "/" + GetParam() + ".png";
    const Bytes file = read_file(path);
    ASSERT_FALSE(file.empty()) << "cannot read " << path;
    PngReference ref;
    ASSERT_TRUE(png_reference_decode(file.data(), file.size(), &ref)) << "libpng: " << ref.error;
    const PngDecoded d = png_decode_bytes(file);
    ASSERT_EQ(d.failed_step, PNG_STEP_DONE) << "error 0x" << std::hex << d.error;
    EXPECT_EQ(d.state.width, ref.width);
    EXPECT_EQ(d.state.height, ref.height);
    EXPECT_EQ(d.format.bit_count, ref.bit_count);
    EXPECT_EQ(d.format.stride, ref.stride);
    EXPECT_EQ(d.format.colours_used, ref.colours_used);
    EXPECT_EQ(table_hex(&d.format.colour_table[0][0], ref.colour_table.size()),
              table_hex(ref.colour_table.data(), ref.colour_table.size()));
    ASSERT_EQ(d.pixels.size(), ref.pixels.size());
    for (size_t i = 0; i < ref.pixels.size(); i++) {
        if (d.pixels[i] == ref.pixels[i]) continue;
        ADD_FAILURE() << "first difference at DIB byte " << i << " (row " << i / ref.stride << ", byte "
                      << i % ref.stride << "): got " << int(d.pixels[i]) << ", libpng gives " << int(ref.pixels[i]);
        break;
    }
}

PNG_INSTANTIATE(PNG_SUITE_PREFIX, PngSuiteValid, testing::ValuesIn(valid_files()),
                         [](const testing::TestParamInfo<std::string>& i) { return i.param; });

#ifndef PNG_SUITE_SCALAR
TEST(PngSuiteFiles, ArePresent)
{
    EXPECT_GT(valid_files().size(), 100u) << "the PNG suite is missing from " << suite_dir;
}
#endif

class PngSuiteCorrupt : public testing::TestWithParam<CorruptFile> {};

TEST_P(PngSuiteCorrupt, FailsWithItsCode)
{
    const CorruptFile& c = GetParam();
    const Bytes file = read_file(suite_dir + "/" + c.name + ".png");
    ASSERT_FALSE(file.empty()) << "cannot read " << c.name;
    PngReference ref;
    EXPECT_FALSE(png_reference_decode(file.data(), file.size(), &ref)) << "libpng accepts " << c.name;
    const PngDecoded d = png_decode_bytes(file);
    EXPECT_EQ(d.failed_step, c.failed_step) << "error 0x" << std::hex << d.error;
    EXPECT_EQ(d.error, c.error) << "failed at step " << d.failed_step;
}

PNG_INSTANTIATE(PNG_SUITE_PREFIX, PngSuiteCorrupt, testing::ValuesIn(corrupt_files),
                         [](const testing::TestParamInfo<CorruptFile>& i) { return std::string(i.param.name); });

}  // namespace
