// The one in-memory quiz and its list of questions.
#pragma once
#include <cstdint>

// The same handle types <windows.h> declares (STRICT), so the record needs no Windows header
// and the pure cores can fill its texts and counts natively.
struct HFONT__;
struct HBRUSH__;
struct HWND__;
typedef HFONT__* HFONT;
typedef HBRUSH__* HBRUSH;
typedef HWND__* HWND;

enum {
    QUIZ_TEXT_SIZE = 260,     // 259 characters and the terminator
    QUIZ_MAX_QUESTIONS = 96,
    QUIZ_MAX_ROWS = 32,       // rows of three questions in a grid quiz
    QUIZ_MEDIA_FOLDER_SIZE = 512,
    QUIZ_LINK_SIZE = 25,
    QUIZ_FOOTER_SIZE = 43,
};

enum MediaKind { MEDIA_TEXT = 0, MEDIA_PICTURES = 1, MEDIA_AUDIO = 2, MEDIA_VIDEO = 3 };

// What solving a question reveals.
enum ExtraKind {
    EXTRA_NONE = 0,
    EXTRA_SOLUTION_PICTURE = 1,
    EXTRA_LABEL = 2,
    EXTRA_PICTURE_AND_LABEL = 3,
    EXTRA_LABELS_AT_COMPLETION = 4,
    EXTRA_WORD_COUNT = 5,
};

// Quiz.hide_state values.
enum HideState { HIDE_SHOWN = 0, HIDE_SOLVED = 1, HIDE_ROW_CLOSED = 2 };

struct Question {
    char answer_1[QUIZ_TEXT_SIZE];
    char answer_2[QUIZ_TEXT_SIZE];
    char text[QUIZ_TEXT_SIZE];
    char extra[QUIZ_TEXT_SIZE];
    int32_t state;            // 0 not solved, 1 solved (never set back)
    Question* prev;
    Question* next;
};

struct Quiz {
    int32_t content_width;
    int32_t content_height;
    int32_t media_kind;
    char title[QUIZ_TEXT_SIZE];
    char author[QUIZ_TEXT_SIZE];
    char explanation[QUIZ_TEXT_SIZE];
    char answer_label_1[QUIZ_TEXT_SIZE];
    char answer_label_2[QUIZ_TEXT_SIZE];
    int32_t question_count;
    int32_t answers_per_question;
    char codes[QUIZ_MAX_QUESTIONS][QUIZ_TEXT_SIZE];
    int32_t extra_kind;
    HFONT panel_font;
    HFONT counter_font;
    HFONT title_font;
    int32_t all_solved;
    HWND panel_window;
    int32_t row_heights[QUIZ_MAX_ROWS];
    int32_t hide_state[QUIZ_MAX_QUESTIONS + 1];   // indexed by question number 1..96
    uint8_t colour_red;
    uint8_t colour_blue;
    uint8_t colour_green;
    HBRUSH background_brush;
    HBRUSH wrong_brush;
    HBRUSH anagram_brush;
    HBRUSH hint_brush;
    HBRUSH question_brush;
    HWND header_window;
    char media_folder[QUIZ_MEDIA_FOLDER_SIZE];
    char link_text[QUIZ_LINK_SIZE];
    char footer_text[QUIZ_FOOTER_SIZE];
    Question* head;
    Question* tail;
};

// Fills a zero-filled record with its defaults and creates its fonts and brushes.
void quiz_init(Quiz* quiz);
// Appends one question at the tail; a node that cannot be allocated is left out silently.
void quiz_add_question(Quiz* quiz, const char* answer_1, const char* answer_2, const char* text);
// Question number n (from 1). The list may be shorter than the count: the last node stands in,
// also for n below 1; null only for an empty list.
Question* question_at(const Quiz* quiz, int number);
// Deletes the fonts and brushes and frees every node; the record itself belongs to the caller.
void quiz_release(Quiz* quiz);
// Frees every node (the part of quiz_release that needs no GDI).
void quiz_free_questions(Quiz* quiz);
// Copies text into a buffer of dest_size bytes, cut to fit and always terminated.
void quiz_copy_text(char* dest, int dest_size, const char* text);

// The process-wide current quiz, set once by start-up before the quiz is loaded.
Quiz* current_quiz();
void set_current_quiz(Quiz* quiz);

// Answer boxes per question as the panel builds them: a text quiz always has one, whatever its
// resource declares, and its boxes are judged and counted one per question.
int boxes_per_question(const Quiz* quiz);
