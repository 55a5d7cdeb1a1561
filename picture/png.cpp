// PNG decoder core. Formats: PNG (W3C Recommendation), zlib (RFC 1950), DEFLATE (RFC 1951).
//
// Choices where the formats leave room or a file is faulty:
// - The header fields (IHDR data) must lie inside the source, else the file is corrupt; the
//   IHDR length field itself is not examined, and chunk CRCs are never verified.
// - A palette image without a PLTE chunk (or with one of fewer than 3 bytes) is corrupt.
// - An image whose filtered data exceeds PNG_MAX_IMAGE_BYTES or whose DIB exceeds
//   PNG_MAX_DIB_BYTES is unsupported; both are checked when the file is opened.
// - Indices beyond the PLTE entries select zeroed colour table entries (black).
// - A stream whose final block ends before the image is complete leaves the rest of the
//   filtered data zero: whole missing rows come out as zero pixels.
// - The Adler-32 trailer is not used, so a stream that stops right after its final block is
//   accepted. Data after the final block is ignored.
// - Incomplete Huffman codes are accepted; reading an unassigned code is corrupt data.
// - A filter type above 4 is corrupt data, reported when the pixels are made.
//
// Layout of the work: the filtered image is inflated whole into one buffer that is also the
// DEFLATE window (matches are checked against its start, the output against its end); rows are
// then unfiltered into two alternating row buffers (a None row is read in place) and converted
// straight into the caller's DIB rows. Memory: the filtered image, two rows and the DIB.
#include "picture/png.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__) && !defined(PNG_NO_SIMD)
#include <emmintrin.h>
#endif

namespace {

constexpr int TRUE_ = 1;
constexpr int FALSE_ = 0;

const uint8_t png_signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t CHUNK_OVERHEAD = 12;  // length, type, CRC
constexpr uint32_t IHDR_DATA_BYTES = 13;

uint32_t load_be32(const uint8_t* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

uint64_t load_le64(const uint8_t* p)
{
    uint64_t v;
    memcpy(&v, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

void store_u64(uint8_t* p, uint64_t v) { memcpy(p, &v, 8); }
uint64_t load_u64(const uint8_t* p)
{
    uint64_t v;
    memcpy(&v, p, 8);
    return v;
}

bool chunk_is(const uint8_t* chunk, const char* type) { return memcmp(chunk + 4, type, 4) == 0; }

int fail(PngDecoderState* state, int32_t error)
{
    state->error = error;
    return FALSE_;
}

// ---------------------------------------------------------------------------------------------
// Formats

struct PngPass {
    uint8_t x0, y0, dx, dy;
};
// Adam7: first column and row, column and row steps of each pass.
const PngPass adam7_passes[7] = {
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};
const PngPass whole_image_pass = {0, 0, 1, 1};

uint32_t png_channels(uint8_t colour_type)
{
    static const uint8_t channels[7] = {1, 0, 3, 1, 2, 0, 4};
    return colour_type < 7 ? channels[colour_type] : 0;
}

// The fifteen legal (colour type, bit depth) pairs.
bool png_pair_is_legal(uint8_t colour_type, uint8_t depth)
{
    switch (colour_type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    }
    return false;
}

uint32_t png_dib_bit_count(uint8_t colour_type, uint8_t depth)
{
    switch (colour_type) {
    case 2: return 24;
    case 6: return 32;
    case 4: return 8;
    }
    if (depth == 1) return 1;
    if (depth == 2 || depth == 4) return 4;
    return 8;
}

uint32_t pass_extent(uint32_t size, uint32_t first, uint32_t step)
{
    return size > first ? (size - first + step - 1) / step : 0;
}

// Filtered bytes of one row of `pixels` pixels, without the filter byte; 64-bit so that no
// header value can wrap it.
uint64_t png_row_bytes(uint64_t pixels, uint32_t bits_per_pixel) { return (pixels * bits_per_pixel + 7) / 8; }

uint64_t png_filtered_size(const PngDecoderState* s)
{
    const uint32_t bpp_bits = png_channels(s->colour_type) * s->bit_depth;
    if (!s->interlace) return (uint64_t)s->height * (1 + png_row_bytes(s->width, bpp_bits));
    uint64_t total = 0;
    for (const PngPass& p : adam7_passes) {
        const uint32_t w = pass_extent(s->width, p.x0, p.dx), h = pass_extent(s->height, p.y0, p.dy);
        if (w && h) total += (uint64_t)h * (1 + png_row_bytes(w, bpp_bits));
    }
    return total;
}

uint64_t png_dib_stride(uint32_t width, uint32_t bit_count) { return ((uint64_t)width * bit_count + 31) / 32 * 4; }

// ---------------------------------------------------------------------------------------------
// Header and chunk list

int32_t png_walk_chunks(PngDecoderState* s)
{
    const uint8_t* src = s->source;
    const uint32_t size = s->source_size;
    uint32_t at = (uint32_t)sizeof png_signature;
    while (size - at >= CHUNK_OVERHEAD) {
        const uint8_t* chunk = src + at;
        const uint32_t length = load_be32(chunk);
        if (length > size - at - CHUNK_OVERHEAD) break;
        if (chunk_is(chunk, "PLTE")) {
            if (!s->palette) {
                s->palette = chunk + 8;
                s->palette_count = length / 3;
            }
        } else if (chunk_is(chunk, "IDAT")) {
            if (!s->first_data) s->first_data = chunk;
        } else if (!chunk_is(chunk, "IHDR") && !chunk_is(chunk, "IEND")) {
            // Bit 5 of the first type byte marks an ancillary chunk, which may be skipped.
            if (!(chunk[4] & 0x20)) return PNG_ERROR_UNSUPPORTED;
        }
        at += length + CHUNK_OVERHEAD;
    }
    s->position = src + at;
    return PNG_ERROR_NONE;
}

int32_t png_read_header(PngDecoderState* s)
{
    s->error = PNG_ERROR_NONE;
    s->position = s->header = s->palette = s->first_data = nullptr;
    s->palette_count = 0;
    const uint8_t* src = s->source;
    if (s->source_size < 16 || memcmp(src, png_signature, 8) != 0) return PNG_ERROR_CORRUPT;
    if (memcmp(src + 12, "IHDR", 4) != 0) return PNG_ERROR_CORRUPT;
    if (s->source_size < 16 + IHDR_DATA_BYTES) return PNG_ERROR_CORRUPT;
    s->header = src + 16;
    s->width = load_be32(s->header);
    s->height = load_be32(s->header + 4);
    if (!s->width || !s->height) return PNG_ERROR_CORRUPT;

    const int32_t walked = png_walk_chunks(s);
    if (walked) return walked;

    s->bit_depth = s->header[8];
    s->colour_type = s->header[9];
    s->interlace = s->header[12];
    if (!png_pair_is_legal(s->colour_type, s->bit_depth) || s->header[10] || s->header[11] || s->interlace > 1)
        return PNG_ERROR_UNSUPPORTED;
    if (s->colour_type == 3 && !s->palette_count) return PNG_ERROR_CORRUPT;

    const uint64_t filtered = png_filtered_size(s);
    const uint64_t dib = png_dib_stride(s->width, png_dib_bit_count(s->colour_type, s->bit_depth)) * s->height;
    if (filtered > PNG_MAX_IMAGE_BYTES || dib > PNG_MAX_DIB_BYTES) return PNG_ERROR_UNSUPPORTED;
    s->image_size = (uint32_t)filtered;
    return PNG_ERROR_NONE;
}

// ---------------------------------------------------------------------------------------------
// Inflate
//
// The input is a chain of segments: the data of consecutive IDAT chunks (or one contiguous
// zlib stream). Bits are read LSB first from a 64-bit buffer. Refills in the fast loop load 8
// bytes at once and are allowed only while 8 bytes remain in the segment; elsewhere bytes are
// fed one by one across segment boundaries, and zero bytes are fed past the end of the data
// and counted in `overrun`: a stream that consumes one of them is truncated.

struct InflateInput {
    const uint8_t* next;     // next unread byte of the current segment
    const uint8_t* end;      // end of the current segment
    const uint8_t* source;   // the PNG file, or null for a bare zlib stream
    uint32_t source_size;
    uint32_t chunk_after;    // offset in source of the chunk after the current segment's chunk
    uint32_t overrun;        // zero bytes fed beyond the end of the data
};

// Moves to the next non-empty IDAT chunk that directly follows; false at the end of the run.
bool inflate_next_segment(InflateInput* in)
{
    while (in->source) {
        const uint32_t at = in->chunk_after;
        if (in->source_size - at < CHUNK_OVERHEAD) return false;
        const uint8_t* chunk = in->source + at;
        const uint32_t length = load_be32(chunk);
        if (length > in->source_size - at - CHUNK_OVERHEAD || !chunk_is(chunk, "IDAT")) return false;
        in->next = chunk + 8;
        in->end = in->next + length;
        in->chunk_after = at + CHUNK_OVERHEAD + length;
        if (length) return true;
    }
    return false;
}

// Decoding table entries, one uint32 each:
//   bits 0-5   bits to consume: code length plus extra bits (main bits for a subtable link)
//   bit 7      two literals: the second in bits 24-31, and bits 8-11 hold the first's length
//   bits 8-11  code length (subtable size in bits for a subtable link)
//   bit 12     link to a subtable at `value`
//   bit 13     exceptional: end of block or an unassigned/invalid code
//   bit 14     end of block
//   bit 15     literal byte in `value`
//   bits 16-31 value: literal, length base, distance base or subtable start
// A symbol's value is value + (extra bits), taken as ((bits & mask(total)) >> code length).
constexpr uint32_t ENTRY_SUBTABLE = 1u << 12;
constexpr uint32_t ENTRY_EXCEPTIONAL = 1u << 13;
constexpr uint32_t ENTRY_END = 1u << 14;
constexpr uint32_t ENTRY_LITERAL = 1u << 15;
constexpr uint32_t ENTRY_INVALID = ENTRY_EXCEPTIONAL;
constexpr uint32_t ENTRY_DOUBLE = 1u << 7;

constexpr uint32_t LITLEN_MAIN_BITS = 11;
constexpr uint32_t DIST_MAIN_BITS = 8;
constexpr uint32_t CODELEN_MAIN_BITS = 7;
// Main table plus room for subtables; complete codes need far less than this, and the builder
// checks the bound for incomplete ones.
constexpr uint32_t LITLEN_CAPACITY = (1u << LITLEN_MAIN_BITS) * 2;
constexpr uint32_t DIST_CAPACITY = (1u << DIST_MAIN_BITS) * 4;
constexpr uint32_t MAX_CODE_BITS = 15;
constexpr uint32_t LITLEN_SYMBOLS = 288;
constexpr uint32_t DIST_SYMBOLS = 32;

const uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t dist_base[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t dist_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// Order in which a dynamic block sends the code lengths of the code length alphabet.
const uint8_t codelen_order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

static_assert(sizeof length_base / sizeof length_base[0] == 29, "29 length codes");
static_assert(sizeof dist_base / sizeof dist_base[0] == 30, "30 distance codes");

enum TableKind { TABLE_LITLEN, TABLE_DIST, TABLE_CODELEN };

// Entry of a symbol without its code length fields.
uint32_t symbol_entry(TableKind kind, uint32_t symbol)
{
    if (kind == TABLE_CODELEN) return symbol << 16;
    if (kind == TABLE_DIST) return symbol < 30 ? (uint32_t)dist_base[symbol] << 16 | dist_extra[symbol] : ENTRY_INVALID;
    if (symbol < 256) return ENTRY_LITERAL | symbol << 16;
    if (symbol == 256) return ENTRY_EXCEPTIONAL | ENTRY_END;
    if (symbol < 286) return (uint32_t)length_base[symbol - 257] << 16 | length_extra[symbol - 257];
    return ENTRY_INVALID;
}

uint32_t reverse_bits(uint32_t code, uint32_t length)
{
    uint32_t r = 0;
    for (uint32_t i = 0; i < length; i++, code >>= 1) r = r << 1 | (code & 1);
    return r;
}

// Builds a two-level table for the canonical code with the given lengths (0 = unused symbol).
// False for an over-subscribed code or when subtables would not fit.
bool inflate_build_table(uint32_t* table, uint32_t capacity, uint32_t main_bits, TableKind kind,
                         const uint8_t* lengths, uint32_t symbols)
{
    uint32_t counts[MAX_CODE_BITS + 1] = {};
    for (uint32_t s = 0; s < symbols; s++) counts[lengths[s]]++;
    counts[0] = 0;
    int32_t left = 1;
    for (uint32_t len = 1; len <= MAX_CODE_BITS; len++) {
        left = left * 2 - (int32_t)counts[len];
        if (left < 0) return false;
    }
    uint32_t offsets[MAX_CODE_BITS + 2] = {};
    for (uint32_t len = 1; len <= MAX_CODE_BITS; len++) offsets[len + 1] = offsets[len] + counts[len];
    uint16_t sorted[LITLEN_SYMBOLS];
    for (uint32_t s = 0; s < symbols; s++)
        if (lengths[s]) sorted[offsets[lengths[s]]++] = (uint16_t)s;

    const uint32_t main_size = 1u << main_bits;
    if (left > 0)
        for (uint32_t i = 0; i < main_size; i++) table[i] = ENTRY_INVALID;
    uint32_t remaining[MAX_CODE_BITS + 1];  // codes of each length not yet placed
    memcpy(remaining, counts, sizeof remaining);
    uint32_t code = 0, placed = 0, next_sub = main_size;
    uint32_t sub_prefix = UINT32_MAX, sub_start = 0, sub_bits = 0;
    for (uint32_t len = 1; len <= MAX_CODE_BITS; len++, code <<= 1) {
        for (uint32_t n = 0; n < counts[len]; n++, code++, remaining[len]--) {
            const uint32_t symbol = sorted[placed++];
            const uint32_t rev = reverse_bits(code, len);
            if (len <= main_bits) {
                const uint32_t entry = symbol_entry(kind, symbol) + len + (len << 8);
                for (uint32_t i = rev; i < main_size; i += 1u << len) table[i] = entry;
                continue;
            }
            const uint32_t prefix = rev & (main_size - 1);
            if (prefix != sub_prefix) {
                // Size the subtable for the codes still to come under this prefix.
                sub_bits = len - main_bits;
                int32_t room = 1 << sub_bits;
                while (sub_bits + main_bits < MAX_CODE_BITS) {
                    room -= (int32_t)remaining[sub_bits + main_bits];
                    if (room <= 0) break;
                    sub_bits++;
                    room <<= 1;
                }
                if (next_sub + (1u << sub_bits) > capacity) return false;
                sub_start = next_sub;
                next_sub += 1u << sub_bits;
                sub_prefix = prefix;
                table[prefix] = ENTRY_SUBTABLE | sub_start << 16 | sub_bits << 8 | main_bits;
                if (left > 0)
                    for (uint32_t i = 0; i < (1u << sub_bits); i++) table[sub_start + i] = ENTRY_INVALID;
            }
            const uint32_t sub_len = len - main_bits;
            const uint32_t entry = symbol_entry(kind, symbol) + sub_len + (sub_len << 8);
            for (uint32_t i = rev >> main_bits; i < (1u << sub_bits); i += 1u << sub_len) table[sub_start + i] = entry;
        }
    }
    return true;
}

// Merges pairs of short literal codes in the main table into one entry, so that the fast loop
// writes two literals per lookup. Descending order reads every second code before its own
// index is merged.
void inflate_pair_literals(uint32_t* table)
{
    for (uint32_t i = 1u << LITLEN_MAIN_BITS; i-- > 0;) {
        const uint32_t first = table[i];
        if ((first & (ENTRY_LITERAL | ENTRY_SUBTABLE)) != ENTRY_LITERAL) continue;
        const uint32_t first_len = first & 63;
        if (first_len >= LITLEN_MAIN_BITS) continue;
        const uint32_t second = table[i >> first_len];
        if ((second & (ENTRY_LITERAL | ENTRY_SUBTABLE | ENTRY_DOUBLE)) != ENTRY_LITERAL) continue;
        const uint32_t total = first_len + (second & 63);
        if (total > LITLEN_MAIN_BITS) continue;
        table[i] = ENTRY_LITERAL | ENTRY_DOUBLE | (first & 0xff0000) | (second & 0xff0000) << 8 | first_len << 8 | total;
    }
}

struct Inflater {
    uint64_t bits;       // unread bits, LSB first; bits above `count` are zero or the next input
    uint32_t count;      // valid bits in `bits`, at most 63
    InflateInput in;
    uint8_t* out_start;  // image buffer: output and window
    uint8_t* out_next;
    uint8_t* out_end;
    bool fixed_loaded;   // the tables hold the fixed codes
    uint32_t litlen[LITLEN_CAPACITY];
    uint32_t dist[DIST_CAPACITY];
};

// Fills the bit buffer to at least 56 bits; false once the stream is certainly truncated.
bool inflate_refill_slow(Inflater* z)
{
    while (z->count < 56) {
        uint64_t byte = 0;
        if (z->in.next != z->in.end || inflate_next_segment(&z->in))
            byte = *z->in.next++;
        else if (++z->in.overrun > 8)
            return false;
        z->bits |= byte << z->count;
        z->count += 8;
    }
    return true;
}

bool inflate_need(Inflater* z, uint32_t n) { return z->count >= n || inflate_refill_slow(z); }

uint32_t inflate_take(Inflater* z, uint32_t n)
{
    const uint32_t v = (uint32_t)(z->bits & ((1u << n) - 1));
    z->bits >>= n;
    z->count -= n;
    return v;
}

// A zero byte fed past the end has been consumed: the stream was cut short.
bool inflate_truncated(const Inflater* z) { return z->in.overrun * 8 > z->count; }

#if defined(__GNUC__)
#define PNG_INLINE inline __attribute__((always_inline))
#else
#define PNG_INLINE inline
#endif

PNG_INLINE uint32_t table_lookup(const uint32_t* table, uint32_t main_bits, uint64_t& bits, uint32_t& count)
{
    uint32_t entry = table[bits & ((1u << main_bits) - 1)];
    if (entry & ENTRY_SUBTABLE) {
        bits >>= main_bits;
        count -= main_bits;
        entry = table[(entry >> 16) + (bits & ((1u << ((entry >> 8) & 15)) - 1))];
    }
    return entry;
}

PNG_INLINE uint32_t entry_consume(uint32_t entry, uint64_t& bits, uint32_t& count)
{
    const uint32_t total = entry & 63;
    const uint32_t value = (entry >> 16) + (uint32_t)((bits & ((uint64_t(1) << total) - 1)) >> ((entry >> 8) & 15));
    bits >>= total;
    count -= total;
    return value;
}

// Copies a match whose source and destination may overlap; may write up to 15 bytes past
// out + length, which the caller guarantees lie inside the buffer.
PNG_INLINE void copy_match_fast(uint8_t* out, uint32_t distance, uint32_t length)
{
    const uint8_t* src = out - distance;
    uint8_t* const end = out + length;
    if (distance >= 8) {
        do {
            store_u64(out, load_u64(src));
            store_u64(out + 8, load_u64(src + 8));
            src += 16;
            out += 16;
        } while (out < end);
        return;
    }
    if (distance == 1) {
        const uint64_t v = 0x0101010101010101ull * *src;
        do {
            store_u64(out, v);
            store_u64(out + 8, v);
            out += 16;
        } while (out < end);
        return;
    }
    // Short period d: the bytes repeat with every multiple of d too, so after the first
    // (period - d) bytes the copy can run in words from `period` >= 8 bytes back.
    const uint32_t period = distance * ((8 + distance - 1) / distance);
    uint32_t i = 0;
    for (; i < period - distance; i++) out[i] = src[i];
    for (src = out + i - period, out += i; out < end; src += 8, out += 8) store_u64(out, load_u64(src));
}

// Decodes the symbols of one Huffman block up to its end-of-block code.
int32_t inflate_codes(Inflater* z)
{
    // Room for one fast step: the longest match plus the overshoot of word copies.
    constexpr ptrdiff_t FAST_OUT_ROOM = 258 + 16;
    const uint32_t* const litlen = z->litlen;
    const uint32_t* const dist = z->dist;
    uint8_t* const out_start = z->out_start;
    uint8_t* const out_end = z->out_end;
    uint8_t* out = z->out_next;
    uint64_t bits = z->bits;
    uint32_t count = z->count;
    const uint8_t* in = z->in.next;
    const uint8_t* in_end = z->in.end;

    for (;;) {
        // The next main-table entry is looked up as early as its bits are known: before a
        // match is copied, so that the load overlaps the copy. It is stale when it was looked
        // up with fewer valid bits than the main table uses.
        uint32_t entry = litlen[bits & ((1u << LITLEN_MAIN_BITS) - 1)];

        // ---- fast loop: at least 8 input bytes in the segment and room for a whole match
        while (in_end - in >= 8 && out_end - out >= FAST_OUT_ROOM) {
            const bool stale = count < LITLEN_MAIN_BITS;
            bits |= load_le64(in) << count;
            in += (63 - count) >> 3;
            count |= 56;  // 56 to 63 bits now; a length/distance pair needs at most 48
            if (stale) entry = litlen[bits & ((1u << LITLEN_MAIN_BITS) - 1)];
            if (entry & ENTRY_SUBTABLE) {
                bits >>= LITLEN_MAIN_BITS;
                count -= LITLEN_MAIN_BITS;
                entry = litlen[(entry >> 16) + (bits & ((1u << ((entry >> 8) & 15)) - 1))];
            }
            if (entry & ENTRY_LITERAL) {
                // One or two literals per entry; the second byte is always stored (room is
                // guaranteed) and kept only for a double entry. Up to three entries: 15 + 11 +
                // 11 bits at most.
                for (int k = 0;;) {
                    bits >>= entry & 63;  // the mask lets x86 shift by the entry directly
                    count -= entry & 63;
                    out[0] = (uint8_t)(entry >> 16);
                    out[1] = (uint8_t)(entry >> 24);
                    out += 1 + ((entry >> 7) & 1);
                    entry = litlen[bits & ((1u << LITLEN_MAIN_BITS) - 1)];
                    if (++k == 3 || !(entry & ENTRY_LITERAL)) break;
                }
                continue;
            }
            if (entry & ENTRY_EXCEPTIONAL) {
                if (!(entry & ENTRY_END)) return PNG_ERROR_CORRUPT;
                bits >>= entry & 63;
                count -= entry & 63;
                goto block_done;
            }
            const uint32_t length = entry_consume(entry, bits, count);
            const uint32_t dist_entry = table_lookup(dist, DIST_MAIN_BITS, bits, count);
            if (dist_entry & ENTRY_EXCEPTIONAL) return PNG_ERROR_CORRUPT;
            const uint32_t distance = entry_consume(dist_entry, bits, count);
            if (distance > (size_t)(out - out_start)) return PNG_ERROR_CORRUPT;
            entry = litlen[bits & ((1u << LITLEN_MAIN_BITS) - 1)];
            copy_match_fast(out, distance, length);
            out += length;
        }

        // ---- careful step: one symbol, bytes fed one by one, exact copies
        z->bits = bits;
        z->count = count;
        z->in.next = in;
        if (!inflate_refill_slow(z)) return PNG_ERROR_CORRUPT;
        bits = z->bits;
        count = z->count;
        in = z->in.next;
        in_end = z->in.end;
        entry = table_lookup(litlen, LITLEN_MAIN_BITS, bits, count);
        if (entry & ENTRY_EXCEPTIONAL) {
            if (!(entry & ENTRY_END)) return PNG_ERROR_CORRUPT;
            bits >>= entry & 63;
            count -= entry & 63;
            goto block_done;
        }
        if (out == out_end) return PNG_ERROR_CORRUPT;
        if (entry & ENTRY_LITERAL) {
            // Only the first literal of a double entry: the second may not fit.
            const uint32_t length = (entry >> 8) & 15;
            bits >>= length;
            count -= length;
            *out++ = (uint8_t)(entry >> 16);
            continue;
        }
        const uint32_t value = entry_consume(entry, bits, count);
        entry = table_lookup(dist, DIST_MAIN_BITS, bits, count);
        if (entry & ENTRY_EXCEPTIONAL) return PNG_ERROR_CORRUPT;
        const uint32_t distance = entry_consume(entry, bits, count);
        if (distance > (size_t)(out - out_start) || value > (size_t)(out_end - out)) return PNG_ERROR_CORRUPT;
        const uint8_t* src = out - distance;
        for (uint32_t i = 0; i < value; i++) out[i] = src[i];
        out += value;
    }

block_done:
    z->bits = bits;
    z->count = count;
    z->in.next = in;
    z->out_next = out;
    return inflate_truncated(z) ? PNG_ERROR_CORRUPT : PNG_ERROR_NONE;
}

int32_t inflate_stored(Inflater* z)
{
    const uint32_t skip = z->count & 7;
    z->bits >>= skip;
    z->count -= skip;
    if (!inflate_need(z, 32)) return PNG_ERROR_CORRUPT;
    uint32_t length = inflate_take(z, 16);
    const uint32_t check = inflate_take(z, 16);
    if (length != (~check & 0xffff) || inflate_truncated(z)) return PNG_ERROR_CORRUPT;
    if (length > (size_t)(z->out_end - z->out_next)) return PNG_ERROR_CORRUPT;
    // Bytes already in the bit buffer first, then straight from the segments.
    for (; length && z->count >= 8; length--) *z->out_next++ = (uint8_t)inflate_take(z, 8);
    if (inflate_truncated(z)) return PNG_ERROR_CORRUPT;
    if (!length) return PNG_ERROR_NONE;
    z->bits = 0;  // drop the look-ahead copy of the bytes now copied directly
    while (length) {
        if (z->in.next == z->in.end && !inflate_next_segment(&z->in)) return PNG_ERROR_CORRUPT;
        const size_t avail = (size_t)(z->in.end - z->in.next);
        const uint32_t n = avail < length ? (uint32_t)avail : length;
        memcpy(z->out_next, z->in.next, n);
        z->out_next += n;
        z->in.next += n;
        length -= n;
    }
    return PNG_ERROR_NONE;
}

int32_t inflate_load_fixed(Inflater* z)
{
    if (z->fixed_loaded) return PNG_ERROR_NONE;
    uint8_t lengths[LITLEN_SYMBOLS];
    memset(lengths, 8, 144);
    memset(lengths + 144, 9, 112);
    memset(lengths + 256, 7, 24);
    memset(lengths + 280, 8, 8);
    uint8_t dist_lengths[DIST_SYMBOLS];
    memset(dist_lengths, 5, sizeof dist_lengths);
    if (!inflate_build_table(z->litlen, LITLEN_CAPACITY, LITLEN_MAIN_BITS, TABLE_LITLEN, lengths, LITLEN_SYMBOLS) ||
        !inflate_build_table(z->dist, DIST_CAPACITY, DIST_MAIN_BITS, TABLE_DIST, dist_lengths, DIST_SYMBOLS))
        return PNG_ERROR_CORRUPT;
    inflate_pair_literals(z->litlen);
    z->fixed_loaded = true;
    return PNG_ERROR_NONE;
}

// Reads the code lengths of a dynamic block and builds its tables.
int32_t inflate_load_dynamic(Inflater* z)
{
    z->fixed_loaded = false;
    if (!inflate_need(z, 14)) return PNG_ERROR_CORRUPT;
    const uint32_t litlen_count = inflate_take(z, 5) + 257;
    const uint32_t dist_count = inflate_take(z, 5) + 1;
    const uint32_t codelen_count = inflate_take(z, 4) + 4;
    if (litlen_count > 286 || dist_count > 30) return PNG_ERROR_CORRUPT;

    uint8_t codelen_lengths[19] = {};
    for (uint32_t i = 0; i < codelen_count; i++) {
        if (!inflate_need(z, 3)) return PNG_ERROR_CORRUPT;
        codelen_lengths[codelen_order[i]] = (uint8_t)inflate_take(z, 3);
    }
    uint32_t codelen_table[1u << CODELEN_MAIN_BITS];
    if (!inflate_build_table(codelen_table, 1u << CODELEN_MAIN_BITS, CODELEN_MAIN_BITS, TABLE_CODELEN,
                             codelen_lengths, 19))
        return PNG_ERROR_CORRUPT;

    uint8_t lengths[286 + 30];
    const uint32_t total = litlen_count + dist_count;
    for (uint32_t i = 0; i < total;) {
        if (!inflate_need(z, CODELEN_MAIN_BITS + 7)) return PNG_ERROR_CORRUPT;
        const uint32_t entry = codelen_table[z->bits & ((1u << CODELEN_MAIN_BITS) - 1)];
        if (entry & ENTRY_EXCEPTIONAL) return PNG_ERROR_CORRUPT;
        inflate_take(z, entry & 0xff);
        const uint32_t symbol = entry >> 16;
        if (symbol < 16) {
            lengths[i++] = (uint8_t)symbol;
            continue;
        }
        uint32_t repeat;
        uint8_t value = 0;
        if (symbol == 16) {
            if (i == 0) return PNG_ERROR_CORRUPT;
            value = lengths[i - 1];
            repeat = 3 + inflate_take(z, 2);
        } else if (symbol == 17) {
            repeat = 3 + inflate_take(z, 3);
        } else {
            repeat = 11 + inflate_take(z, 7);
        }
        if (repeat > total - i) return PNG_ERROR_CORRUPT;
        memset(lengths + i, value, repeat);
        i += repeat;
    }
    if (inflate_truncated(z) || !lengths[256]) return PNG_ERROR_CORRUPT;
    if (!inflate_build_table(z->litlen, LITLEN_CAPACITY, LITLEN_MAIN_BITS, TABLE_LITLEN, lengths, litlen_count) ||
        !inflate_build_table(z->dist, DIST_CAPACITY, DIST_MAIN_BITS, TABLE_DIST, lengths + litlen_count, dist_count))
        return PNG_ERROR_CORRUPT;
    inflate_pair_literals(z->litlen);
    return PNG_ERROR_NONE;
}

// Whole-buffer zlib inflate from the input chain into [out_start, out_end).
int32_t inflate_stream(Inflater* z)
{
    if (!inflate_need(z, 16)) return PNG_ERROR_CORRUPT;
    const uint32_t cmf = inflate_take(z, 8);
    const uint32_t flg = inflate_take(z, 8);
    // Method 8 (deflate), window of at most 32 KiB, no preset dictionary; FCHECK is not used.
    if ((cmf & 15) != 8 || (cmf >> 4) > 7 || (flg & 0x20) || inflate_truncated(z)) return PNG_ERROR_CORRUPT;
    for (;;) {
        if (!inflate_need(z, 3)) return PNG_ERROR_CORRUPT;
        const uint32_t final = inflate_take(z, 1);
        const uint32_t type = inflate_take(z, 2);
        int32_t error;
        switch (type) {
        case 0: error = inflate_stored(z); break;
        case 1: error = inflate_load_fixed(z); break;
        case 2: error = inflate_load_dynamic(z); break;
        default: error = PNG_ERROR_CORRUPT; break;
        }
        if (!error && type != 0) error = inflate_codes(z);
        if (error) return error;
        if (final) return inflate_truncated(z) ? PNG_ERROR_CORRUPT : PNG_ERROR_NONE;
    }
}

Inflater* inflater_new(uint8_t* out, uint32_t out_size)
{
    Inflater* z = (Inflater*)malloc(sizeof(Inflater));
    if (!z) return nullptr;
    z->bits = 0;
    z->count = 0;
    memset(&z->in, 0, sizeof z->in);
    z->out_start = z->out_next = out;
    z->out_end = out + out_size;
    z->fixed_loaded = false;
    return z;
}

// ---------------------------------------------------------------------------------------------
// Unfiltering

uint8_t paeth(uint8_t a, uint8_t b, uint8_t c)
{
    const int pa = abs(b - c), pb = abs(a - c), pc = abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

#if defined(__SSE2__) && !defined(PNG_NO_SIMD)
// Sub, Average and Paeth for pixels of 2 to 8 bytes, one pixel per step in 16-bit lanes. The
// dependency on the pixel to the left is inherent, but all bytes of a pixel go at once.
// Pixels move in 4 or 8 bytes at once; the bytes beyond a pixel are either rewritten by the
// next pixel or fall into the slack at the end of the image and row buffers.
constexpr uint32_t ROW_SLACK = 8;

template <int Bpp>
PNG_INLINE __m128i load_pixel(const uint8_t* p)
{
    __m128i v;
    if (Bpp <= 4) {
        int32_t word;
        memcpy(&word, p, 4);
        v = _mm_cvtsi32_si128(word);
    } else {
        v = _mm_loadl_epi64((const __m128i*)p);
    }
    return _mm_unpacklo_epi8(v, _mm_setzero_si128());
}

template <int Bpp>
PNG_INLINE void store_pixel(uint8_t* p, __m128i lanes)
{
    const __m128i bytes = _mm_packus_epi16(lanes, lanes);
    if (Bpp <= 4) {
        const int32_t word = _mm_cvtsi128_si32(bytes);
        memcpy(p, &word, 4);
    } else {
        _mm_storel_epi64((__m128i*)p, bytes);
    }
}

PNG_INLINE __m128i abs_epi16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

PNG_INLINE __m128i select_epi16(__m128i mask, __m128i if_set, __m128i if_clear)
{
    return _mm_or_si128(_mm_and_si128(mask, if_set), _mm_andnot_si128(mask, if_clear));
}

template <int Bpp>
void unfilter_pixels_sse2(uint8_t filter, uint8_t* cur, const uint8_t* line, const uint8_t* prev, uint32_t n)
{
    const __m128i low_bytes = _mm_set1_epi16(0xff);
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    if (filter == 1) {
        for (uint32_t i = 0; i < n; i += Bpp) {
            a = _mm_and_si128(_mm_add_epi16(load_pixel<Bpp>(line + i), a), low_bytes);
            store_pixel<Bpp>(cur + i, a);
        }
    } else if (filter == 3) {
        for (uint32_t i = 0; i < n; i += Bpp) {
            const __m128i b = load_pixel<Bpp>(prev + i);
            const __m128i average = _mm_srli_epi16(_mm_add_epi16(a, b), 1);
            a = _mm_and_si128(_mm_add_epi16(load_pixel<Bpp>(line + i), average), low_bytes);
            store_pixel<Bpp>(cur + i, a);
        }
    } else {
        for (uint32_t i = 0; i < n; i += Bpp) {
            const __m128i b = load_pixel<Bpp>(prev + i);
            const __m128i pa_signed = _mm_sub_epi16(b, c), pb_signed = _mm_sub_epi16(a, c);
            const __m128i pa = abs_epi16(pa_signed), pb = abs_epi16(pb_signed);
            const __m128i pc = abs_epi16(_mm_add_epi16(pa_signed, pb_signed));
            // a when pa <= pb and pa <= pc, else b when pb <= pc, else c.
            const __m128i b_or_c = select_epi16(_mm_cmpgt_epi16(pb, pc), c, b);
            const __m128i predictor = select_epi16(_mm_cmpgt_epi16(pa, _mm_min_epi16(pb, pc)), b_or_c, a);
            a = _mm_and_si128(_mm_add_epi16(load_pixel<Bpp>(line + i), predictor), low_bytes);
            c = b;
            store_pixel<Bpp>(cur + i, a);
        }
    }
}
#else
constexpr uint32_t ROW_SLACK = 0;
#endif

// Undoes one row's filter into cur; prev is the unfiltered row above (zeros for the first).
// n is a whole number of pixels of d bytes when d > 1.
bool png_unfilter_row(uint8_t filter, uint8_t* cur, const uint8_t* line, const uint8_t* prev, uint32_t n, uint32_t d)
{
    if (filter > 4) return false;
    if (filter == 2) {
        for (uint32_t i = 0; i < n; i++) cur[i] = (uint8_t)(line[i] + prev[i]);
        return true;
    }
#if defined(__SSE2__) && !defined(PNG_NO_SIMD)
    if (filter != 0) switch (d) {
        case 2: unfilter_pixels_sse2<2>(filter, cur, line, prev, n); return true;
        case 3: unfilter_pixels_sse2<3>(filter, cur, line, prev, n); return true;
        case 4: unfilter_pixels_sse2<4>(filter, cur, line, prev, n); return true;
        case 6: unfilter_pixels_sse2<6>(filter, cur, line, prev, n); return true;
        case 8: unfilter_pixels_sse2<8>(filter, cur, line, prev, n); return true;
        }
#endif
    uint32_t i;
    switch (filter) {
    case 1:
        for (i = 0; i < d && i < n; i++) cur[i] = line[i];
        for (; i < n; i++) cur[i] = (uint8_t)(line[i] + cur[i - d]);
        return true;
    case 3:
        for (i = 0; i < d && i < n; i++) cur[i] = (uint8_t)(line[i] + (prev[i] >> 1));
        for (; i < n; i++) cur[i] = (uint8_t)(line[i] + ((cur[i - d] + prev[i]) >> 1));
        return true;
    case 4:
        for (i = 0; i < d && i < n; i++) cur[i] = (uint8_t)(line[i] + prev[i]);
        for (; i < n; i++) cur[i] = (uint8_t)(line[i] + paeth(cur[i - d], prev[i], prev[i - d]));
        return true;
    }
    memcpy(cur, line, n);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Conversion of an unfiltered row of `n` pixels into DIB pixels

typedef void (*PngConvert)(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t row_bytes);

void convert_copy(const uint8_t* src, uint8_t* dst, uint32_t, uint32_t row_bytes) { memcpy(dst, src, row_bytes); }

// Each 2-bit sample becomes a 4-bit one of the same value.
void convert_widen_2_to_4(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t)
{
    for (uint32_t i = 0; i < (n + 1) / 2; i++) {
        const uint32_t b = src[i / 2] >> (i & 1 ? 0 : 4);
        dst[i] = (uint8_t)(((b >> 2) & 3) << 4 | (b & 3));
    }
}

template <int Step, int Offset>
void convert_pick(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t)
{
    for (uint32_t i = 0; i < n; i++) dst[i] = src[i * Step + Offset];
}

void convert_rgb8(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t)
{
    for (uint32_t i = 0; i < n; i++, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
    }
}

void convert_rgb16(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t)
{
    for (uint32_t i = 0; i < n; i++, src += 6, dst += 3) {
        dst[0] = src[4];
        dst[1] = src[2];
        dst[2] = src[0];
    }
}

void convert_rgba8(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t)
{
    for (uint32_t i = 0; i < n; i++, src += 4, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = src[3];
    }
}

void convert_rgba16(const uint8_t* src, uint8_t* dst, uint32_t n, uint32_t)
{
    for (uint32_t i = 0; i < n; i++, src += 8, dst += 4) {
        dst[0] = src[4];
        dst[1] = src[2];
        dst[2] = src[0];
        dst[3] = src[6];
    }
}

PngConvert png_converter(uint8_t colour_type, uint8_t depth)
{
    switch (colour_type) {
    case 2: return depth == 8 ? convert_rgb8 : convert_rgb16;
    case 6: return depth == 8 ? convert_rgba8 : convert_rgba16;
    case 4: return depth == 8 ? convert_pick<2, 0> : convert_pick<4, 0>;
    }
    if (depth == 2) return convert_widen_2_to_4;
    if (depth == 16) return convert_pick<2, 0>;
    return convert_copy;
}

// Zeroes the bits of the last used byte beyond `n` pixels and the row padding.
void dib_clear_tail(uint8_t* row, uint32_t n, uint32_t bit_count, uint32_t stride)
{
    const uint64_t used_bits = (uint64_t)n * bit_count;
    const uint32_t full = (uint32_t)(used_bits / 8), partial = (uint32_t)(used_bits % 8);
    if (partial) row[full] &= (uint8_t)(0xff00u >> partial);
    const uint32_t used = full + (partial ? 1 : 0);
    memset(row + used, 0, stride - used);
}

// Places pixel i of a converted pass row at column x of a DIB row (pre-cleared below 8 bits).
void dib_scatter(const uint8_t* src, uint8_t* dst, uint32_t n, const PngPass& pass, uint32_t bit_count)
{
    uint32_t x = pass.x0;
    switch (bit_count) {
    case 1:
        for (uint32_t i = 0; i < n; i++, x += pass.dx)
            dst[x >> 3] |= (uint8_t)(((src[i >> 3] >> (7 - (i & 7))) & 1) << (7 - (x & 7)));
        return;
    case 4:
        for (uint32_t i = 0; i < n; i++, x += pass.dx)
            dst[x >> 1] |= (uint8_t)(((src[i >> 1] >> (i & 1 ? 0 : 4)) & 15) << (x & 1 ? 0 : 4));
        return;
    case 8:
        for (uint32_t i = 0; i < n; i++, x += pass.dx) dst[x] = src[i];
        return;
    default: {
        const uint32_t bytes = bit_count / 8;
        for (uint32_t i = 0; i < n; i++, x += pass.dx) memcpy(dst + (size_t)x * bytes, src + (size_t)i * bytes, bytes);
    }
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Operations

void png_reset(PngDecoderState* state) { memset(state, 0, sizeof *state); }

int png_open_memory(PngDecoderState* state, const void* data, uint32_t size)
{
    if (state->stage != PNG_STAGE_EMPTY || state->source_kind != PNG_SOURCE_NONE || state->source)
        return fail(state, PNG_ERROR_BUSY);
    state->source = (const uint8_t*)data;
    state->source_size = size;
    state->source_kind = PNG_SOURCE_BORROWED;
    const int32_t error = png_read_header(state);
    if (error) {
        state->source = nullptr;
        state->source_size = 0;
        state->source_kind = PNG_SOURCE_NONE;
        return fail(state, error);
    }
    state->stage = PNG_STAGE_HEADER;
    return TRUE_;
}

int png_inflate_image(PngDecoderState* state)
{
    if (state->stage != PNG_STAGE_HEADER) return fail(state, PNG_ERROR_STAGE);
    // Slack after the image lets the unfilter load whole words at the end of the last row.
    uint8_t* image = (uint8_t*)malloc((size_t)state->image_size + ROW_SLACK + 1);
    Inflater* z = image ? inflater_new(image, state->image_size) : nullptr;
    if (!z) {
        free(image);
        return fail(state, PNG_ERROR_NO_MEMORY);
    }
    if (state->first_data) {
        z->in.source = state->source;
        z->in.source_size = state->source_size;
        // Start with an empty segment that ends where the first IDAT chunk begins.
        z->in.chunk_after = (uint32_t)(state->first_data - state->source);
        z->in.next = z->in.end = state->first_data;
    }
    const int32_t error = inflate_stream(z);
    if (!error) memset(z->out_next, 0, (size_t)(z->out_end - z->out_next) + ROW_SLACK);
    free(z);
    if (error) {
        free(image);
        return fail(state, error);
    }
    state->image = image;
    state->stage = PNG_STAGE_INFLATED;
    return TRUE_;
}

int32_t png_inflate_zlib(const uint8_t* in, uint32_t in_size, uint8_t* out, uint32_t out_size, uint32_t* written)
{
    Inflater* z = inflater_new(out, out_size);
    if (!z) return PNG_ERROR_NO_MEMORY;
    z->in.next = in;
    z->in.end = in + in_size;
    const int32_t error = inflate_stream(z);
    *written = (uint32_t)(z->out_next - out);
    free(z);
    return error;
}

int png_dib_format(PngDecoderState* state, PngDibFormat* format)
{
    if (state->stage != PNG_STAGE_INFLATED) return fail(state, PNG_ERROR_STAGE);
    memset(format, 0, sizeof *format);
    format->bit_count = png_dib_bit_count(state->colour_type, state->bit_depth);
    format->stride = (uint32_t)png_dib_stride(state->width, format->bit_count);
    format->size = format->stride * state->height;  // bounded by PNG_MAX_DIB_BYTES at open
    if (state->colour_type == 0 || state->colour_type == 4) {
        const uint32_t n = state->bit_depth == 2 ? 4 : state->bit_depth == 16 ? 256 : 1u << format->bit_count;
        for (uint32_t i = 0; i < n; i++) {
            const uint8_t grey = (uint8_t)(i * 255 / (n - 1));
            format->colour_table[i][0] = format->colour_table[i][1] = format->colour_table[i][2] = grey;
        }
        format->colours_used = format->table_entries = n;
    } else if (state->colour_type == 3) {
        const uint32_t n = state->palette_count < 256 ? state->palette_count : 256;
        for (uint32_t i = 0; i < n; i++) {
            format->colour_table[i][0] = state->palette[3 * i + 2];
            format->colour_table[i][1] = state->palette[3 * i + 1];
            format->colour_table[i][2] = state->palette[3 * i];
        }
        format->table_entries = n;
    }
    return TRUE_;
}

int png_write_dib_pixels(PngDecoderState* state, const PngDibFormat* format, uint8_t* pixels)
{
    if (state->stage != PNG_STAGE_INFLATED) return fail(state, PNG_ERROR_STAGE);
    const uint32_t bpp_bits = png_channels(state->colour_type) * state->bit_depth;
    const uint32_t distance = bpp_bits >= 8 ? bpp_bits / 8 : 1;
    const uint32_t max_row = (uint32_t)png_row_bytes(state->width, bpp_bits);  // within image_size
    const PngConvert convert = png_converter(state->colour_type, state->bit_depth);
    const uint32_t bit_count = format->bit_count;

    // Two alternating unfiltered rows, and for Adam7 one converted pass row.
    const size_t row_size = (size_t)max_row + ROW_SLACK;
    const size_t buffer_size = row_size * 2 + (state->interlace ? format->stride : 0);
    uint8_t* buffer = (uint8_t*)calloc(buffer_size, 1);
    if (!buffer) return fail(state, PNG_ERROR_NO_MEMORY);
    uint8_t* rows[2] = {buffer, buffer + row_size};
    uint8_t* pass_row = buffer + 2 * row_size;
    if (state->interlace) memset(pixels, 0, format->size);

    const uint8_t* data = state->image;
    const int passes = state->interlace ? 7 : 1;
    for (int p = 0; p < passes; p++) {
        const PngPass& pass = state->interlace ? adam7_passes[p] : whole_image_pass;
        const uint32_t w = pass_extent(state->width, pass.x0, pass.dx);
        const uint32_t h = pass_extent(state->height, pass.y0, pass.dy);
        if (!w || !h) continue;
        const uint32_t n = (uint32_t)png_row_bytes(w, bpp_bits);
        memset(rows[0], 0, n);
        const uint8_t* prev = rows[0];
        int next = 1;
        for (uint32_t r = 0; r < h; r++) {
            const uint8_t filter = data[0];
            const uint8_t* line = data + 1;
            data += 1 + (size_t)n;
            const uint8_t* cur = line;  // a None row is read in place
            if (filter) {
                if (!png_unfilter_row(filter, rows[next], line, prev, n, distance)) {
                    free(buffer);
                    return fail(state, PNG_ERROR_CORRUPT);
                }
                cur = rows[next];
                next ^= 1;
            }
            prev = cur;
            uint8_t* dib_row = pixels + (size_t)(pass.y0 + (size_t)r * pass.dy) * format->stride;
            if (!state->interlace) {
                convert(cur, dib_row, w, n);
                dib_clear_tail(dib_row, w, bit_count, format->stride);
            } else {
                convert(cur, pass_row, w, n);
                dib_scatter(pass_row, dib_row, w, pass, bit_count);
            }
        }
    }
    free(buffer);
    return TRUE_;
}

void png_free(PngDecoderState* state)
{
    if (state->stage == PNG_STAGE_INFLATED) free(state->image);
    png_reset(state);
}
