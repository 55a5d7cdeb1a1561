// The PNG decoder core on hand-made streams: DEFLATE faults, chunk walk, limits, stages and
// the conversions that the PNG suite does not pin down on its own.
#include "picture/png.h"
#include "picture/tests/png_test_decode.h"
#include "picture/tests/png_test_writer.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

Bytes ascii(const char* s) { return Bytes(s, s + strlen(s)); }

Bytes finish(BitWriter w, const Bytes& uncompressed)
{
    bits_align(&w);
    return zlib_wrap(w.bytes, uncompressed);
}

// ---------------------------------------------------------------------------------------------
// Bare inflate: a table of zlib streams with the expected status and output.

struct InflateCase {
    std::string name;
    Bytes stream;
    uint32_t out_size;
    int32_t status;
    Bytes output;  // checked on success
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const InflateCase& c, std::ostream* os) { *os << c.name; }

Bytes fixed_stream(const std::vector<DeflateToken>& tokens, const Bytes& expected)
{
    BitWriter w;
    deflate_put_fixed_block(&w, tokens, true);
    return finish(w, expected);
}

Bytes with_byte(Bytes b, size_t at, uint8_t value)
{
    b[at] = value;
    return b;
}

Bytes cut(Bytes b, size_t drop) { return Bytes(b.begin(), b.end() - (ptrdiff_t)drop); }

std::vector<InflateCase> inflate_cases()
{
    std::vector<InflateCase> cases;
    const Bytes hello = ascii("hello, hello, hello!");
    const Bytes stored = zlib_stored(hello);
    cases.push_back({"stored", stored, 20, PNG_ERROR_NONE, hello});
    cases.push_back({"stored_bad_nlen", with_byte(stored, 5, 0x00), 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"stored_longer_than_output", stored, 19, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"stored_cut_in_data", cut(stored, 4 + 5), 20, PNG_ERROR_CORRUPT, {}});
    {
        BitWriter w;  // two stored blocks, the first not final, then an empty final one
        deflate_put_stored_block(&w, ascii("abc"), false);
        deflate_put_stored_block(&w, ascii("de"), false);
        deflate_put_stored_block(&w, {}, true);
        cases.push_back({"stored_chain", finish(w, ascii("abcde")), 5, PNG_ERROR_NONE, ascii("abcde")});
    }
    {
        BitWriter w;  // a stored block after bits of a fixed block: aligned to the next byte
        deflate_put_fixed_block(&w, {lit('x')}, false);
        deflate_put_stored_block(&w, ascii("yz"), true);
        cases.push_back({"fixed_then_stored", finish(w, ascii("xyz")), 3, PNG_ERROR_NONE, ascii("xyz")});
    }
    {
        BitWriter w;
        bits_put(&w, 1, 1);
        bits_put(&w, 3, 2);  // block type 3
        cases.push_back({"block_type_3", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    const Bytes abab = ascii("abababab");
    const Bytes repeat = fixed_stream({lit('a'), lit('b'), match(6, 2)}, abab);
    cases.push_back({"match_reaching_the_start", repeat, 8, PNG_ERROR_NONE, abab});
    cases.push_back({"match_before_the_start", fixed_stream({lit('a'), match(3, 2)}, {}), 8, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"match_at_empty_output", fixed_stream({match(3, 1)}, {}), 8, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"match_past_the_output", repeat, 7, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"literal_past_the_output", fixed_stream({lit('a'), lit('b')}, ascii("ab")), 1,
                     PNG_ERROR_CORRUPT, {}});
    {
        // Long runs with every short period and a long one: word copies must stay exact.
        std::vector<DeflateToken> tokens;
        Bytes expected;
        for (uint32_t period = 1; period <= 9; period++) {
            for (uint32_t i = 0; i < period; i++) {
                tokens.push_back(lit((uint8_t)('a' + i)));
                expected.push_back((uint8_t)('a' + i));
            }
            tokens.push_back(match(258, period));
            for (uint32_t i = 0; i < 258; i++) expected.push_back(expected[expected.size() - period]);
        }
        tokens.push_back(match(100, (uint32_t)expected.size()));
        for (uint32_t i = 0; i < 100; i++) expected.push_back(expected[i]);
        const Bytes s = fixed_stream(tokens, expected);
        cases.push_back({"periods_1_to_9", s, (uint32_t)expected.size(), PNG_ERROR_NONE, expected});
        cases.push_back({"periods_room_for_more", s, (uint32_t)expected.size() + 1000, PNG_ERROR_NONE, expected});
    }
    {
        BitWriter w;  // distance code 30 does not exist
        bits_put(&w, 1, 1);
        bits_put(&w, 1, 2);
        bits_put_code(&w, 0x30 + 'a', 8);
        bits_put_code(&w, 1, 7);   // length 3
        bits_put_code(&w, 30, 5);  // distance code 30
        cases.push_back({"distance_code_30", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    {
        BitWriter w;  // literal/length code 286 does not exist
        bits_put(&w, 1, 1);
        bits_put(&w, 1, 2);
        bits_put_code(&w, 0xC0 + 6, 8);
        cases.push_back({"length_code_286", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    const Bytes literals = zlib_fixed_literals(hello);
    cases.push_back({"fixed_literals", literals, 20, PNG_ERROR_NONE, hello});
    cases.push_back({"wrong_adler", with_byte(literals, literals.size() - 1, literals.back() ^ 0xff), 20,
                     PNG_ERROR_NONE, hello});
    cases.push_back({"no_adler", cut(literals, 4), 20, PNG_ERROR_NONE, hello});
    cases.push_back({"cut_before_final_block_ends", cut(literals, 6), 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"cut_to_header", Bytes(literals.begin(), literals.begin() + 2), 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"empty", {}, 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"method_7", with_byte(literals, 0, 0x77), 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"window_64k", with_byte(literals, 0, 0x88), 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"window_256", with_byte(literals, 0, 0x08), 20, PNG_ERROR_NONE, hello});
    cases.push_back({"preset_dictionary", with_byte(literals, 1, 0x20), 20, PNG_ERROR_CORRUPT, {}});
    cases.push_back({"fcheck_ignored", with_byte(literals, 1, 0x1f), 20, PNG_ERROR_NONE, hello});

    // Dynamic blocks.
    std::vector<uint8_t> lit_lengths(258, 0), dist_lengths(1, 1);
    lit_lengths['a'] = lit_lengths['b'] = lit_lengths[256] = lit_lengths[257] = 2;
    {
        BitWriter w;  // one distance code of one bit: an incomplete code that is still usable
        deflate_put_dynamic_block(&w, lit_lengths, dist_lengths, {lit('a'), lit('b'), match(3, 1)}, true);
        cases.push_back({"dynamic", finish(w, ascii("abbbb")), 5, PNG_ERROR_NONE, ascii("abbbb")});
    }
    {
        // Repeat codes: 16 copies the previous length, 17 and 18 send runs of zeros.
        std::vector<uint8_t> cl(19, 0);
        cl[2] = cl[16] = cl[17] = cl[18] = 2;
        BitWriter w;
        // Lengths: 97 zeros, 'a' to 'd' 2 bits (one sent, three repeated), zeros up to 255,
        // then 256, 257 and the distance code 2 bits: six codes of 2 bits over-subscribe.
        deflate_put_dynamic_header(&w, true, 258, 1, cl,
                                   {{18, 97 - 11}, {2, 0}, {16, 0}, {18, 138 - 11}, {18, 17 - 11}, {2, 0}, {2, 0},
                                    {2, 0}});
        cases.push_back({"dynamic_over_subscribed", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    {
        std::vector<uint8_t> cl(19, 0);
        cl[1] = cl[16] = 1;
        BitWriter w;
        deflate_put_dynamic_header(&w, true, 257, 1, cl, {{16, 0}});
        cases.push_back({"dynamic_repeat_first", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    {
        std::vector<uint8_t> cl(19, 0);
        cl[0] = cl[18] = 1;
        BitWriter w;
        deflate_put_dynamic_header(&w, true, 257, 1, cl, {{18, 127}, {18, 127}, {18, 127}});
        cases.push_back({"dynamic_run_past_the_count", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    {
        std::vector<uint8_t> cl(19, 0);
        cl[0] = cl[2] = 1;
        std::vector<CodeLengthToken> t(258, CodeLengthToken{0, 0});
        t['a'] = t['b'] = {2, 0};
        BitWriter w;  // no code for end-of-block
        deflate_put_dynamic_header(&w, true, 257, 1, cl, t);
        cases.push_back({"dynamic_without_end_code", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    {
        BitWriter w;
        bits_put(&w, 1, 1);
        bits_put(&w, 2, 2);
        bits_put(&w, 30, 5);  // 287 literal/length codes
        bits_put(&w, 0, 5);
        bits_put(&w, 0, 4);
        bits_put(&w, 0, 24);
        cases.push_back({"dynamic_287_codes", finish(w, {}), 8, PNG_ERROR_CORRUPT, {}});
    }
    {
        // Codes of 15 bits take the subtable path: a complete code with 2^14 + 1 weights.
        std::vector<uint8_t> lengths(286, 0);
        for (int s = 0; s < 14; s++) lengths[s] = (uint8_t)(s + 1);  // 1..14 bits
        lengths[255] = 15;
        lengths[256] = 15;
        std::vector<uint8_t> dl(30, 0);
        dl[0] = dl[29] = 1;
        BitWriter w;
        deflate_put_dynamic_block(&w, lengths, dl, {lit(255), lit(13), lit(0), lit(255)}, true);
        const Bytes out = {255, 13, 0, 255};
        cases.push_back({"dynamic_15_bit_codes", finish(w, out), 4, PNG_ERROR_NONE, out});
    }
    return cases;
}

class PngInflate : public testing::TestWithParam<InflateCase> {};

TEST_P(PngInflate, GivesStatusAndOutput)
{
    const InflateCase& c = GetParam();
    Bytes out(c.out_size, 0xEE);
    uint32_t written = 0;
    const int32_t status = png_inflate_zlib(c.stream.data(), (uint32_t)c.stream.size(), out.data(), c.out_size, &written);
    ASSERT_EQ(status, c.status) << c.name << " stream " << hex_of(c.stream.data(), c.stream.size());
    if (status == PNG_ERROR_NONE) {
        EXPECT_EQ(Bytes(out.begin(), out.begin() + written), c.output) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, PngInflate, testing::ValuesIn(inflate_cases()),
                         [](const testing::TestParamInfo<InflateCase>& i) { return i.param.name; });

// ---------------------------------------------------------------------------------------------
// Whole files: where they fail and with which code.

struct FileCase {
    std::string name;
    Bytes file;
    int failed_step;  // PngStep
    int32_t error;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

const Bytes grey_2x2 = {0, 10, 20, 0, 30, 40};  // two filtered rows of 8-bit grey

Bytes grey_file(std::vector<Bytes> extra_before, std::vector<Bytes> extra_after = {})
{
    std::vector<Bytes> chunks = extra_before;
    chunks.push_back(png_chunk("IDAT", zlib_stored(grey_2x2)));
    chunks.insert(chunks.end(), extra_after.begin(), extra_after.end());
    return png_file(png_ihdr(2, 2, 8, 0), chunks);
}

Bytes after_iend(const Bytes& chunk)
{
    Bytes f = grey_file({});
    f.insert(f.end(), chunk.begin(), chunk.end());
    return f;
}

Bytes ihdr_with(size_t field, uint8_t value)
{
    Bytes ihdr = png_ihdr(2, 2, 8, 0);
    ihdr[8 + field] = value;
    return png_file(ihdr, {png_chunk("IDAT", zlib_stored(grey_2x2))});
}

std::vector<FileCase> file_cases()
{
    std::vector<FileCase> cases;
    const Bytes good = grey_file({});
    cases.push_back({"plain", good, PNG_STEP_DONE, 0});
    cases.push_back({"fifteen_bytes", Bytes(good.begin(), good.begin() + 15), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"ihdr_data_cut", Bytes(good.begin(), good.begin() + 28), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"signature", with_byte(good, 1, 'Q'), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"first_chunk_not_ihdr", with_byte(good, 12, 'i'), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"width_0", png_simple(0, 2, 8, 0, grey_2x2), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"height_0", png_simple(2, 0, 8, 0, grey_2x2), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    const struct {
        uint8_t colour_type, depth;
    } illegal[] = {{0, 3}, {0, 32}, {1, 8}, {2, 4}, {3, 16}, {4, 4}, {5, 8}, {6, 1}, {7, 8}, {2, 0}};
    for (auto p : illegal)
        cases.push_back({"pair_" + std::to_string(p.colour_type) + "_" + std::to_string(p.depth),
                         png_simple(2, 2, p.depth, p.colour_type, grey_2x2), PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED});
    cases.push_back({"compression_method_1", ihdr_with(10, 1), PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED});
    cases.push_back({"filter_method_1", ihdr_with(11, 1), PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED});
    cases.push_back({"interlace_2", ihdr_with(12, 2), PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED});
    cases.push_back({"private_critical_chunk", grey_file({png_chunk("VoRl", {1, 2})}), PNG_STEP_OPEN,
                     PNG_ERROR_UNSUPPORTED});
    cases.push_back({"private_ancillary_chunk", grey_file({png_chunk("voRl", {1, 2})}), PNG_STEP_DONE, 0});
    cases.push_back({"critical_chunk_after_iend", after_iend(png_chunk("VORL", {})), PNG_STEP_OPEN,
                     PNG_ERROR_UNSUPPORTED});
    cases.push_back({"ancillary_chunk_after_iend", after_iend(png_chunk("vORL", {})), PNG_STEP_DONE, 0});
    cases.push_back({"critical_chunk_after_cut_chunk", after_iend(cut(png_chunk("VORL", {1, 2, 3}), 1)),
                     PNG_STEP_DONE, 0});
    {
        const Bytes ihdr = png_ihdr(2, 2, 8, 0);
        Bytes bad_crcs = png_file(png_chunk("IHDR", Bytes(ihdr.begin() + 8, ihdr.end() - 4), false),
                                  {png_chunk("IDAT", zlib_stored(grey_2x2), false), png_chunk("tEXt", ascii("a\0b"), false)});
        cases.push_back({"wrong_crcs", bad_crcs, PNG_STEP_DONE, 0});
    }
    cases.push_back({"palette_without_plte", png_simple(2, 2, 8, 3, grey_2x2), PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"palette_with_short_plte", png_file(png_ihdr(2, 2, 8, 3), {png_chunk("PLTE", {1, 2}),
                                                          png_chunk("IDAT", zlib_stored(grey_2x2))}),
                     PNG_STEP_OPEN, PNG_ERROR_CORRUPT});
    cases.push_back({"plte_after_iend_counts",
                     [] {
                         Bytes f = png_simple(2, 2, 8, 3, grey_2x2);
                         const Bytes plte = png_chunk("PLTE", {1, 2, 3});
                         f.insert(f.end(), plte.begin(), plte.end());
                         return f;
                     }(),
                     PNG_STEP_DONE, 0});
    // At the limits the file opens (and fails later on its broken stream).
    cases.push_back({"rgba_4096_square", png_file(png_ihdr(4096, 4096, 8, 6), {png_chunk("IDAT", {0x78, 0x01, 0x07})}),
                     PNG_STEP_INFLATE, PNG_ERROR_CORRUPT});
    cases.push_back({"rgba_dib_over_64_mib", png_simple(4097, 4096, 8, 6, {}), PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED});
    cases.push_back({"rgba16_data_over_128_mib", png_simple(4096, 4096, 16, 6, {}), PNG_STEP_OPEN,
                     PNG_ERROR_UNSUPPORTED});
    cases.push_back({"largest_header", png_simple(0xffffffffu, 0xffffffffu, 16, 6, {}), PNG_STEP_OPEN,
                     PNG_ERROR_UNSUPPORTED});
    cases.push_back({"wide_1_bit_row", png_simple(0x7fffffffu, 1, 1, 0, {}), PNG_STEP_OPEN, PNG_ERROR_UNSUPPORTED});
    cases.push_back({"no_idat", png_file(png_ihdr(2, 2, 8, 0), {}), PNG_STEP_INFLATE, PNG_ERROR_CORRUPT});
    cases.push_back({"idat_longer_than_file", cut(png_simple(2, 2, 8, 0, grey_2x2), 12 + 4), PNG_STEP_INFLATE,
                     PNG_ERROR_CORRUPT});
    {
        // The stream split into 1-byte and empty IDAT chunks still joins up.
        const Bytes z = zlib_fixed_literals(grey_2x2);
        std::vector<Bytes> chunks;
        for (uint8_t b : z) {
            chunks.push_back(png_chunk("IDAT", {b}));
            chunks.push_back(png_chunk("IDAT", {}));
        }
        cases.push_back({"idat_split_to_bytes", png_file(png_ihdr(2, 2, 8, 0), chunks), PNG_STEP_DONE, 0});
        // A chunk in the middle of the run ends the stream.
        std::vector<Bytes> broken = {png_chunk("IDAT", Bytes(z.begin(), z.begin() + 4)), png_chunk("tEXt", ascii("a")),
                                     png_chunk("IDAT", Bytes(z.begin() + 4, z.end()))};
        cases.push_back({"idat_run_broken", png_file(png_ihdr(2, 2, 8, 0), broken), PNG_STEP_INFLATE, PNG_ERROR_CORRUPT});
    }
    cases.push_back({"too_much_data", png_simple(2, 2, 8, 0, {0, 1, 2, 0, 3, 4, 5}), PNG_STEP_INFLATE, PNG_ERROR_CORRUPT});
    cases.push_back({"filter_type_5", png_simple(2, 2, 8, 0, {0, 1, 2, 5, 3, 4}), PNG_STEP_PIXELS, PNG_ERROR_CORRUPT});
    cases.push_back({"bad_deflate_in_idat", png_file(png_ihdr(2, 2, 8, 0), {png_chunk("IDAT", {0x78, 0x01, 0x07})}),
                     PNG_STEP_INFLATE, PNG_ERROR_CORRUPT});
    return cases;
}

class PngFile : public testing::TestWithParam<FileCase> {};

TEST_P(PngFile, FailsAtItsStep)
{
    const FileCase& c = GetParam();
    const PngDecoded d = png_decode_bytes(c.file);
    EXPECT_EQ(d.failed_step, c.failed_step) << c.name << " error 0x" << std::hex << d.error;
    EXPECT_EQ(d.error, c.error) << c.name << " at step " << d.failed_step;
}

INSTANTIATE_TEST_SUITE_P(Files, PngFile, testing::ValuesIn(file_cases()),
                         [](const testing::TestParamInfo<FileCase>& i) { return i.param.name; });

// ---------------------------------------------------------------------------------------------
// Pixels of small images: format, colour table and every DIB byte.

struct PixelCase {
    std::string name;
    Bytes file;
    uint32_t image_size;  // filtered bytes
    uint32_t bit_count, stride, colours_used;
    Bytes table;   // first entries of the colour table, 4 bytes each
    Bytes pixels;  // the whole DIB
};

void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.name; }

std::vector<PixelCase> pixel_cases()
{
    std::vector<PixelCase> cases;
    // 3 x 3 grey, 2 bits: samples 0 1 2 / 3 0 1 / 2 3 0, widened to nibbles in 4-byte rows.
    cases.push_back({"grey2_3x3", png_simple(3, 3, 2, 0, {0, 0x18, 0, 0xC4, 0, 0xB0}), 6, 4, 4, 4,
                     {0, 0, 0, 0, 85, 85, 85, 0, 170, 170, 170, 0, 255, 255, 255, 0},
                     {0x01, 0x20, 0, 0, 0x30, 0x10, 0, 0, 0x23, 0x00, 0, 0}});
    cases.push_back({"grey16_msb", png_simple(2, 1, 16, 0, {0, 0x12, 0xFF, 0xAB, 0x00}), 5, 8, 4, 256,
                     {0, 0, 0, 0, 1, 1, 1, 0}, {0x12, 0xAB, 0, 0}});
    cases.push_back({"grey1_odd_width", png_simple(9, 1, 1, 0, {0, 0xAA, 0xFF}), 3, 1, 4, 2,
                     {0, 0, 0, 0, 255, 255, 255, 0}, {0xAA, 0x80, 0, 0}});
    cases.push_back({"grey4_ramp", png_simple(3, 1, 4, 0, {0, 0x0F, 0x7F}), 3, 4, 4, 16,
                     {0, 0, 0, 0, 17, 17, 17, 0, 34, 34, 34, 0}, {0x0F, 0x70, 0, 0}});
    cases.push_back({"grey_alpha16", png_simple(1, 1, 16, 4, {0, 0x80, 0x01, 0xFF, 0xFF}), 5, 8, 4, 256, {},
                     {0x80, 0, 0, 0}});
    // RGBA with a transparent pixel: its colour stays.
    cases.push_back({"rgba8_transparent", png_simple(2, 1, 8, 6, {0, 10, 20, 30, 0, 40, 50, 60, 255}), 9, 32, 8, 0, {},
                     {30, 20, 10, 0, 60, 50, 40, 255}});
    cases.push_back({"rgb16", png_simple(1, 1, 16, 2, {0, 1, 2, 3, 4, 5, 6}), 7, 24, 4, 0, {}, {5, 3, 1, 0}});
    cases.push_back({"rgba16", png_simple(1, 1, 16, 6, {0, 1, 2, 3, 4, 5, 6, 7, 8}), 9, 32, 4, 0, {}, {5, 3, 1, 7}});
    // Palette: entries beyond the PLTE are zero; an index past them is left as it is.
    cases.push_back({"palette2_index_past_plte",
                     png_file(png_ihdr(3, 1, 2, 3), {png_chunk("PLTE", {1, 2, 3, 4, 5, 6}),
                                                     png_chunk("IDAT", zlib_stored({0, 0x1C}))}),
                     2, 4, 4, 0, {3, 2, 1, 0, 6, 5, 4, 0, 0, 0, 0, 0}, {0x01, 0x30, 0, 0}});
    // Filters on 8-bit RGB, distance 3: Sub, Up, Average, Paeth over a known first row.
    cases.push_back({"filters_rgb8",
                     png_simple(2, 4, 8, 2,
                                {1, 10, 20, 30, 5, 5, 5,        // Sub: 10 20 30 15 25 35
                                 2, 1, 1, 1, 1, 1, 1,           // Up: 11 21 31 16 26 36
                                 3, 1, 1, 1, 1, 1, 1,           // Avg: 6 11 16 12 19 27
                                 4, 0, 0, 0, 0, 0, 0}),         // Paeth: 6 11 16 12 19 27
                     28, 24, 8, 0, {},
                     {30, 20, 10, 35, 25, 15, 0, 0, 31, 21, 11, 36, 26, 16, 0, 0,
                      16, 11, 6, 27, 19, 12, 0, 0, 16, 11, 6, 27, 19, 12, 0, 0}});
    // A stream that ends early: the missing row is zero.
    cases.push_back({"short_stream", png_simple(2, 2, 8, 0, {0, 7, 8}), 6, 8, 4, 256, {}, {7, 8, 0, 0, 0, 0, 0, 0}});
    // Adam7, 1 x 1: only pass 1 has a pixel.
    cases.push_back({"adam7_1x1", png_simple(1, 1, 8, 0, {0, 0x5A}, 1), 2, 8, 4, 256, {}, {0x5A, 0, 0, 0}});
    // Adam7, 3 x 3 grey 1 bit: passes 1 (0,0), 4 (2,0), 5 (0,2) (2,2), 6 (1,0) (1,2), 7 row 1.
    cases.push_back({"adam7_grey1_3x3",
                     png_simple(3, 3, 1, 0, {0, 0x80, 0, 0x80, 0, 0x40, 0, 0x00, 0, 0x80, 0, 0xA0}, 1), 12, 1, 4, 2,
                     {}, {0xA0, 0, 0, 0, 0xA0, 0, 0, 0, 0x60, 0, 0, 0}});
    return cases;
}

std::string state_fields(const PngDecoderState& s)
{
    char text[256];
    snprintf(text, sizeof text, "%ux%u ct%d d%d i%d pal%u src%p/%u pos%p img%p/%u plte%p kind%d hdr%p idat%p stage%d",
             s.width, s.height, s.colour_type, s.bit_depth, s.interlace, s.palette_count, (const void*)s.source,
             s.source_size, (const void*)s.position, (void*)s.image, s.image_size, (const void*)s.palette,
             s.source_kind, (const void*)s.header, (const void*)s.first_data, s.stage);
    return text;
}

class PngPixels : public testing::TestWithParam<PixelCase> {};

TEST_P(PngPixels, MatchTheConversionTable)
{
    const PixelCase& c = GetParam();
    const PngDecoded d = png_decode_bytes(c.file);
    ASSERT_EQ(d.failed_step, PNG_STEP_DONE) << c.name << " error 0x" << std::hex << d.error;
    EXPECT_EQ(d.state.image_size, c.image_size) << c.name;
    EXPECT_EQ(d.format.bit_count, c.bit_count) << c.name;
    EXPECT_EQ(d.format.stride, c.stride) << c.name;
    EXPECT_EQ(d.format.colours_used, c.colours_used) << c.name;
    EXPECT_EQ(hex_of(&d.format.colour_table[0][0], c.table.size()), hex_of(c.table.data(), c.table.size())) << c.name;
    EXPECT_EQ(hex_of(d.pixels.data(), d.pixels.size()), hex_of(c.pixels.data(), c.pixels.size())) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Images, PngPixels, testing::ValuesIn(pixel_cases()),
                         [](const testing::TestParamInfo<PixelCase>& i) { return i.param.name; });

// ---------------------------------------------------------------------------------------------
// Stages: an operation out of order fails with its code and leaves the state as it was.

TEST(PngStages, OutOfOrderCallsFailAndChangeNothing)
{
    const Bytes file = png_simple(2, 2, 8, 0, grey_2x2);
    PngDecoderState s;
    png_reset(&s);
    PngDibFormat format;
    uint8_t pixels[8];

    EXPECT_FALSE(png_inflate_image(&s));
    EXPECT_EQ(s.error, PNG_ERROR_STAGE) << "inflate before open";
    EXPECT_FALSE(png_dib_format(&s, &format));
    EXPECT_EQ(s.error, PNG_ERROR_STAGE) << "format before open";

    ASSERT_TRUE(png_open_memory(&s, file.data(), (uint32_t)file.size())) << std::hex << s.error;
    EXPECT_EQ(s.stage, PNG_STAGE_HEADER);
    EXPECT_EQ(s.source_kind, PNG_SOURCE_BORROWED);
    const std::string before = state_fields(s);
    EXPECT_FALSE(png_open_memory(&s, file.data(), (uint32_t)file.size()));
    EXPECT_EQ(s.error, PNG_ERROR_BUSY) << "second open";
    EXPECT_EQ(state_fields(s), before) << "second open changed the state";
    EXPECT_FALSE(png_write_dib_pixels(&s, &format, pixels));
    EXPECT_EQ(s.error, PNG_ERROR_STAGE) << "pixels before inflate";

    ASSERT_TRUE(png_inflate_image(&s)) << std::hex << s.error;
    EXPECT_EQ(s.stage, PNG_STAGE_INFLATED);
    EXPECT_FALSE(png_inflate_image(&s));
    EXPECT_EQ(s.error, PNG_ERROR_STAGE) << "second inflate";
    EXPECT_FALSE(png_open_memory(&s, file.data(), (uint32_t)file.size()));
    EXPECT_EQ(s.error, PNG_ERROR_BUSY) << "open after inflate";

    // The pixels can be made twice with the same result.
    ASSERT_TRUE(png_dib_format(&s, &format));
    ASSERT_TRUE(png_write_dib_pixels(&s, &format, pixels));
    uint8_t again[8];
    ASSERT_TRUE(png_write_dib_pixels(&s, &format, again));
    EXPECT_EQ(hex_of(pixels, 8), hex_of(again, 8));

    png_free(&s);
    PngDecoderState zero;
    memset(&zero, 0, sizeof zero);
    EXPECT_EQ(memcmp(&s, &zero, sizeof s), 0) << "png_free leaves fields set";
}

TEST(PngStages, FailedOpenForgetsTheSourceAndAllowsAnother)
{
    const Bytes bad = {1, 2, 3};
    const Bytes good = png_simple(2, 2, 8, 0, grey_2x2);
    PngDecoderState s;
    png_reset(&s);
    EXPECT_FALSE(png_open_memory(&s, bad.data(), (uint32_t)bad.size()));
    EXPECT_EQ(s.error, PNG_ERROR_CORRUPT);
    EXPECT_EQ(s.source, nullptr);
    EXPECT_EQ(s.source_kind, PNG_SOURCE_NONE);
    EXPECT_EQ(s.stage, PNG_STAGE_EMPTY);
    EXPECT_TRUE(png_open_memory(&s, good.data(), (uint32_t)good.size())) << std::hex << s.error;
    EXPECT_EQ(s.error, PNG_ERROR_NONE);
    png_free(&s);
}

TEST(PngStages, FailedInflateFreesAndStaysInStageOne)
{
    const Bytes file = png_simple(2, 2, 8, 0, {0, 1, 2, 0, 3, 4, 5});  // too much data
    PngDecoderState s;
    png_reset(&s);
    ASSERT_TRUE(png_open_memory(&s, file.data(), (uint32_t)file.size()));
    EXPECT_FALSE(png_inflate_image(&s));
    EXPECT_EQ(s.error, PNG_ERROR_CORRUPT);
    EXPECT_EQ(s.stage, PNG_STAGE_HEADER);
    EXPECT_EQ(s.image, nullptr);
    png_free(&s);
}

TEST(PngChunkWalk, RecordsHeaderPaletteAndFirstData)
{
    const Bytes plte1 = png_chunk("PLTE", {1, 2, 3, 4, 5, 6, 7});  // 7 bytes: 2 entries
    const Bytes file = png_file(png_ihdr(2, 2, 8, 3), {plte1, png_chunk("PLTE", {9, 9, 9}), png_chunk("IDAT", zlib_stored(grey_2x2)),
                                                       png_chunk("IDAT", {})});
    PngDecoderState s;
    png_reset(&s);
    ASSERT_TRUE(png_open_memory(&s, file.data(), (uint32_t)file.size())) << std::hex << s.error;
    EXPECT_EQ(s.header, file.data() + 16);
    EXPECT_EQ(s.palette, file.data() + 33 + 8);
    EXPECT_EQ(s.palette_count, 2u);
    EXPECT_EQ(s.first_data, file.data() + 33 + plte1.size() + 15);
    EXPECT_EQ(s.position, file.data() + file.size()) << "the walk goes to the end";
    EXPECT_EQ(s.width, 2u);
    EXPECT_EQ(s.colour_type, 3);
    EXPECT_EQ(s.bit_depth, 8);
    EXPECT_EQ(s.image_size, 6u);
    png_free(&s);
}

}  // namespace
