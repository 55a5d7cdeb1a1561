#include "quiz/lzw.h"

#include "app/message.h"

#include <cstdlib>
#include <cstring>

static_assert(LZW_MAX_CODE + 1 == 1 << 12, "codes must index a 4096-entry dictionary");
static_assert(LZW_FIRST_FREE_CODE == LZW_CODE_RESET + 1, "strings follow the control codes");

namespace {

// One dictionary entry: its own heap copy of its whole string, so a code is copied out in one
// piece. Entries 0..255 hold their byte; 256..258 hold nothing.
struct LzwEntry {
    uint8_t* bytes;
    uint16_t length;
};

// The decoder context, set up afresh by every call and released at its end.
struct LzwContext {
    // Input. The window covers the whole input once filled; a second refill means the input is
    // exhausted. Positions are int32 so that an input above 65535 bytes is read whole.
    const uint8_t* in;
    int32_t in_len;
    int32_t window_len;
    int32_t window_pos;
    bool window_filled;

    // Unread bits of the current byte, left-aligned, and their number (0..7).
    uint8_t bit_buffer;
    uint8_t bit_count;

    LzwEntry* entries;   // LZW_MAX_CODE + 1 entries, indexed by code
    uint16_t next_free;  // code the next definition takes; at most LZW_MAX_CODE + 1
    uint8_t width;       // bits per code; a read above LZW_MAX_WIDTH fails

    // The string of the last data code, written out one step late.
    uint8_t* pending;    // LZW_MAX_STRING bytes
    uint16_t pending_len;
    // The next definition is built here before it gets its own copy.
    uint8_t* work;       // LZW_MAX_STRING bytes

    uint8_t* out;        // LZW_OUTPUT_CAPACITY bytes, zero-filled, owned by the caller
    int32_t out_len;     // bytes produced so far
};

LzwContext lzw_context;
LzwAllocFn lzw_alloc = std::calloc;

// Frees the dictionary with all its strings and the two work buffers; never the output.
void lzw_release(LzwContext& ctx)
{
    if (ctx.entries) {
        for (int code = 0; code <= LZW_MAX_CODE; ++code)
            std::free(ctx.entries[code].bytes);
        std::free(ctx.entries);
        ctx.entries = nullptr;
    }
    std::free(ctx.pending);
    ctx.pending = nullptr;
    std::free(ctx.work);
    ctx.work = nullptr;
}

bool lzw_setup(LzwContext& ctx, const uint8_t* in, int32_t in_len)
{
    ctx = LzwContext{};
    ctx.in = in;
    ctx.in_len = in_len;
    ctx.next_free = LZW_FIRST_FREE_CODE;
    ctx.entries = static_cast<LzwEntry*>(lzw_alloc(LZW_MAX_CODE + 1, sizeof(LzwEntry)));
    ctx.pending = static_cast<uint8_t*>(lzw_alloc(LZW_MAX_STRING, 1));
    ctx.work = static_cast<uint8_t*>(lzw_alloc(LZW_MAX_STRING, 1));
    if (!ctx.entries || !ctx.pending || !ctx.work)
        return false;
    for (int byte = 0; byte < 256; ++byte) {
        uint8_t* copy = static_cast<uint8_t*>(lzw_alloc(1, 1));
        if (!copy)
            return false;
        copy[0] = static_cast<uint8_t>(byte);
        ctx.entries[byte] = LzwEntry{copy, 1};
    }
    return true;
}

// Takes the next input byte; fails once the input is exhausted (or empty).
bool lzw_next_byte(LzwContext& ctx, uint8_t* byte)
{
    if (ctx.window_pos >= ctx.window_len) {
        if (ctx.window_filled || ctx.in_len <= 0)
            return false;
        ctx.window_filled = true;
        ctx.window_len = ctx.in_len;
        ctx.window_pos = 0;
    }
    *byte = ctx.in[ctx.window_pos++];
    return true;
}

// Reads the next n bits, most significant first. On failure the bits gathered so far stay in
// *code, which lets a stream end on a truncated end code.
bool read_code(LzwContext& ctx, int n, uint32_t* code)
{
    if (n > LZW_MAX_WIDTH)
        return false;
    *code = static_cast<uint32_t>(ctx.bit_buffer >> (8 - ctx.bit_count));
    n -= ctx.bit_count;
    ctx.bit_buffer = 0;
    ctx.bit_count = 0;
    uint8_t byte;
    for (; n >= 8; n -= 8) {
        if (!lzw_next_byte(ctx, &byte))
            return false;
        *code = (*code << 8) | byte;
    }
    if (n == 0)
        return true;
    if (!lzw_next_byte(ctx, &byte))
        return false;
    *code = (*code << n) | static_cast<uint32_t>(byte >> (8 - n));
    ctx.bit_buffer = static_cast<uint8_t>(byte << n);
    ctx.bit_count = static_cast<uint8_t>(8 - n);
    return true;
}

bool lzw_emit_pending(LzwContext& ctx)
{
    if (ctx.pending_len > LZW_OUTPUT_CAPACITY - ctx.out_len)
        return false;
    std::memcpy(ctx.out + ctx.out_len, ctx.pending, ctx.pending_len);
    ctx.out_len += ctx.pending_len;
    return true;
}

// Defines the next free code as the pending string plus first_byte.
int lzw_define(LzwContext& ctx, uint8_t first_byte)
{
    if (ctx.next_free > LZW_MAX_CODE || ctx.pending_len >= LZW_MAX_STRING)
        return LZW_BAD_CODE;
    const uint16_t length = static_cast<uint16_t>(ctx.pending_len + 1);
    std::memcpy(ctx.work, ctx.pending, ctx.pending_len);
    ctx.work[ctx.pending_len] = first_byte;
    LzwEntry& entry = ctx.entries[ctx.next_free];
    std::free(entry.bytes);
    entry = LzwEntry{static_cast<uint8_t*>(lzw_alloc(length, 1)), 0};
    if (!entry.bytes)
        return LZW_NO_MEMORY;
    std::memcpy(entry.bytes, ctx.work, length);
    entry.length = length;
    ++ctx.next_free;
    return LZW_OK;
}

// A data code: define the next entry, write the pending string, make code the pending string.
int lzw_on_data_code(LzwContext& ctx, uint32_t code)
{
    if (code > ctx.next_free)
        return LZW_BAD_CODE;
    // code == next_free is the string being defined right now: pending plus its own first byte.
    const uint8_t first_byte = code == ctx.next_free ? ctx.pending[0] : ctx.entries[code].bytes[0];
    const int status = lzw_define(ctx, first_byte);
    if (status != LZW_OK)
        return status;
    if (!lzw_emit_pending(ctx))
        return LZW_BAD_CODE;
    const LzwEntry& entry = ctx.entries[code];
    std::memcpy(ctx.pending, entry.bytes, entry.length);
    ctx.pending_len = entry.length;
    return LZW_OK;
}

// Everything after the first code, up to the end code or a failure.
int lzw_decode_codes(LzwContext& ctx)
{
    for (;;) {
        uint32_t code = 0;
        if (!read_code(ctx, ctx.width, &code) && code != LZW_CODE_END)
            return LZW_BAD_CODE;
        switch (code) {
        case LZW_CODE_END:
            return lzw_emit_pending(ctx) ? LZW_OK : LZW_BAD_CODE;
        case LZW_CODE_WIDEN:
            // Never beyond LZW_MAX_WIDTH + 1: the read at that width fails and ends the decode.
            ++ctx.width;
            break;
        case LZW_CODE_RESET:
            // The pending string survives: the next data code defines 259 from it.
            ctx.next_free = LZW_FIRST_FREE_CODE;
            ctx.width = LZW_MIN_WIDTH;
            break;
        default: {
            const int status = lzw_on_data_code(ctx, code);
            if (status != LZW_OK)
                return status;
        }
        }
    }
}

int lzw_run(LzwContext& ctx)
{
    ctx.width = LZW_MIN_WIDTH;
    uint32_t first = 0;
    if (!read_code(ctx, ctx.width, &first))
        return LZW_NO_FIRST_CODE;
    // The first code is always a literal: only its low 8 bits count, even for 256..258.
    ctx.pending[0] = static_cast<uint8_t>(first);
    ctx.pending_len = 1;
    return lzw_decode_codes(ctx);
}

} // namespace

void lzw_set_allocator(LzwAllocFn fn)
{
    lzw_alloc = fn ? fn : std::calloc;
}

int lzw_decode(const uint8_t* in, int32_t in_len, uint8_t** out, int32_t* out_len)
{
    LzwContext& ctx = lzw_context;
    if (!lzw_setup(ctx, in, in_len)) {
        lzw_release(ctx);
        return LZW_NO_MEMORY;
    }
    ctx.out = static_cast<uint8_t*>(lzw_alloc(LZW_OUTPUT_CAPACITY, 1));
    if (!ctx.out) {
        show_message("Impossible d'allouer la memoire", "Information");
        lzw_release(ctx);
        return LZW_NO_MEMORY;
    }
    const int status = lzw_run(ctx);
    *out = ctx.out;
    *out_len = ctx.out_len + 2;
    lzw_release(ctx);
    return status;
}
