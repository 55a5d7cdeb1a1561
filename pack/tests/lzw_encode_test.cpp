#include "pack/lzw_encode.h"

#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Quiz-like French text in Windows-1252: questions, answers and codes separated by '|', with
// accented letters as single bytes.
Bytes french_text(size_t len, uint32_t seed)
{
    static const char* const words[] = {
        "Quel",  "est",   "le",    "nom",   "du",      "peintre",  "qui",     "a",        "r\xE9" "alis\xE9",
        "cette", "\x9C" "uvre", "en",   "quelle", "ann\xE9" "e", "la",      "ville",   "de",       "France",
        "o\xF9", "se",    "trouve", "ce",   "ch\xE2teau", "c\xE9l\xE8" "bre", "pi\xE8" "ce", "th\xE9\xE2tre",
        "\xE9" "crivain", "fran\xE7" "ais", "si\xE8" "cle", "r\xE9ponse", "h\xE9ros", "for\xEA" "t",
        "\xE0",  "les",   "des",   "une",   "pour",    "dans",     "mus\xE9" "e", "\xEE" "le", "Gr\xE2" "ce",
    };
    std::mt19937 rng(seed);
    std::string text;
    for (int question = 1; text.size() < len; ++question) {
        text += "Question " + std::to_string(question) + " : ";
        for (int w = 3 + static_cast<int>(rng() % 9); w > 0; --w)
            text += std::string(words[rng() % std::size(words)]) + (w > 1 ? " " : " ?|");
        text += std::string(words[rng() % std::size(words)]) + "|";
    }
    return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(len));
}

Bytes same_byte(size_t len, uint32_t) { return Bytes(len, 0x41); }

Bytes periodic(size_t len, uint32_t)
{
    static const char pattern[] = "abcab|";
    Bytes data(len);
    for (size_t i = 0; i < len; ++i)
        data[i] = static_cast<uint8_t>(pattern[i % (sizeof pattern - 1)]);
    return data;
}

Bytes random_bytes(size_t len, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes data(len);
    for (uint8_t& b : data)
        b = static_cast<uint8_t>(rng());
    return data;
}

// Few distinct bytes in random order: strings grow slowly and resets come often.
Bytes two_letters(size_t len, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes data(len);
    for (uint8_t& b : data)
        b = rng() % 2 ? 'a' : 'b';
    return data;
}

// What a stream does, read code by code with the decoder's rules, counting string lengths only.
struct StreamAudit {
    bool first_is_literal = false;
    bool ends_with_end_code = false;
    bool padding_is_zero = false;
    int resets = 0;
    int widenings = 0;
    size_t longest_string = 0;
};

StreamAudit audit(const Bytes& stream)
{
    StreamAudit result;
    size_t bit = 0;
    auto read = [&](int width) {
        uint32_t code = 0;
        for (int i = 0; i < width && bit < stream.size() * 8; ++i, ++bit)
            code = code << 1 | (stream[bit / 8] >> (7 - bit % 8) & 1);
        return code;
    };
    std::vector<size_t> length(4096, 1);
    uint32_t next_free = 259;
    int width = 9;
    const uint32_t first = read(width);
    result.first_is_literal = first < 256;
    size_t pending = 1;
    while (bit + width <= stream.size() * 8) {
        const uint32_t code = read(width);
        if (code == 256) {
            result.ends_with_end_code = true;
            result.padding_is_zero = bit % 8 == 0 || (stream.back() & ((1u << (8 - bit % 8)) - 1)) == 0;
            result.padding_is_zero = result.padding_is_zero && (bit + 7) / 8 == stream.size();
            break;
        }
        if (code == 257) {
            ++width;
            ++result.widenings;
        } else if (code == 258) {
            next_free = 259;
            width = 9;
            ++result.resets;
        } else if (code <= next_free && next_free <= 4095) {
            length[next_free++] = pending + 1;
            pending = length[code];
            result.longest_string = std::max({result.longest_string, pending, length[next_free - 1]});
        } else {
            break;
        }
    }
    return result;
}

struct EncodeCase {
    const char* name;
    Bytes (*make)(size_t len, uint32_t seed);
    size_t len;
    int min_resets;  // a lower bound where the case is there to cross resets
};

// Names the case in test listings and failure messages instead of dumping its bytes.
void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

class LzwEncodeCase : public testing::TestWithParam<EncodeCase> {};

TEST_P(LzwEncodeCase, RoundTripsThroughDecoder)
{
    const EncodeCase& c = GetParam();
    const Bytes data = c.make(c.len, 1);
    const Bytes stream = lzw_encode(data.data(), data.size());
    ASSERT_FALSE(stream.empty()) << c.name;

    uint8_t* out = nullptr;
    int32_t out_len = 0;
    const int status = lzw_decode(stream.data(), static_cast<int32_t>(stream.size()), &out, &out_len);
    ASSERT_NE(out, nullptr) << c.name;
    EXPECT_EQ(status, LZW_OK) << c.name;
    EXPECT_EQ(out_len, static_cast<int32_t>(data.size() + 2)) << c.name;
    EXPECT_TRUE(Bytes(out, out + out_len - 2) == data) << c.name << ": decoded bytes differ";
    std::free(out);

    const StreamAudit a = audit(stream);
    EXPECT_TRUE(a.first_is_literal) << c.name;
    EXPECT_TRUE(a.ends_with_end_code) << c.name;
    EXPECT_TRUE(a.padding_is_zero) << c.name;
    EXPECT_LE(a.longest_string, 4096u) << c.name;
    EXPECT_GE(a.resets, c.min_resets) << c.name;
}

const EncodeCase encode_cases[] = {
    {"one_byte", same_byte, 1, 0},
    {"two_bytes", periodic, 2, 0},
    {"same_byte_short_run", same_byte, 3, 0},
    {"same_byte_120000", same_byte, 120000, 0},
    {"periodic_120000", periodic, 120000, 0},
    {"random_1000", random_bytes, 1000, 0},
    {"random_120000", random_bytes, 120000, 10},
    {"two_letters_120000", two_letters, 120000, 2},
    {"french_text_60000", french_text, 60000, 1},
    {"french_text_120000", french_text, 120000, 3},
};

INSTANTIATE_TEST_SUITE_P(Data, LzwEncodeCase, testing::ValuesIn(encode_cases),
                         [](const testing::TestParamInfo<EncodeCase>& info) { return info.param.name; });

TEST(LzwEncode, RandomSizesRoundTrip)
{
    std::mt19937 rng(99);
    Bytes (*const makers[])(size_t, uint32_t) = {french_text, two_letters, random_bytes, periodic};
    for (int i = 0; i < 40; ++i) {
        const size_t len = 1 + rng() % 20000;
        const Bytes data = makers[i % 4](len, static_cast<uint32_t>(i));
        const Bytes stream = lzw_encode(data.data(), data.size());
        uint8_t* out = nullptr;
        int32_t out_len = 0;
        const int status = lzw_decode(stream.data(), static_cast<int32_t>(stream.size()), &out, &out_len);
        EXPECT_EQ(status, LZW_OK) << "case " << i << ", " << len << " bytes";
        EXPECT_TRUE(out && Bytes(out, out + out_len - 2) == data) << "case " << i << ", " << len << " bytes";
        std::free(out);
    }
}

TEST(LzwEncode, RefusesWhatNoStreamCanCarry)
{
    const Bytes big(LZW_OUTPUT_CAPACITY + 1, 'x');
    EXPECT_TRUE(lzw_encode(big.data(), 0).empty()) << "empty input";
    EXPECT_TRUE(lzw_encode(big.data(), big.size()).empty()) << "more than the decoder's output capacity";
}

TEST(LzwEncode, CompressesFrenchText)
{
    const Bytes text = french_text(60000, 5);
    const Bytes stream = lzw_encode(text.data(), text.size());
    const double ratio = static_cast<double>(stream.size()) / static_cast<double>(text.size());
    std::printf("french text: %zu -> %zu bytes (%.1f%%)\n", text.size(), stream.size(), 100 * ratio);
    EXPECT_LT(ratio, 0.5) << stream.size() << " bytes";
}

} // namespace
