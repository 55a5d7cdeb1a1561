// The question list: plain memory, no window system.
#include "quiz/quiz.h"

#include <cstdlib>
#include <cstring>

static Quiz* the_current_quiz;

Quiz* current_quiz() { return the_current_quiz; }

void set_current_quiz(Quiz* quiz) { the_current_quiz = quiz; }

int boxes_per_question(const Quiz* quiz)
{
    return quiz->media_kind == MEDIA_TEXT ? 1 : quiz->answers_per_question;
}

void quiz_copy_text(char* dest, int dest_size, const char* text)
{
    if (dest_size <= 0)
        return;
    size_t len = std::strlen(text);
    if (len > (size_t)(dest_size - 1))
        len = (size_t)(dest_size - 1);
    std::memcpy(dest, text, len);
    dest[len] = 0;
}

void quiz_add_question(Quiz* quiz, const char* answer_1, const char* answer_2, const char* text)
{
    Question* node = (Question*)std::calloc(1, sizeof(Question));
    if (!node)
        return;
    quiz_copy_text(node->answer_1, QUIZ_TEXT_SIZE, answer_1);
    quiz_copy_text(node->answer_2, QUIZ_TEXT_SIZE, answer_2);
    quiz_copy_text(node->text, QUIZ_TEXT_SIZE, text);
    node->prev = quiz->tail;
    node->next = nullptr;
    if (quiz->tail)
        quiz->tail->next = node;
    if (!quiz->head)
        quiz->head = node;
    quiz->tail = node;
}

Question* question_at(const Quiz* quiz, int number)
{
    Question* node = quiz->head;
    if (!node)
        return nullptr;
    for (int visited = 1; visited != number && node->next; ++visited)
        node = node->next;
    return node;
}

void quiz_free_questions(Quiz* quiz)
{
    Question* node = quiz->head;
    while (node) {
        Question* next = node->next;
        std::free(node);
        node = next;
    }
    quiz->head = nullptr;
    quiz->tail = nullptr;
}
