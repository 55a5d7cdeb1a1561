#include "pack/lzw_encode.h"

#include "quiz/lzw.h"

#include <cstring>
#include <memory>
#include <utility>

namespace {

// Longest string a code may stand for: the decoder defines pending + one byte after it, and
// that must still fit its LZW_MAX_STRING-byte buffers.
constexpr size_t LZW_MAX_MATCH = LZW_MAX_STRING - 1;

// The dictionary as a trie of (prefix code, next byte) -> code in an open-addressed hash table;
// 8192 slots keep it under half full (at most 3837 definitions between resets).
constexpr int LZW_HASH_BITS = 13;
constexpr uint32_t LZW_HASH_SIZE = 1u << LZW_HASH_BITS;
constexpr uint32_t LZW_EMPTY_SLOT = 0;

struct LzwTrie {
    uint32_t keys[LZW_HASH_SIZE];  // (prefix << 8 | byte) + 1, LZW_EMPTY_SLOT when free
    uint16_t codes[LZW_HASH_SIZE];
};

uint32_t lzw_trie_slot(uint32_t key)
{
    return (key * 2654435761u) >> (32 - LZW_HASH_BITS);
}

// Returns the code of prefix + byte, or 0 when the trie has none (0 is never a child code).
uint16_t lzw_trie_find(const LzwTrie& trie, uint32_t prefix, uint8_t byte)
{
    const uint32_t key = (prefix << 8 | byte) + 1;
    for (uint32_t slot = lzw_trie_slot(key);; slot = (slot + 1) & (LZW_HASH_SIZE - 1)) {
        if (trie.keys[slot] == key)
            return trie.codes[slot];
        if (trie.keys[slot] == LZW_EMPTY_SLOT)
            return 0;
    }
}

void lzw_trie_add(LzwTrie& trie, uint32_t prefix, uint8_t byte, uint16_t code)
{
    const uint32_t key = (prefix << 8 | byte) + 1;
    uint32_t slot = lzw_trie_slot(key);
    while (trie.keys[slot] != LZW_EMPTY_SLOT)
        slot = (slot + 1) & (LZW_HASH_SIZE - 1);
    trie.keys[slot] = key;
    trie.codes[slot] = code;
}

// Codes packed most significant bit first, with no alignment.
struct LzwBitWriter {
    std::vector<uint8_t> bytes;
    uint64_t bits = 0;   // the low bit_count bits are not yet written
    int bit_count = 0;   // 0..7 between calls
};

void lzw_put_code(LzwBitWriter& writer, uint32_t code, int width)
{
    writer.bits = writer.bits << width | code;
    writer.bit_count += width;
    while (writer.bit_count >= 8) {
        writer.bit_count -= 8;
        writer.bytes.push_back(static_cast<uint8_t>(writer.bits >> writer.bit_count));
    }
}

void lzw_flush(LzwBitWriter& writer)
{
    if (writer.bit_count > 0)
        lzw_put_code(writer, 0, 8 - writer.bit_count);
}

// The encoder mirrors the decoder's state: next_free is the code the decoder defines on the
// next data code it reads (the string just sent plus that code's first byte), width its width.
struct LzwEncoder {
    LzwTrie trie;
    LzwBitWriter writer;
    uint32_t next_free = LZW_FIRST_FREE_CODE;
    int width = LZW_MIN_WIDTH;
};

void lzw_reset(LzwEncoder& enc)
{
    lzw_put_code(enc.writer, LZW_CODE_RESET, enc.width);
    std::memset(enc.trie.keys, 0, sizeof enc.trie.keys);
    enc.next_free = LZW_FIRST_FREE_CODE;
    enc.width = LZW_MIN_WIDTH;
}

// Sends a data code, widening first as far as it needs (the decoder never widens by itself).
void lzw_send(LzwEncoder& enc, uint32_t code)
{
    while (code >> enc.width != 0) {
        lzw_put_code(enc.writer, LZW_CODE_WIDEN, enc.width);
        ++enc.width;
    }
    lzw_put_code(enc.writer, code, enc.width);
}

// Longest known string at data[0..len), capped at LZW_MAX_MATCH; returns its length.
size_t lzw_longest_match(const LzwTrie& trie, const uint8_t* data, size_t len, uint32_t* code)
{
    *code = data[0];
    size_t matched = 1;
    const size_t limit = len < LZW_MAX_MATCH ? len : LZW_MAX_MATCH;
    while (matched < limit) {
        const uint16_t child = lzw_trie_find(trie, *code, data[matched]);
        if (child == 0)
            break;
        *code = child;
        ++matched;
    }
    return matched;
}

} // namespace

std::vector<uint8_t> lzw_encode(const uint8_t* data, size_t len)
{
    if (len == 0 || len > LZW_OUTPUT_CAPACITY)
        return {};
    auto enc = std::make_unique<LzwEncoder>();
    std::memset(enc->trie.keys, 0, sizeof enc->trie.keys);
    enc->writer.bytes.reserve(len + len / 2 + 8);

    // The first code is a literal, which the decoder takes without defining anything.
    uint32_t prev_code = data[0];
    bool prev_in_trie = true;
    lzw_put_code(enc->writer, prev_code, enc->width);
    for (size_t pos = 1; pos < len;) {
        if (enc->next_free > LZW_MAX_CODE) {
            lzw_reset(*enc);
            // The string just sent survives the reset and defines 259; the new trie can hold
            // that entry only when the string is a single byte.
            prev_in_trie = prev_code < 256;
        }
        if (prev_in_trie)
            lzw_trie_add(enc->trie, prev_code, data[pos], static_cast<uint16_t>(enc->next_free));
        ++enc->next_free;

        uint32_t code;
        pos += lzw_longest_match(enc->trie, data + pos, len - pos, &code);
        lzw_send(*enc, code);
        prev_code = code;
        prev_in_trie = true;
    }
    lzw_put_code(enc->writer, LZW_CODE_END, enc->width);
    lzw_flush(enc->writer);
    return std::move(enc->writer.bytes);
}
