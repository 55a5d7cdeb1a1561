#include "quiz/lzw.h"

#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Code {
    uint32_t value;
    int width;
};

// Packs codes most significant bit first and pads the last byte with zero bits.
std::vector<uint8_t> pack(const std::vector<Code>& codes)
{
    std::vector<uint8_t> bytes;
    uint64_t bits = 0;
    int count = 0;
    for (Code code : codes) {
        for (int i = code.width - 1; i >= 0; --i) {
            bits = bits << 1 | (i < 32 ? code.value >> i & 1 : 0);
            if (++count % 8 == 0)
                bytes.push_back(static_cast<uint8_t>(bits));
        }
    }
    if (count % 8 != 0)
        bytes.push_back(static_cast<uint8_t>(bits << (8 - count % 8)));
    return bytes;
}

struct Decoded {
    int status;
    std::string out;
};

// lzw_decode with its buffer checked and released: the reported length is the produced bytes
// plus 2, and nothing after them is written.
Decoded decode(const std::vector<uint8_t>& in)
{
    uint8_t* out = nullptr;
    int32_t out_len = -1;
    const int status = lzw_decode(in.data(), static_cast<int32_t>(in.size()), &out, &out_len);
    Decoded result{status, {}};
    EXPECT_NE(out, nullptr);
    EXPECT_GE(out_len, 2);
    if (!out || out_len < 2 || out_len - 2 > LZW_OUTPUT_CAPACITY) {
        std::free(out);
        return result;
    }
    result.out.assign(reinterpret_cast<char*>(out), static_cast<size_t>(out_len - 2));
    const uint8_t* tail = out + (out_len - 2);
    const uint8_t* end = out + LZW_OUTPUT_CAPACITY;
    EXPECT_TRUE(std::all_of(tail, end, [](uint8_t b) { return b == 0; }))
        << "the output buffer past the produced bytes is not zero-filled";
    std::free(out);
    return result;
}

// A plain decoder of the format, to check lzw_decode against: strings in a vector, bits read
// one at a time. A failed read gathers every bit left; a width above 32 gathers none.
Decoded reference_decode(const std::vector<uint8_t>& in)
{
    const size_t total_bits = in.size() * 8;
    size_t bit_pos = 0;
    auto read = [&](int width, uint32_t* code) {
        uint64_t value = 0;
        bool ok = width <= 32;
        for (int i = 0; ok && i < width; ++i, ++bit_pos) {
            if (bit_pos == total_bits) {
                ok = false;
                break;
            }
            value = value << 1 | (in[bit_pos / 8] >> (7 - bit_pos % 8) & 1);
        }
        *code = static_cast<uint32_t>(value);
        return ok;
    };
    uint32_t code = 0;
    if (!read(9, &code))
        return {LZW_NO_FIRST_CODE, ""};
    std::vector<std::string> dict(4096);
    for (int b = 0; b < 256; ++b)
        dict[b] = std::string(1, static_cast<char>(b));
    std::string pending(1, static_cast<char>(code & 0xFF));
    std::string out;
    auto emit = [&] {
        if (out.size() + pending.size() > 120000)
            return false;
        out += pending;
        return true;
    };
    uint32_t next_free = 259;
    int width = 9;
    for (;;) {
        if (!read(width, &code) && code != 256)
            return {LZW_BAD_CODE, out};
        if (code == 256)
            return {emit() ? LZW_OK : LZW_BAD_CODE, out};
        if (code == 257) {
            ++width;
        } else if (code == 258) {
            next_free = 259;
            width = 9;
        } else {
            if (code > next_free || next_free > 4095 || pending.size() >= 4096)
                return {LZW_BAD_CODE, out};
            const char first = code == next_free ? pending[0] : dict[code][0];
            dict[next_free++] = pending + first;
            if (!emit())
                return {LZW_BAD_CODE, out};
            pending = dict[code];
        }
    }
}

std::vector<uint8_t> hex(std::initializer_list<uint8_t> bytes)
{
    return bytes;
}

// Codes 65 (literal), then n widenings, then the given codes at the widened width.
std::vector<Code> widened(int n, std::vector<uint32_t> codes)
{
    std::vector<Code> out{{65, 9}};
    int width = 9;
    for (int i = 0; i < n; ++i)
        out.push_back({257, width++});
    for (uint32_t c : codes)
        out.push_back({c, width});
    return out;
}

// A stream whose string keeps growing across resets: every code is the next free one, so each
// definition is the pending string plus its own first byte.
std::vector<uint8_t> growing_string_stream()
{
    std::vector<Code> codes{{'A', 9}};
    uint32_t next_free = 259;
    for (int i = 0; i < 600; ++i) {
        if (i % 100 == 99) {
            codes.push_back({258, 9});
            next_free = 259;
        }
        codes.push_back({next_free++, 9});
    }
    codes.push_back({256, 9});
    return pack(codes);
}

// n literals with the resets that keep the dictionary within 4095, then the end code.
std::vector<uint8_t> literal_stream(int n, std::vector<uint8_t>* plain)
{
    std::mt19937 rng(7);
    std::vector<Code> codes;
    uint32_t next_free = 259;
    for (int i = 0; i < n; ++i) {
        if (i > 0 && next_free > 4095) {
            codes.push_back({258, 9});
            next_free = 259;
        }
        const uint8_t byte = static_cast<uint8_t>(rng());
        plain->push_back(byte);
        codes.push_back({byte, 9});
        next_free += i > 0;
    }
    codes.push_back({256, 9});
    return pack(codes);
}

struct DecodeCase {
    const char* name;
    std::vector<uint8_t> in;
    int status;
    std::string out;
};

const std::vector<DecodeCase>& decode_cases()
{
    static const std::vector<DecodeCase> cases = {
        {"definition_used_once", hex({0x20, 0x90, 0xA0, 0x70, 0x00}), LZW_OK, "ABAB"},
        {"code_equal_to_next_free", hex({0x20, 0xC0, 0xE0, 0x00}), LZW_OK, "AAA"},
        {"empty_input", {}, LZW_NO_FIRST_CODE, ""},
        {"input_shorter_than_first_code", hex({0x41}), LZW_NO_FIRST_CODE, ""},
        {"first_code_256_is_byte_0", pack({{256, 9}, {65, 9}, {256, 9}}), LZW_OK, std::string("\0A", 2)},
        {"first_code_257_is_byte_1", pack({{257, 9}, {65, 9}, {256, 9}}), LZW_OK, "\x01" "A"},
        {"first_code_258_is_byte_2", pack({{258, 9}, {65, 9}, {256, 9}}), LZW_OK, "\x02" "A"},
        {"first_code_keeps_low_8_bits", pack({{300, 9}, {256, 9}}), LZW_OK, ","},
        {"code_above_next_free", pack({{65, 9}, {66, 9}, {261, 9}, {256, 9}}), LZW_BAD_CODE, "A"},
        {"no_end_code", pack({{65, 9}, {66, 9}}), LZW_BAD_CODE, "A"},
        {"truncated_code_reading_256_ends", pack({{65, 9}, {257, 9}, {257, 10}, {66, 11}, {1, 1}, {0, 8}}),
         LZW_OK, "AB"},
        {"two_widenings_make_11_bits", pack(widened(2, {66, 259, 256})), LZW_OK, "ABAB"},
        {"reset_back_to_9_bits_keeps_pending",
         pack({{65, 9}, {257, 9}, {66, 10}, {258, 10}, {67, 9}, {259, 9}, {256, 9}}), LZW_OK, "ABCBC"},
        {"widest_code_32_bits", pack(widened(23, {66, 256})), LZW_OK, "AB"},
        {"width_above_32_fails", pack(widened(24, {66, 256})), LZW_BAD_CODE, ""},
        {"string_growing_across_resets_stops_at_output_limit", growing_string_stream(), LZW_BAD_CODE,
         std::string(119805, 'A')},
    };
    return cases;
}

// Names the case in test listings and failure messages instead of dumping its bytes.
void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class LzwDecodeCase : public testing::TestWithParam<DecodeCase> {};

TEST_P(LzwDecodeCase, StatusAndOutput)
{
    const DecodeCase& c = GetParam();
    const Decoded got = decode(c.in);
    EXPECT_EQ(got.status, c.status) << c.name;
    EXPECT_EQ(got.out.size(), c.out.size()) << c.name;
    EXPECT_TRUE(got.out == c.out) << c.name << ": got " << testing::PrintToString(got.out.substr(0, 40));
    const Decoded ref = reference_decode(c.in);
    EXPECT_EQ(ref.status, c.status) << c.name << ": the reference decoder disagrees with the table";
    EXPECT_TRUE(ref.out == c.out) << c.name << ": the reference decoder disagrees with the table";
}

INSTANTIATE_TEST_SUITE_P(Edges, LzwDecodeCase, testing::ValuesIn(decode_cases()),
                         [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(LzwDecode, OutputLimitIsExactly120000Bytes)
{
    for (int n : {120000, 120001}) {
        std::vector<uint8_t> plain;
        const std::vector<uint8_t> in = literal_stream(n, &plain);
        // Also an input above 65535 bytes: a reader that wrapped its length at 16 bits would
        // stop early and miss the end code.
        ASSERT_GT(in.size(), 65536u);
        const Decoded got = decode(in);
        EXPECT_EQ(got.status, n <= 120000 ? LZW_OK : LZW_BAD_CODE) << n << " literals";
        EXPECT_TRUE(got.out == std::string(plain.begin(), plain.begin() + std::min(n, 120000)))
            << n << " literals: got " << got.out.size() << " bytes";
    }
}

// Random code sequences: literals, recent and next-free codes, extra widenings, resets, the
// odd code above the next free one, truncation. They stay within the format's limits except
// where a case means to break one, and lzw_decode must agree with the reference on all.
std::vector<uint8_t> random_stream(std::mt19937& rng, int max_codes)
{
    std::vector<Code> codes{{static_cast<uint32_t>(rng() % 512), 9}};
    uint32_t next_free = 259;
    int width = 9;
    const int n = static_cast<int>(rng() % max_codes);
    const int bad_at = rng() % 8 == 0 ? static_cast<int>(rng() % (n + 1)) : -1;
    for (int i = 0; i < n; ++i) {
        const int roll = static_cast<int>(rng() % 100);
        if (roll < 2 || next_free > 4095) {
            codes.push_back({258, width});
            next_free = 259;
            width = 9;
            continue;
        }
        if (roll < 4 && width < 16) {
            codes.push_back({257, width++});
            continue;
        }
        uint32_t code;
        if (i == bad_at)
            code = next_free + 1 + rng() % 3;
        else if (roll < 35)
            code = next_free;
        else if (roll < 75 && next_free > 259)
            code = next_free - 1 - rng() % std::min<uint32_t>(next_free - 259, 16);
        else
            code = rng() % 256;
        while (code >> width != 0)
            codes.push_back({257, width++});
        codes.push_back({code, width});
        ++next_free;
    }
    if (rng() % 8 != 0)
        codes.push_back({256, width});
    std::vector<uint8_t> bytes = pack(codes);
    if (rng() % 8 == 0)
        bytes.resize(rng() % (bytes.size() + 1));
    return bytes;
}

TEST(LzwDecode, RandomStreamsMatchReference)
{
    std::mt19937 rng(2024);
    int completed = 0;
    for (int i = 0; i < 400; ++i) {
        const std::vector<uint8_t> in = random_stream(rng, i % 20 == 0 ? 9000 : 300);
        const Decoded want = reference_decode(in);
        const Decoded got = decode(in);
        ASSERT_EQ(got.status, want.status) << "stream " << i << ", " << in.size() << " bytes";
        ASSERT_TRUE(got.out == want.out) << "stream " << i << ": got " << got.out.size() << " bytes, want "
                                         << want.out.size();
        completed += got.status == LZW_OK;
    }
    EXPECT_GT(completed, 200) << "too few random streams decode completely to exercise much";
}

// Allocation failure injected at the n-th allocation of one decode.
int alloc_calls = 0;
int alloc_fail_at = 0;
size_t alloc_failed_size = 0;

void* failing_calloc(size_t count, size_t size)
{
    if (++alloc_calls == alloc_fail_at) {
        alloc_failed_size = count * size;
        return nullptr;
    }
    return std::calloc(count, size);
}

TEST(LzwDecode, AllocationFailures)
{
    const std::vector<uint8_t> in = hex({0x20, 0x90, 0xA0, 0x70, 0x00});
    lzw_set_allocator(failing_calloc);
    alloc_calls = 0;
    alloc_fail_at = 0;
    uint8_t* out = nullptr;
    int32_t out_len = 0;
    ASSERT_EQ(lzw_decode(in.data(), 5, &out, &out_len), LZW_OK);
    std::free(out);
    const int total = alloc_calls;

    bool output_seen = false;
    for (int fail_at = 1; fail_at <= total; ++fail_at) {
        alloc_calls = 0;
        alloc_fail_at = fail_at;
        alloc_failed_size = 0;
        clear_recorded_messages();
        out = reinterpret_cast<uint8_t*>(&out);  // sentinel: untouched results keep it
        out_len = -1;
        const int status = lzw_decode(in.data(), 5, &out, &out_len);
        EXPECT_EQ(status, LZW_NO_MEMORY) << "allocation " << fail_at << " of " << total;
        const bool is_output = alloc_failed_size == LZW_OUTPUT_CAPACITY;
        const bool results_set = output_seen && !is_output;
        output_seen = output_seen || is_output;
        if (results_set) {
            // A definition failed: the results hold what was produced ("A" at most).
            EXPECT_LE(out_len, 3) << "allocation " << fail_at;
            std::free(out);
            EXPECT_TRUE(recorded_messages().empty()) << "allocation " << fail_at;
            continue;
        }
        EXPECT_EQ(out, reinterpret_cast<uint8_t*>(&out)) << "allocation " << fail_at << ": results set";
        EXPECT_EQ(out_len, -1) << "allocation " << fail_at;
        if (is_output) {
            ASSERT_EQ(recorded_messages().size(), 1u);
            EXPECT_EQ(recorded_messages()[0].text, "Impossible d'allouer la memoire");
            EXPECT_EQ(recorded_messages()[0].caption, "Information");
        } else {
            EXPECT_TRUE(recorded_messages().empty()) << "allocation " << fail_at;
        }
    }
    EXPECT_TRUE(output_seen) << "no failing allocation was the output buffer";
    lzw_set_allocator(nullptr);
    clear_recorded_messages();
}

} // namespace
