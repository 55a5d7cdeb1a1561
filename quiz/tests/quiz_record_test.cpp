// The quiz record on real GDI objects (runs under wine64).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "quiz/quiz.h"

namespace {

struct QuizFixture : ::testing::Test {
    std::unique_ptr<Quiz> quiz{new Quiz()};   // zero-filled, as start-up allocates it
    void SetUp() override { quiz_init(quiz.get()); }
    void TearDown() override
    {
        if (quiz)
            quiz_release(quiz.get());
    }
};

COLORREF brush_colour(HBRUSH brush)
{
    LOGBRUSH lb{};
    EXPECT_EQ((int)sizeof lb, GetObjectA(brush, sizeof lb, &lb));
    EXPECT_EQ((UINT)BS_SOLID, lb.lbStyle);
    return lb.lbColor;
}

LOGFONTA font_of(HFONT font)
{
    LOGFONTA lf{};
    EXPECT_EQ((int)sizeof lf, GetObjectA(font, sizeof lf, &lf));
    return lf;
}

TEST_F(QuizFixture, InitGivesTheDefaults)
{
    EXPECT_STREQ("Nom du vorlo", quiz->title);
    EXPECT_STREQ("Createur vorlo", quiz->author);
    EXPECT_EQ(MEDIA_TEXT, quiz->media_kind);
    EXPECT_EQ(2, quiz->question_count);
    EXPECT_EQ(1, quiz->answers_per_question);
    EXPECT_EQ(EXTRA_NONE, quiz->extra_kind);
    EXPECT_EQ(0, quiz->all_solved);
    EXPECT_EQ(nullptr, quiz->head);
    EXPECT_EQ(nullptr, quiz->tail);
    EXPECT_EQ(90, quiz->colour_red);
    EXPECT_EQ(95, quiz->colour_green);
    EXPECT_EQ(150, quiz->colour_blue);
    EXPECT_STREQ("", quiz->media_folder);
    for (int q = 1; q <= QUIZ_MAX_QUESTIONS; ++q)
        EXPECT_EQ(HIDE_SHOWN, quiz->hide_state[q]) << "question " << q;
}

TEST_F(QuizFixture, InitCreatesTheBrushesInTheirColours)
{
    struct { HBRUSH brush; COLORREF colour; const char* name; } cases[] = {
        {quiz->background_brush, 0x00965F5A, "background"},
        {quiz->wrong_brush, 0x000000FF, "wrong"},
        {quiz->anagram_brush, 0x000064FF, "anagram"},
        {quiz->hint_brush, 0x0026CBFF, "hint"},
        {quiz->question_brush, 0x00C0FFFF, "question"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.colour, brush_colour(c.brush)) << c.name << " brush";
}

TEST_F(QuizFixture, InitCreatesTheCounterAndTitleFonts)
{
    LOGFONTA counter = font_of(quiz->counter_font);
    EXPECT_EQ(25, counter.lfHeight);
    EXPECT_EQ(400, counter.lfWeight);
    EXPECT_STREQ("Arial", counter.lfFaceName);
    EXPECT_EQ(0, counter.lfItalic);

    LOGFONTA title = font_of(quiz->title_font);
    EXPECT_EQ(-15, title.lfHeight);
    EXPECT_EQ(700, title.lfWeight);
    EXPECT_EQ(1, title.lfItalic);
    EXPECT_EQ(0, title.lfUnderline);
    EXPECT_STREQ("", title.lfFaceName);
}

TEST_F(QuizFixture, AppendLinksInOrder)
{
    quiz_add_question(quiz.get(), "A1", "A2", "question A");
    quiz_add_question(quiz.get(), "B1", "", "question B");
    Question* a = quiz->head;
    Question* b = quiz->tail;
    ASSERT_NE(nullptr, a);
    ASSERT_NE(a, b);
    EXPECT_EQ(b, a->next);
    EXPECT_EQ(nullptr, a->prev);
    EXPECT_EQ(a, b->prev);
    EXPECT_EQ(nullptr, b->next);
    EXPECT_STREQ("A1", a->answer_1);
    EXPECT_STREQ("A2", a->answer_2);
    EXPECT_STREQ("question A", a->text);
    EXPECT_STREQ("", a->extra);
    EXPECT_EQ(0, a->state);
    EXPECT_STREQ("B1", b->answer_1);
}

TEST_F(QuizFixture, QuestionAtFallsBackToTheLastNode)
{
    EXPECT_EQ(nullptr, question_at(quiz.get(), 1)) << "empty list";
    quiz_add_question(quiz.get(), "first", "", "");
    Question* first = quiz->head;
    struct { int number; } one_node[] = {{1}, {2}, {0}, {-3}};
    for (auto c : one_node)
        EXPECT_EQ(first, question_at(quiz.get(), c.number)) << "one node, number " << c.number;

    quiz_add_question(quiz.get(), "second", "", "");
    Question* second = quiz->tail;
    struct { int number; Question* want; } two_nodes[] = {
        {1, first}, {2, second}, {7, second}, {0, second}, {-1, second}, {96, second}};
    for (auto c : two_nodes)
        EXPECT_EQ(c.want, question_at(quiz.get(), c.number)) << "two nodes, number " << c.number;
}

TEST_F(QuizFixture, LongTextsAreCutToTheirBuffers)
{
    std::string long_text(400, 'x');
    quiz_add_question(quiz.get(), long_text.c_str(), long_text.c_str(), long_text.c_str());
    EXPECT_EQ(259u, std::strlen(quiz->head->answer_1));
    EXPECT_EQ(259u, std::strlen(quiz->head->text));
}

TEST_F(QuizFixture, ReleaseDeletesEveryObjectAndEmptiesTheList)
{
    quiz_add_question(quiz.get(), "a", "", "");
    quiz_add_question(quiz.get(), "b", "", "");
    HGDIOBJ objects[] = {quiz->background_brush, quiz->wrong_brush, quiz->anagram_brush, quiz->hint_brush,
                         quiz->question_brush, quiz->title_font, quiz->counter_font};
    for (HGDIOBJ o : objects)
        ASSERT_NE(0u, GetObjectType(o));
    quiz_release(quiz.get());
    for (HGDIOBJ o : objects)
        EXPECT_EQ(0u, GetObjectType(o)) << "object still alive after release";
    EXPECT_EQ(nullptr, quiz->head);
    EXPECT_EQ(nullptr, quiz->tail);
    quiz.reset();
}

TEST_F(QuizFixture, ReleaseOnAnEmptyListDeletesTheObjects)
{
    HGDIOBJ font = quiz->counter_font;
    quiz_release(quiz.get());
    EXPECT_EQ(0u, GetObjectType(font));
    EXPECT_EQ(nullptr, quiz->head);
    EXPECT_EQ(nullptr, quiz->tail);
    quiz.reset();
}

}  // namespace
