#include "picture/tests/png_test_writer.h"

#include <cstdio>
#include <cstring>

void bits_put(BitWriter* w, uint32_t value, int count)
{
    for (int i = 0; i < count; i++) {
        w->acc |= ((value >> i) & 1u) << w->used;
        if (++w->used == 8) {
            w->bytes.push_back((uint8_t)w->acc);
            w->acc = 0;
            w->used = 0;
        }
    }
}

void bits_put_code(BitWriter* w, uint32_t code, int length)
{
    for (int i = length - 1; i >= 0; i--) bits_put(w, (code >> i) & 1u, 1);
}

void bits_align(BitWriter* w)
{
    if (w->used) bits_put(w, 0, 8 - w->used);
}

DeflateToken lit(uint8_t byte) { return {byte, 0}; }
DeflateToken match(uint32_t length, uint32_t distance) { return {length, distance}; }

namespace {

// Fixed literal/length code of RFC 1951, 3.2.6.
void put_fixed_symbol(BitWriter* w, uint32_t symbol)
{
    if (symbol < 144) bits_put_code(w, 0x30 + symbol, 8);
    else if (symbol < 256) bits_put_code(w, 0x190 + symbol - 144, 9);
    else if (symbol < 280) bits_put_code(w, symbol - 256, 7);
    else bits_put_code(w, 0xC0 + symbol - 280, 8);
}

const uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t dist_base[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t dist_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

}  // namespace

void deflate_put_fixed_block(BitWriter* w, const std::vector<DeflateToken>& tokens, bool final)
{
    bits_put(w, final ? 1 : 0, 1);
    bits_put(w, 1, 2);
    for (const DeflateToken& t : tokens) {
        if (!t.distance) {
            put_fixed_symbol(w, t.length_or_literal);
            continue;
        }
        int l = 28;
        while (length_base[l] > t.length_or_literal) l--;
        put_fixed_symbol(w, 257 + l);
        bits_put(w, t.length_or_literal - length_base[l], length_extra[l]);
        int d = 29;
        while (dist_base[d] > t.distance) d--;
        bits_put_code(w, d, 5);
        bits_put(w, t.distance - dist_base[d], dist_extra[d]);
    }
    put_fixed_symbol(w, 256);
}

void deflate_put_stored_block(BitWriter* w, const Bytes& data, bool final)
{
    bits_put(w, final ? 1 : 0, 1);
    bits_put(w, 0, 2);
    bits_align(w);
    bits_put(w, (uint32_t)data.size(), 16);
    bits_put(w, ~(uint32_t)data.size() & 0xffff, 16);
    for (uint8_t b : data) bits_put(w, b, 8);
}

std::vector<uint32_t> huffman_codes(const std::vector<uint8_t>& lengths)
{
    uint32_t counts[16] = {}, next[16] = {};
    for (uint8_t l : lengths) counts[l]++;
    counts[0] = 0;
    uint32_t code = 0;
    for (int len = 1; len < 16; len++) {
        code = (code + counts[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<uint32_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); s++)
        if (lengths[s]) codes[s] = next[lengths[s]]++;
    return codes;
}

static const uint8_t codelen_order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

void deflate_put_dynamic_header(BitWriter* w, bool final, uint32_t litlen_count, uint32_t dist_count,
                                const std::vector<uint8_t>& codelen_lengths, const std::vector<CodeLengthToken>& tokens)
{
    bits_put(w, final ? 1 : 0, 1);
    bits_put(w, 2, 2);
    bits_put(w, litlen_count - 257, 5);
    bits_put(w, dist_count - 1, 5);
    bits_put(w, 19 - 4, 4);
    for (int i = 0; i < 19; i++) bits_put(w, codelen_lengths[codelen_order[i]], 3);
    const std::vector<uint32_t> codes = huffman_codes(codelen_lengths);
    static const int extra_bits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
    for (const CodeLengthToken& t : tokens) {
        bits_put_code(w, codes[t.symbol], codelen_lengths[t.symbol]);
        bits_put(w, t.extra, extra_bits[t.symbol]);
    }
}

void deflate_put_dynamic_block(BitWriter* w, const std::vector<uint8_t>& litlen_lengths,
                               const std::vector<uint8_t>& dist_lengths, const std::vector<DeflateToken>& tokens,
                               bool final)
{
    std::vector<uint8_t> codelen_lengths(19, 0);
    for (int s = 0; s < 16; s++) codelen_lengths[s] = 4;  // 16 codes of 4 bits: complete
    std::vector<CodeLengthToken> header;
    for (uint8_t l : litlen_lengths) header.push_back({l, 0});
    for (uint8_t l : dist_lengths) header.push_back({l, 0});
    deflate_put_dynamic_header(w, final, (uint32_t)litlen_lengths.size(), (uint32_t)dist_lengths.size(),
                               codelen_lengths, header);
    const std::vector<uint32_t> lit_codes = huffman_codes(litlen_lengths), dist_codes = huffman_codes(dist_lengths);
    auto put = [&](uint32_t s) { bits_put_code(w, lit_codes[s], litlen_lengths[s]); };
    for (const DeflateToken& t : tokens) {
        if (!t.distance) {
            put(t.length_or_literal);
            continue;
        }
        int l = 28;
        while (length_base[l] > t.length_or_literal) l--;
        put(257 + l);
        bits_put(w, t.length_or_literal - length_base[l], length_extra[l]);
        int d = 29;
        while (dist_base[d] > t.distance) d--;
        bits_put_code(w, dist_codes[d], dist_lengths[d]);
        bits_put(w, t.distance - dist_base[d], dist_extra[d]);
    }
    put(256);
}

uint32_t adler32_of(const Bytes& data)
{
    uint32_t a = 1, b = 0;
    for (uint8_t x : data) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

uint32_t crc32_of(const uint8_t* data, size_t size)
{
    uint32_t c = 0xffffffffu;
    for (size_t i = 0; i < size; i++) {
        c ^= data[i];
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

static void put_be32(Bytes* out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) out->push_back((uint8_t)(v >> s));
}

Bytes zlib_wrap(const Bytes& deflate, const Bytes& uncompressed)
{
    Bytes out = {0x78, 0x01};
    out.insert(out.end(), deflate.begin(), deflate.end());
    put_be32(&out, adler32_of(uncompressed));
    return out;
}

Bytes zlib_stored(const Bytes& data)
{
    BitWriter w;
    size_t at = 0;
    do {
        const size_t n = data.size() - at < 65535 ? data.size() - at : 65535;
        deflate_put_stored_block(&w, Bytes(data.begin() + at, data.begin() + at + n), at + n == data.size());
        at += n;
    } while (at < data.size());
    bits_align(&w);
    return zlib_wrap(w.bytes, data);
}

Bytes zlib_fixed_literals(const Bytes& data)
{
    std::vector<DeflateToken> tokens;
    for (uint8_t b : data) tokens.push_back(lit(b));
    BitWriter w;
    deflate_put_fixed_block(&w, tokens, true);
    bits_align(&w);
    return zlib_wrap(w.bytes, data);
}

Bytes png_chunk(const char* type, const Bytes& data, bool good_crc)
{
    Bytes out;
    put_be32(&out, (uint32_t)data.size());
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uint32_t crc = crc32_of(out.data() + 4, out.size() - 4);
    put_be32(&out, good_crc ? crc : ~crc);
    return out;
}

Bytes png_ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type, uint8_t interlace)
{
    Bytes data;
    put_be32(&data, width);
    put_be32(&data, height);
    data.insert(data.end(), {depth, colour_type, 0, 0, interlace});
    return png_chunk("IHDR", data);
}

Bytes png_file(const Bytes& ihdr, const std::vector<Bytes>& chunks)
{
    Bytes out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    out.insert(out.end(), ihdr.begin(), ihdr.end());
    for (const Bytes& c : chunks) out.insert(out.end(), c.begin(), c.end());
    const Bytes end = png_chunk("IEND", {});
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

Bytes png_simple(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type, const Bytes& filtered,
                 uint8_t interlace)
{
    return png_file(png_ihdr(width, height, depth, colour_type, interlace), {png_chunk("IDAT", zlib_stored(filtered))});
}

Bytes read_file(const std::string& path)
{
    Bytes out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    fclose(f);
    return out;
}

std::string hex_of(const uint8_t* data, size_t size)
{
    std::string s;
    char two[4];
    for (size_t i = 0; i < size; i++) {
        snprintf(two, sizeof two, "%02x", data[i]);
        s += two;
    }
    return s;
}
