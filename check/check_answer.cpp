// Judging one answer box of the panel and applying the verdict to its controls.
#include <cstring>

#include "check/check.h"
#include "check/judge.h"
#include "panel/panel.h"
#include "picture/picture.h"

namespace {

enum { STATUS_READ_LIMIT = 255, BOX_READ_LIMIT = 260 };

struct BoxPlace {
    int question;      // N, from 1
    bool second;       // the second answer of a two-box question
};

BoxPlace place_of_box(const Quiz* quiz, int box_id)
{
    if (boxes_per_question(quiz) == 2)
        return {(box_id - 3999) / 2, (box_id % 2) == 0};
    return {box_id - ID_ANSWER_BOX, false};
}

void read_box(HWND panel, int box_id, char* text)
{
    text[0] = 0;
    HWND box = GetDlgItem(panel, box_id);
    if (box)
        GetWindowTextA(box, text, BOX_READ_LIMIT);
}

// Whether the box's text, normalised, equals the normalised accepted answer.
bool box_matches(HWND panel, int box_id, const char* accepted)
{
    char typed[QUIZ_TEXT_SIZE], answer[QUIZ_TEXT_SIZE];
    read_box(panel, box_id, typed);
    std::strcpy(answer, accepted);
    normalise_answer(typed);
    normalise_answer(answer);
    return lstrcmpA(typed, answer) == 0;
}

bool whole_question_matches(const Quiz* quiz, HWND panel, const Question* question, int n)
{
    int boxes = boxes_per_question(quiz);
    for (int k = 1; k <= boxes; ++k) {
        int box_id = ID_ANSWER_BOX + (n - 1) * boxes + k;
        if (!box_matches(panel, box_id, k == 1 ? question->answer_1 : question->answer_2))
            return false;
    }
    return true;
}

void show_solution_picture(HWND panel, int n)
{
    HBITMAP picture = load_picture(GetModuleHandleA(nullptr), 10400 + n, "IMG", PICTURE_BOX_SIZE, PICTURE_BOX_SIZE);
    if (!picture)
        return;
    HWND box = GetDlgItem(panel, ID_PICTURE_BOX + n);
    HGDIOBJ old = (HGDIOBJ)SendMessageA(box, STM_GETIMAGE, IMAGE_BITMAP, 0);
    if (old)
        DeleteObject(old);
    SendMessageA(box, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)picture);
}

void reveal(const Quiz* quiz, HWND panel, int n)
{
    HWND extra = GetDlgItem(panel, ID_EXTRA_LABEL + n);
    switch (quiz->extra_kind) {
    case EXTRA_SOLUTION_PICTURE:
        show_solution_picture(panel, n);
        break;
    case EXTRA_LABEL:
        ShowWindow(extra, SW_SHOWNORMAL);
        break;
    case EXTRA_PICTURE_AND_LABEL:
        ShowWindow(extra, SW_SHOWNORMAL);
        show_solution_picture(panel, n);
        break;
    default:
        break;
    }
}

}  // namespace

void check_answer(Quiz* quiz, HWND panel, int box_id)
{
    char old_verdict[QUIZ_TEXT_SIZE] = "";
    GetDlgItemTextA(panel, box_id + 1000, old_verdict, STATUS_READ_LIMIT);
    BoxPlace place = place_of_box(quiz, box_id);
    Question* question = question_at(quiz, place.question);
    if (!question)
        return;   // a quiz without questions has no boxes either

    char typed[QUIZ_TEXT_SIZE], answer[QUIZ_TEXT_SIZE];
    read_box(panel, box_id, typed);
    std::strcpy(answer, place.second ? question->answer_2 : question->answer_1);
    normalise_answer(typed);
    normalise_answer(answer);
    Judgement judgement = judge_answer(answer, typed);
    if (judgement.solved_early)
        question->state = 1;
    if (lstrcmpA(judgement.verdict, old_verdict) == 0)
        return;

    SetDlgItemTextA(panel, box_id + 1000, judgement.verdict);
    if (lstrcmpA(judgement.verdict, VERDICT_BRAVO) == 0) {
        if (whole_question_matches(quiz, panel, question, place.question)) {
            question->state = 1;
            reveal(quiz, panel, place.question);
        }
    } else {
        if (quiz->extra_kind != EXTRA_WORD_COUNT)
            ShowWindow(GetDlgItem(panel, ID_EXTRA_LABEL + place.question), SW_HIDE);
        quiz->all_solved = 0;
    }
    if (quiz->extra_kind == EXTRA_LABELS_AT_COMPLETION)
        check_completion(quiz, panel);
    update_progress(quiz, panel);
}
