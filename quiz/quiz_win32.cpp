// The quiz record's defaults and its GDI objects.
#include "quiz/quiz.h"

#include <windows.h>

#include <cstring>

static HFONT create_counter_font()
{
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = 25;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "Arial");
    return CreateFontIndirectA(&font);
}

static HFONT create_title_font()
{
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = -15;
    font.lfWeight = FW_BOLD;
    font.lfItalic = 1;
    return CreateFontIndirectA(&font);
}

void quiz_init(Quiz* quiz)
{
    quiz->head = nullptr;
    quiz->tail = nullptr;
    quiz->counter_font = create_counter_font();
    quiz->title_font = create_title_font();
    std::strcpy(quiz->title, "Nom du vorlo");
    std::strcpy(quiz->author, "Createur vorlo");
    quiz->media_kind = MEDIA_TEXT;
    quiz->question_count = 2;
    quiz->colour_red = 90;
    quiz->colour_green = 95;
    quiz->colour_blue = 150;
    quiz->background_brush = CreateSolidBrush(RGB(90, 95, 150));
    quiz->extra_kind = EXTRA_NONE;
    quiz->answers_per_question = 1;
    quiz->all_solved = 0;
    for (int32_t& state : quiz->hide_state)
        state = HIDE_SHOWN;
    quiz->wrong_brush = CreateSolidBrush(RGB(255, 0, 0));
    quiz->anagram_brush = CreateSolidBrush(RGB(255, 100, 0));
    quiz->hint_brush = CreateSolidBrush(RGB(255, 203, 38));
    quiz->question_brush = CreateSolidBrush(RGB(255, 255, 192));
    quiz->media_folder[0] = 0;
}

void quiz_release(Quiz* quiz)
{
    DeleteObject(quiz->background_brush);
    DeleteObject(quiz->wrong_brush);
    DeleteObject(quiz->anagram_brush);
    DeleteObject(quiz->hint_brush);
    DeleteObject(quiz->question_brush);
    DeleteObject(quiz->title_font);
    DeleteObject(quiz->panel_font);
    DeleteObject(quiz->counter_font);
    quiz_free_questions(quiz);
}
