#include "check/judge.h"

#include <cstdint>
#include <cstring>

const char VERDICT_EMPTY[] = "?";
const char VERDICT_BRAVO[] = "BRAVO";
const char VERDICT_ANAGRAM[] = "Anagramme";
const char VERDICT_ONE_EDIT[] = "Quasiment";
const char VERDICT_TWO_EDITS[] = "Presque";
const char VERDICT_TOO_LONG[] = "Trop long";
const char VERDICT_TOO_SHORT[] = "Trop court";
const char VERDICT_CLOSE[] = "Pas loin";
const char VERDICT_ON_TRACK[] = "y a de l'id\xE9" "e";
const char VERDICT_WRONG[] = "FAUX";

namespace {

constexpr int TEXT_CAPACITY = ANSWER_MAX_LENGTH + 1;

// Answers shorter than this get no hint, only "?", BRAVO or FAUX.
constexpr int HINT_MIN_LENGTH = 4;
// A piece of the answer earns a hint only when the answer is longer than this.
constexpr int PIECE_MIN_ANSWER_LENGTH = 9;
// A typed text holding the answer is "Trop long" up to this many times its length.
constexpr int TOO_LONG_MAX_FACTOR = 4;

int clamp_length(int length)
{
    if (length < 0) return 0;
    if (length > ANSWER_MAX_LENGTH) return ANSWER_MAX_LENGTH;
    return length;
}

// Copies at most ANSWER_MAX_LENGTH bytes and terminates; returns the length.
int copy_bounded(char* out, const char* text)
{
    int length = 0;
    while (length < ANSWER_MAX_LENGTH && text[length] != '\0') {
        out[length] = text[length];
        ++length;
    }
    out[length] = '\0';
    return length;
}

// a..z and the lower half of Latin-1 letters sit 0x20 above their capitals;
// 0xF7 and 0xFF ride along and become 0xD7 and 0xDF.
char raise_byte(char c)
{
    unsigned char byte = static_cast<unsigned char>(c);
    if ((byte >= 0x61 && byte <= 0x7A) || byte >= 0xE0) return static_cast<char>(byte - 0x20);
    return c;
}

int min3(int a, int b, int c)
{
    int least = a < b ? a : b;
    return least < c ? least : c;
}

// Exchange passes until one pass exchanges nothing; bytes compare as signed.
void sort_bytes(char* text, int length)
{
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int i = 1; i < length; ++i) {
            if (static_cast<signed char>(text[i - 1]) > static_cast<signed char>(text[i])) {
                char held = text[i - 1];
                text[i - 1] = text[i];
                text[i] = held;
                exchanged = true;
            }
        }
    }
}

bool is_anagram(const char* answer, int len_answer, const char* typed, int len_typed)
{
    char sorted_answer[TEXT_CAPACITY];
    char sorted_typed[TEXT_CAPACITY];
    std::memcpy(sorted_answer, answer, static_cast<size_t>(len_answer));
    std::memcpy(sorted_typed, typed, static_cast<size_t>(len_typed));
    sort_bytes(sorted_answer, len_answer);
    sort_bytes(sorted_typed, len_typed);
    return edit_distance(sorted_answer, len_answer, sorted_typed, len_typed) == 0;
}

// Swaps two texts through a held copy; both buffers hold the longer one.
void exchange_texts(char* first, char* second, int len_first, int len_second)
{
    char held[TEXT_CAPACITY];
    std::memcpy(held, first, static_cast<size_t>(len_first));
    std::memcpy(first, second, static_cast<size_t>(len_second));
    first[len_second] = '\0';
    std::memcpy(second, held, static_cast<size_t>(len_first));
    second[len_first] = '\0';
}

// After a failed partial match the scan resumes where the comparison
// stopped, not one byte after where it began.
bool scan_for(const char* haystack, int haystack_length, const char* needle, int needle_length)
{
    int at = 0;
    while (at < haystack_length) {
        while (at < haystack_length && haystack[at] != needle[0]) ++at;
        if (at == haystack_length) return false;
        int matched = 0;
        while (matched < needle_length && at < haystack_length && haystack[at] == needle[matched]) {
            ++at;
            ++matched;
        }
        if (matched == needle_length) return true;
    }
    return false;
}

// The integer tests equal the percentage tests on floats exactly:
// 100*typed/answer > 70 and > 50.
const char* judge_piece(int len_answer, int len_typed)
{
    if (len_answer <= PIECE_MIN_ANSWER_LENGTH) return VERDICT_WRONG;
    if (10 * len_typed > 7 * len_answer) return VERDICT_TOO_SHORT;
    if (2 * len_typed > len_answer) return VERDICT_CLOSE;
    return VERDICT_WRONG;
}

const char* judge_holder(int len_answer, int len_typed)
{
    return len_typed <= TOO_LONG_MAX_FACTOR * len_answer ? VERDICT_TOO_LONG : VERDICT_CLOSE;
}

// 100*(m-d)/m > 80 on floats is exactly m > 5*d.
const char* judge_near_miss(int len_answer, int len_typed, int distance)
{
    int shorter = len_answer < len_typed ? len_answer : len_typed;
    return shorter > 5 * distance ? VERDICT_ON_TRACK : VERDICT_WRONG;
}

Judgement judge_short_answer(const char* answer, const char* typed)
{
    if (typed[0] == '\0') return {VERDICT_EMPTY, false};
    if (std::strcmp(answer, typed) == 0) return {VERDICT_BRAVO, false};
    return {VERDICT_WRONG, false};
}

}  // namespace

void normalise_answer(char* text)
{
    const char* read = text;
    char* write = text;
    while (*read == ' ') ++read;
    while (*read != '\0') {
        if (*read == ' ') {
            while (*read == ' ') ++read;
            *write++ = ' ';
        } else {
            *write++ = raise_byte(*read++);
        }
    }
    if (write > text && write[-1] == ' ') --write;
    *write = '\0';
}

int edit_distance(const char* a, int len_a, const char* b, int len_b)
{
    // On the calling thread's stack (about 264 KiB), never the heap; the GUI thread's stack holds it.
    std::int32_t table[TEXT_CAPACITY][TEXT_CAPACITY];
    len_a = clamp_length(len_a);
    len_b = clamp_length(len_b);
    for (int i = 0; i <= len_a; ++i) table[i][0] = i;
    for (int j = 0; j <= len_b; ++j) table[0][j] = j;
    for (int i = 1; i <= len_a; ++i) {
        for (int j = 1; j <= len_b; ++j) {
            int substitution = a[i - 1] == b[j - 1] ? 0 : 1;
            table[i][j] = min3(table[i - 1][j] + 1, table[i][j - 1] + 1,
                               table[i - 1][j - 1] + substitution);
        }
    }
    return table[len_a][len_b];
}

int containment_test(char* answer, char* typed, int len_answer, int len_typed)
{
    len_answer = clamp_length(len_answer);
    len_typed = clamp_length(len_typed);
    if (len_typed < len_answer) {
        exchange_texts(answer, typed, len_answer, len_typed);
        return scan_for(typed, len_answer, answer, len_typed) ? -2 : 0;
    }
    return scan_for(typed, len_typed, answer, len_answer) ? 2 : 0;
}

Judgement judge_answer(const char* answer, const char* typed)
{
    char expected[TEXT_CAPACITY];
    char given[TEXT_CAPACITY];
    int len_expected = copy_bounded(expected, answer);
    int len_given = copy_bounded(given, typed);

    if (len_expected < HINT_MIN_LENGTH) return judge_short_answer(expected, given);
    if (len_given == 0) return {VERDICT_EMPTY, false};

    int distance = edit_distance(expected, len_expected, given, len_given);
    if (distance == 0) return {VERDICT_BRAVO, true};
    // Before the distance hints, so two exchanged letters read as an anagram.
    if (is_anagram(expected, len_expected, given, len_given)) return {VERDICT_ANAGRAM, false};
    if (distance == 1) return {VERDICT_ONE_EDIT, false};
    if (distance == 2) return {VERDICT_TWO_EDITS, false};

    switch (containment_test(expected, given, len_expected, len_given)) {
    case -2: return {judge_piece(len_expected, len_given), false};
    case 2:  return {judge_holder(len_expected, len_given), false};
    default: return {judge_near_miss(len_expected, len_given, distance), false};
    }
}

int count_answer_words(const char* answer)
{
    int separators = 0;
    for (const char* at = answer; *at != '\0'; ++at) {
        if (*at == '!') {
            if (at[1] == '\0') break;
            ++at;
        } else if (*at == ' ' || *at == '-' || *at == '\'') {
            ++separators;
        }
    }
    return separators + 1;
}
