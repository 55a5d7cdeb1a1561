// quiz_load on the resources of this very executable: each test exe is linked with the
// resources of one case (VORLO_LOAD_CASE resource names it) and checks what the loader made.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "quiz/quiz_load.h"
#include "quiz/tests/load_cases.h"
#include "quiz/tests/quiz_compare.h"
#include "tests/support/message_recorder.h"

namespace {

std::string case_name()
{
    HRSRC found = FindResourceA(nullptr, "CASE", "LOADCASE");
    if (!found)
        return "";
    const char* text = (const char*)LockResource(LoadResource(nullptr, found));
    return std::string(text, SizeofResource(nullptr, found));
}

struct Loaded {
    std::unique_ptr<Quiz> quiz{new Quiz()};
    Loaded()
    {
        clear_recorded_messages();
        quiz_init(quiz.get());
        quiz_load(quiz.get());
    }
    ~Loaded() { quiz_release(quiz.get()); }
};

COLORREF brush_colour(HBRUSH brush)
{
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

void expect_messages(const std::vector<std::string>& want)
{
    const auto& got = recorded_messages();
    ASSERT_EQ(want.size(), got.size()) << (got.empty() ? "" : "first: " + got[0].text);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(want[i], got[i].text);
        EXPECT_EQ("Vorlo", got[i].caption);
    }
}

TEST(QuizLoad, HeaderBlockGivesTheLinkAndFooter)
{
    Loaded loaded;
    EXPECT_STREQ("www.vorlo.test", loaded.quiz->link_text);
    EXPECT_STREQ("Vorlo - lecteur de quiz", loaded.quiz->footer_text);
}

TEST(QuizLoad, LoadsTheCaseOfThisExecutable)
{
    const LoadCase* c = find_load_case(case_name());
    ASSERT_NE(nullptr, c) << "no case named '" << case_name() << "'";
    SCOPED_TRACE("case " + c->name);
    Loaded loaded;
    const Quiz& quiz = *loaded.quiz;
    expect_messages(c->messages);
    if (c->quiz_form == ResourceForm::MISSING) {
        // The built-in test quiz: 7 questions declared, 2 nodes.
        EXPECT_STREQ("Explications du vorlo", quiz.explanation);
        EXPECT_STREQ("TEST", quiz.answer_label_1);
        EXPECT_EQ(MEDIA_PICTURES, quiz.media_kind);
        EXPECT_EQ(7, quiz.question_count);
        EXPECT_EQ(2, quiz.answers_per_question);
        EXPECT_EQ(EXTRA_PICTURE_AND_LABEL, quiz.extra_kind);
        EXPECT_EQ(0x00FF6633u, brush_colour(quiz.background_brush));
        ASSERT_NE(nullptr, quiz.head);
        EXPECT_EQ(quiz.tail, quiz.head->next);
        EXPECT_EQ(quiz.tail, question_at(&quiz, 7));
        EXPECT_STREQ("emplacement", quiz.tail->text);
        EXPECT_STREQ("TEST", quiz.tail->answer_2);
        return;
    }
    if (c->quiz_form == ResourceForm::GARBAGE) {
        EXPECT_EQ(0, quiz.question_count);
        EXPECT_EQ(nullptr, quiz.head);
        EXPECT_STREQ("Nom du vorlo", quiz.title);
        EXPECT_STREQ("www.vorlo.test", quiz.link_text);
        return;
    }
    expect_quiz_matches(quiz, c->expected);
    EXPECT_EQ(RGB(c->expected.red, c->expected.green, c->expected.blue), brush_colour(quiz.background_brush));
}

TEST(QuizLoad, ResourceIsNotChangedByUnscrambling)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(104), "PATCH");
    if (!found)
        GTEST_SKIP() << "this case has no quiz resource";
    const uint8_t* bytes = (const uint8_t*)LockResource(LoadResource(nullptr, found));
    std::vector<uint8_t> before(bytes, bytes + SizeofResource(nullptr, found));
    Loaded loaded;
    EXPECT_EQ(before, std::vector<uint8_t>(bytes, bytes + before.size()));
}

}  // namespace
