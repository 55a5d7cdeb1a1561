// The header's counter and code box, and the reveal of every extra text at completion.
#include <cstdio>

#include "check/check.h"
#include "check/judge.h"
#include "panel/panel.h"

namespace {

bool label_is_bravo(HWND panel, int id, int limit)
{
    char text[QUIZ_TEXT_SIZE] = "";
    HWND label = GetDlgItem(panel, id);
    if (label)
        GetWindowTextA(label, text, limit);
    return lstrcmpA(text, VERDICT_BRAVO) == 0;
}

int solved_questions(const Quiz* quiz, HWND panel)
{
    int boxes = boxes_per_question(quiz);
    int solved = 0;
    for (int n = 1; n <= quiz->question_count; ++n) {
        int bravos = 0;
        for (int k = 1; k <= boxes; ++k)
            bravos += label_is_bravo(panel, ID_STATUS_LABEL + (n - 1) * boxes + k, 255);
        solved += bravos == boxes;
    }
    return solved;
}

bool hide_box_ticked(const Quiz* quiz)
{
    return SendDlgItemMessageA(quiz->header_window, ID_HIDE_BOX, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

void update_progress(Quiz* quiz, HWND panel)
{
    int solved = solved_questions(quiz, panel);
    char counter[32];
    std::snprintf(counter, sizeof counter, " %d / %d", solved, quiz->question_count);
    SetDlgItemTextA(quiz->header_window, ID_COUNTER, counter);
    const char* code = "      ";
    if (solved > 0 && solved <= QUIZ_MAX_QUESTIONS)
        code = quiz->codes[solved - 1];
    SetDlgItemTextA(quiz->header_window, ID_CODE_BOX, code);
    apply_row_hiding(quiz);
}

void check_completion(Quiz* quiz, HWND panel)
{
    if (quiz->all_solved == 1)
        return;
    int labels = quiz->question_count * boxes_per_question(quiz);
    for (int n = 1; n <= labels; ++n)
        if (!label_is_bravo(panel, ID_STATUS_LABEL + n, 260))
            return;
    quiz->all_solved = 1;
    if (hide_box_ticked(quiz))
        return;
    for (int q = 1; q <= quiz->question_count; ++q)
        ShowWindow(GetDlgItem(panel, ID_EXTRA_LABEL + q), SW_SHOWNORMAL);
}
