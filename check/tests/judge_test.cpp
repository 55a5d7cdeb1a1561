#include "check/judge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A 260-byte answer buffer, as the panel holds them.
struct Text {
    char bytes[ANSWER_MAX_LENGTH + 1];
};

Text text_of(const std::string& s)
{
    Text text{};
    std::strncpy(text.bytes, s.c_str(), ANSWER_MAX_LENGTH);
    return text;
}

Text normalised(const std::string& s)
{
    Text text = text_of(s);
    normalise_answer(text.bytes);
    return text;
}

std::string letters(int count)
{
    std::string s;
    for (int i = 0; i < count; ++i) s += static_cast<char>('a' + i % 26);
    return s;
}

struct NormaliseCase {
    const char* input;
    const char* expected;
};

TEST(NormaliseAnswer, Cases)
{
    static const NormaliseCase cases[] = {
        {"  paris  ", "PARIS"},
        {"L\xE9onard  de   Vinci", "L\xC9ONARD DE VINCI"},
        {"\ta  b\t", "\tA B\t"},  // a tab is an ordinary byte: kept, not trimmed
        {"   ", ""},
        {"", ""},
        {"x", "X"},
        {" az ", "AZ"},
        {"`{@[", "`{@["},  // neighbours of a..z and A..Z unchanged
        {"\xE0\xE9\xEE\xFE", "\xC0\xC9\xCE\xDE"},
        {"\xF7\xFF", "\xD7\xDF"},
        {"\x80\x9C\x9F\xBF\xC0\xDF", "\x80\x9C\x9F\xBF\xC0\xDF"},
        {"l'or - 1,5 ?", "L'OR - 1,5 ?"},
    };
    for (const NormaliseCase& c : cases) {
        Text text = text_of(c.input);
        normalise_answer(text.bytes);
        EXPECT_STREQ(c.expected, text.bytes) << "input \"" << c.input << "\"";
    }
}

struct DistanceCase {
    const char* a;
    const char* b;
    int expected;
};

TEST(EditDistance, Cases)
{
    static const DistanceCase cases[] = {
        {"", "", 0},         {"", "ABC", 3},          {"ABC", "", 3},
        {"ABC", "ABC", 0},   {"KITTEN", "SITTING", 3}, {"AB", "BA", 2},
        {"FLAW", "LAWN", 2}, {"\xC9", "E", 1},        {"\xC9", "\xE9", 1},
    };
    for (const DistanceCase& c : cases) {
        int got = edit_distance(c.a, static_cast<int>(std::strlen(c.a)), c.b,
                                static_cast<int>(std::strlen(c.b)));
        EXPECT_EQ(c.expected, got) << "\"" << c.a << "\" / \"" << c.b << "\"";
    }
}

TEST(EditDistance, LengthsBeyondTheTableAreClamped)
{
    std::string a(400, 'A');
    std::string b(400, 'A');
    b[300] = 'B';
    EXPECT_EQ(0, edit_distance(a.c_str(), 400, b.c_str(), 400));
    EXPECT_EQ(259, edit_distance(a.c_str(), 400, b.c_str(), 0));
    EXPECT_EQ(0, edit_distance(a.c_str(), -5, b.c_str(), -1));
}

struct ContainmentCase {
    const char* answer;
    const char* typed;
    int expected;
};

TEST(ContainmentTest, Cases)
{
    static const ContainmentCase cases[] = {
        {"ANANAS", "UN ANANAS", 2},
        {"ANANAS", "ANANANANAS", 0},  // occurrence begins inside a failed partial match
        {"ANANANANAS", "ANANAS", 0},  // same scan with the texts exchanged
        {"ABC", "ABC", 2},
        {"ABC", "XXABC", 2},
        {"ABCD", "XXABC", 0},  // haystack ends mid-match
        {"AB", "AAB", 2},      // the byte that broke a match may start the next
        {"PARIS", "PA", -2},
        {"PARIS", "RIS", -2},
        {"PARIS", "PAX", 0},
        {"ABC", "XYZW", 0},
    };
    for (const ContainmentCase& c : cases) {
        Text answer = text_of(c.answer);
        Text typed = text_of(c.typed);
        int got = containment_test(answer.bytes, typed.bytes, static_cast<int>(std::strlen(c.answer)),
                                   static_cast<int>(std::strlen(c.typed)));
        EXPECT_EQ(c.expected, got) << "\"" << c.answer << "\" in \"" << c.typed << "\"";
    }
}

struct JudgeCase {
    std::string accepted;  // both texts are normalised before judging
    std::string typed;
    const char* verdict;
    bool solved_early;
};

TEST(JudgeAnswer, Cases)
{
    const std::string twenty = letters(20);
    const JudgeCase cases[] = {
        {"Paris", "  paris  ", VERDICT_BRAVO, true},
        {"L\xE9onard de Vinci", "L\xE9onard  de   Vinci", VERDICT_BRAVO, true},
        {"abcd", "ABCD", VERDICT_BRAVO, true},
        // Short answers: no hint, and BRAVO is not an early solve.
        {"\xCEle", "ile", VERDICT_WRONG, false},
        {"\xCEle", "\xEEle", VERDICT_BRAVO, false},
        {"abc", "", VERDICT_EMPTY, false},
        {"abc", "abd", VERDICT_WRONG, false},
        {"abc", "bca", VERDICT_WRONG, false},
        {"", "", VERDICT_EMPTY, false},
        {"", "x", VERDICT_WRONG, false},
        {"  ", " x ", VERDICT_WRONG, false},
        {"Paris", "   ", VERDICT_EMPTY, false},
        {"L\xE9onard de Vinci", "Leonard de Vinci", VERDICT_ONE_EDIT, false},
        {"c\x9Cur", "C\x8CUR", VERDICT_ONE_EDIT, false},
        {"Bordeaux", "Bordeau", VERDICT_ONE_EDIT, false},
        {"Bordeaux", "Bodreaxu", VERDICT_ANAGRAM, false},
        {"Bordeaux", "Bordx", VERDICT_WRONG, false},
        {"Paris", "Parsi", VERDICT_ANAGRAM, false},
        {"Rome", "More", VERDICT_ANAGRAM, false},
        {"Rome", "Ro", VERDICT_TWO_EDITS, false},
        {"Paris", "Paris France", VERDICT_TOO_LONG, false},
        {"Paris", "La ville de Paris en France, je crois", VERDICT_CLOSE, false},
        {"rome", "rome" + std::string(12, 'x'), VERDICT_TOO_LONG, false},  // 4x
        {"rome", "rome" + std::string(13, 'x'), VERDICT_CLOSE, false},
        {"Constantinople", "constantin", VERDICT_TOO_SHORT, false},
        {"L\xE9onard de Vinci", "l\xE9onard de", VERDICT_CLOSE, false},
        {"L\xE9onard de Vinci", "Vinci", VERDICT_WRONG, false},
        {"Bordeaux", "bord", VERDICT_WRONG, false},
        {letters(9), letters(6), VERDICT_WRONG, false},  // 67 % of 9 bytes: too short for a hint
        {letters(10), letters(6), VERDICT_CLOSE, false},
        {letters(11), letters(8), VERDICT_TOO_SHORT, false},
        {twenty, twenty.substr(0, 14), VERDICT_CLOSE, false},  // exactly 70 %
        {twenty, twenty.substr(5), VERDICT_TOO_SHORT, false},  // 15 of 20
        {twenty, twenty.substr(0, 11), VERDICT_CLOSE, false},
        {twenty, twenty.substr(0, 10), VERDICT_WRONG, false},  // exactly 50 %
        {"Le rouge et le noir", "le rouge et noir", VERDICT_ON_TRACK, false},
        {"Christophe Colomb", "Christof Colombe", VERDICT_WRONG, false},
        {letters(16), letters(13) + "xyz", VERDICT_ON_TRACK, false},  // d 3, m 16
        {letters(15), letters(12) + "xyz", VERDICT_WRONG, false},     // exactly 80 %
        {letters(21), letters(17) + "wxyz", VERDICT_ON_TRACK, false},  // d 4, m 21
        {"Ananas", "ananananas", VERDICT_WRONG, false},
        {"Ananas", "un ananas", VERDICT_TOO_LONG, false},
    };
    for (const JudgeCase& c : cases) {
        Text accepted = normalised(c.accepted);
        Text typed = normalised(c.typed);
        Judgement got = judge_answer(accepted.bytes, typed.bytes);
        EXPECT_STREQ(c.verdict, got.verdict) << "\"" << c.accepted << "\" / \"" << c.typed << "\"";
        EXPECT_EQ(c.solved_early, got.solved_early) << "\"" << c.accepted << "\" / \"" << c.typed << "\"";
    }
}

TEST(JudgeAnswer, LeavesItsInputsAlone)
{
    Text accepted = normalised("Paris");
    Text typed = normalised("pa");
    judge_answer(accepted.bytes, typed.bytes);
    EXPECT_STREQ("PARIS", accepted.bytes);
    EXPECT_STREQ("PA", typed.bytes);
}

TEST(JudgeAnswer, TextsBeyondTheLimitAreCut)
{
    std::string answer(400, 'A');
    std::string typed(400, 'A');
    typed[300] = 'B';
    Judgement got = judge_answer(answer.c_str(), typed.c_str());
    EXPECT_STREQ(VERDICT_BRAVO, got.verdict);
}

struct VerdictText {
    const char* verdict;
    const char* bytes;
};

// Status labels are compared with these texts, so their bytes are pinned.
TEST(Verdicts, ExactBytes)
{
    static const VerdictText verdicts[] = {
        {VERDICT_EMPTY, "?"},           {VERDICT_BRAVO, "BRAVO"},
        {VERDICT_ANAGRAM, "Anagramme"}, {VERDICT_ONE_EDIT, "Quasiment"},
        {VERDICT_TWO_EDITS, "Presque"}, {VERDICT_TOO_LONG, "Trop long"},
        {VERDICT_TOO_SHORT, "Trop court"}, {VERDICT_CLOSE, "Pas loin"},
        {VERDICT_ON_TRACK, "y a de l'id\xE9" "e"}, {VERDICT_WRONG, "FAUX"},
    };
    for (const VerdictText& v : verdicts) EXPECT_STREQ(v.bytes, v.verdict);
}

struct WordsCase {
    const char* answer;
    int expected;
};

TEST(CountAnswerWords, Cases)
{
    static const WordsCase cases[] = {
        {"Paris", 1},
        {"Saint-Exup\xE9ry de Lyon", 4},
        {"a!-b! c!'d", 1},  // every separator follows a '!'
        {"", 1},
        {"l'or", 2},
        {" a  b ", 5},  // every space counts
        {"fin!", 1},    // '!' last: the walk stops at the terminator
        {"!!-", 2},     // the second '!' is skipped unseen, the hyphen counts
    };
    for (const WordsCase& c : cases) {
        EXPECT_EQ(c.expected, count_answer_words(c.answer)) << "\"" << c.answer << "\"";
    }
}

}  // namespace
