// Compares a loaded quiz record with the source it was made from, field by field.
#pragma once
#include <gtest/gtest.h>

#include "pack/quiz_serialize.h"
#include "quiz/quiz.h"

inline void expect_quiz_matches(const Quiz& quiz, const QuizSource& want)
{
    EXPECT_EQ(want.media_kind, quiz.media_kind);
    EXPECT_EQ(want.answers_per_question, quiz.answers_per_question);
    EXPECT_EQ(want.title, quiz.title);
    EXPECT_EQ(want.author, quiz.author);
    EXPECT_EQ(want.explanation, quiz.explanation);
    EXPECT_EQ(want.answer_label_1, quiz.answer_label_1);
    EXPECT_EQ(want.answer_label_2, quiz.answer_label_2);
    EXPECT_EQ(want.extra_kind, quiz.extra_kind);
    EXPECT_EQ(want.red, quiz.colour_red);
    EXPECT_EQ(want.green, quiz.colour_green);
    EXPECT_EQ(want.blue, quiz.colour_blue);
    ASSERT_EQ((int)want.questions.size(), quiz.question_count);
    const Question* node = quiz.head;
    for (size_t i = 0; i < want.questions.size(); ++i, node = node->next) {
        ASSERT_NE(nullptr, node) << "list ends before question " << i + 1;
        const QuizSourceQuestion& q = want.questions[i];
        EXPECT_EQ(q.answer_1, node->answer_1) << "question " << i + 1;
        EXPECT_EQ(q.answer_2, node->answer_2) << "question " << i + 1;
        EXPECT_EQ(q.text, node->text) << "question " << i + 1;
        EXPECT_EQ(q.extra, node->extra) << "question " << i + 1;
        EXPECT_EQ(0, node->state);
    }
    EXPECT_EQ(nullptr, node) << "more nodes than questions";
    for (int k = 0; k < QUIZ_MAX_QUESTIONS; ++k) {
        std::string code = k < (int)want.codes.size() ? want.codes[k] : "";
        EXPECT_EQ(code, quiz.codes[k]) << "code " << k + 1;
    }
}
