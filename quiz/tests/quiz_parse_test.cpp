// Round trips through the authoring side and back: source -> serialise -> encode -> decode ->
// parse gives the source back (natively, under the sanitizers).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

#include "pack/lzw_encode.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"
#include "quiz/tests/load_cases.h"
#include "quiz/tests/quiz_compare.h"

namespace {

struct Decoded {
    uint8_t* data = nullptr;
    int32_t size = 0;
    ~Decoded() { std::free(data); }
};

void decode(std::vector<uint8_t> stored, bool scrambled, Decoded& out)
{
    if (scrambled)
        quiz_scramble(stored.data(), stored.size());
    int32_t len = 0;
    ASSERT_EQ(LZW_OK, lzw_decode(stored.data(), (int32_t)stored.size(), &out.data, &len));
    out.size = len - 2;
}

// A record as start-up hands it to the loader, without the GDI objects.
struct Record {
    std::unique_ptr<Quiz> quiz{new Quiz()};
    Record()
    {
        quiz->colour_red = 90, quiz->colour_green = 95, quiz->colour_blue = 150;
    }
    ~Record() { quiz_free_questions(quiz.get()); }
};

void load(const std::vector<uint8_t>& quiz_bytes, const std::vector<uint8_t>& codes_bytes, bool scrambled,
          Quiz* quiz)
{
    Decoded content, codes;
    decode(quiz_bytes, scrambled, content);
    quiz_parse_content(quiz, content.data, content.size);
    if (!codes_bytes.empty()) {
        decode(codes_bytes, scrambled, codes);
        quiz_parse_codes(quiz, codes.data, codes.size);
    }
}

TEST(QuizParse, EveryResourceCaseRoundTrips)
{
    for (const LoadCase& c : load_cases()) {
        if (c.quiz_form == ResourceForm::MISSING || c.quiz_form == ResourceForm::GARBAGE ||
            c.codes_form == ResourceForm::GARBAGE)
            continue;
        SCOPED_TRACE("case " + c.name);
        Record r;
        bool scrambled = c.quiz_form == ResourceForm::SCRAMBLED;
        load(load_case_quiz_resource(c), load_case_codes_resource(c), scrambled, r.quiz.get());
        expect_quiz_matches(*r.quiz, c.expected);
    }
}

TEST(QuizParse, ScramblingTwiceRestoresAndKeepsTheFirstByte)
{
    std::vector<uint8_t> data(50);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (uint8_t)(i * 7);
    std::vector<uint8_t> copy = data;
    quiz_scramble(copy.data(), copy.size());
    EXPECT_EQ(data[0], copy[0]);
    EXPECT_EQ(data[1] ^ 'F', copy[1]);
    EXPECT_EQ(data[22] ^ 'F', copy[22]) << "the 21-character key repeats";
    quiz_scramble(copy.data(), copy.size());
    EXPECT_EQ(data, copy);
}

TEST(QuizParse, CodesLinesAndEmptyLines)
{
    const char text[] = "A1\r\n\r\nlast";
    Record r;
    r.quiz->question_count = 4;
    quiz_parse_codes(r.quiz.get(), (const uint8_t*)text, sizeof text - 1);
    EXPECT_STREQ("A1", r.quiz->codes[0]);
    EXPECT_STREQ("", r.quiz->codes[1]);
    EXPECT_STREQ("last", r.quiz->codes[2]);
    EXPECT_STREQ("", r.quiz->codes[3]);
}

std::string random_text(std::mt19937& rng, size_t max_len)
{
    // Every Windows-1252 byte but the two terminators.
    std::uniform_int_distribution<size_t> len(0, max_len);
    std::uniform_int_distribution<int> byte(1, 255);
    std::string s(len(rng), ' ');
    for (char& c : s) {
        int b;
        do
            b = byte(rng);
        while (b == '|');
        c = (char)b;
    }
    return s;
}

QuizSource random_quiz(std::mt19937& rng)
{
    QuizSource q;
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    q.media_kind = pick(0, 3);
    q.answers_per_question = pick(1, 2);
    q.extra_kind = pick(0, 6);
    size_t longest = pick(0, 1) ? 259 : 30;
    q.title = random_text(rng, longest);
    q.author = random_text(rng, longest);
    q.explanation = random_text(rng, longest);
    q.answer_label_1 = random_text(rng, 20);
    q.answer_label_2 = random_text(rng, 20);
    q.red = (uint8_t)pick(0, 255), q.green = (uint8_t)pick(0, 255), q.blue = (uint8_t)pick(0, 255);
    int count = pick(0, 96);
    for (int i = 0; i < count; ++i) {
        QuizSourceQuestion question;
        question.answer_1 = random_text(rng, longest);
        if (q.answers_per_question == 2)
            question.answer_2 = random_text(rng, 40);
        question.text = random_text(rng, longest);
        if (q.extra_kind >= 1 && q.extra_kind <= 4)
            question.extra = random_text(rng, 40);
        q.questions.push_back(question);
        std::string code = random_text(rng, 12);
        for (char& c : code)
            if (c == '\r')
                c = 'x';   // a code line ends at CR
        q.codes.push_back(code);
    }
    return q;
}

TEST(QuizParse, RandomQuizzesRoundTrip)
{
    std::mt19937 rng(20261211);
    for (int round = 0; round < 60; ++round) {
        QuizSource source = random_quiz(rng);
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<uint8_t> content = quiz_serialize_content(source);
        std::vector<uint8_t> codes = quiz_serialize_codes(source);
        std::vector<uint8_t> quiz_bytes = lzw_encode(content.data(), content.size());
        std::vector<uint8_t> codes_bytes = lzw_encode(codes.data(), codes.size());
        ASSERT_LT(quiz_bytes.size(), 65535u);
        bool scrambled = round % 2 == 1;
        if (scrambled) {
            quiz_scramble(quiz_bytes.data(), quiz_bytes.size());
            quiz_scramble(codes_bytes.data(), codes_bytes.size());
        }
        Record r;
        load(quiz_bytes, codes_bytes, scrambled, r.quiz.get());
        expect_quiz_matches(*r.quiz, source);
        if (::testing::Test::HasFailure())
            return;
    }
}

}  // namespace
