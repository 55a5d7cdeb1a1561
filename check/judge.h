// Answer judgement: normal form of an answer, matching and graded hints.
// Pure: Windows-1252 bytes in, verdict text out; no platform calls, no heap.
#pragma once

// Longest text judged; longer inputs are cut to this many bytes so the
// distance table is never indexed out of range.
constexpr int ANSWER_MAX_LENGTH = 259;

// Verdict texts, exact bytes in Windows-1252. Status labels hold one of these,
// so other modules compare label texts with them.
extern const char VERDICT_EMPTY[];      // "?"
extern const char VERDICT_BRAVO[];      // "BRAVO"
extern const char VERDICT_ANAGRAM[];    // "Anagramme"
extern const char VERDICT_ONE_EDIT[];   // "Quasiment"
extern const char VERDICT_TWO_EDITS[];  // "Presque"
extern const char VERDICT_TOO_LONG[];   // "Trop long"
extern const char VERDICT_TOO_SHORT[];  // "Trop court"
extern const char VERDICT_CLOSE[];      // "Pas loin"
extern const char VERDICT_ON_TRACK[];   // "y a de l'id\xE9e"
extern const char VERDICT_WRONG[];      // "FAUX"

struct Judgement {
    const char* verdict;  // one of the VERDICT_ texts
    bool solved_early;    // BRAVO by distance 0 on an answer of 4 or more bytes
};

// Rewrites text in place: outer spaces dropped, runs of spaces made one,
// a..z and 0xE0..0xFF raised by 0x20. Never lengthens the text.
void normalise_answer(char* text);

// Levenshtein distance over bytes; lengths are clamped to 0..ANSWER_MAX_LENGTH.
int edit_distance(const char* a, int len_a, const char* b, int len_b);

// +2 when typed is at least as long as answer and holds it, -2 when typed is
// shorter and lies inside answer, 0 otherwise. Forward scan without
// backtracking, so a match starting inside a failed partial match is missed.
// May exchange the contents of the two buffers; each must hold the longer
// text and its terminator.
int containment_test(char* answer, char* typed, int len_answer, int len_typed);

// Both texts already normalised; each is read up to ANSWER_MAX_LENGTH bytes.
Judgement judge_answer(const char* answer, const char* typed);

// Words of an authored (not normalised) answer: 1 + each space, hyphen and
// apostrophe, where '!' hides the byte after it.
int count_answer_words(const char* answer);
