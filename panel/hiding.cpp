// Folding solved questions of a picture quiz away while the header's "Cacher" box is ticked,
// and closing up grid rows whose three questions are all folded.
#include "check/check.h"
#include "panel/panel.h"

namespace {

const int EXTRA_LABEL_HEIGHT = 65;

enum MoveMode { MOVE_HIDE, MOVE_SHOW, MOVE_SHIFT };

// Moves a control by distance x direction, relative to where it stands now, so a fold and an
// unfold cancel out at any scroll position.
void move_control(HWND panel, HWND control, int distance, int direction)
{
    if (!control)
        return;
    RECT rect;
    GetWindowRect(control, &rect);
    POINT top_left = {rect.left, rect.top + distance * direction};
    ScreenToClient(panel, &top_left);
    SetWindowPos(control, nullptr, top_left.x, top_left.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void move_question_controls(const Quiz* quiz, MoveMode mode, int show, HWND panel, int distance, int direction,
                            int q)
{
    HWND picture = GetDlgItem(panel, ID_PICTURE_BOX + q);
    HWND extra = GetDlgItem(panel, ID_EXTRA_LABEL + q);
    if (mode == MOVE_SHIFT) {
        move_control(panel, picture, distance, direction);
        move_control(panel, extra, distance, direction);
    } else {
        ShowWindow(picture, show);
        if (mode == MOVE_HIDE || quiz->all_solved == 1 || quiz->extra_kind != EXTRA_LABELS_AT_COMPLETION)
            ShowWindow(extra, show);
    }
    int boxes = quiz->answers_per_question;
    for (int k = 1; k <= boxes; ++k) {
        int n = boxes == 2 ? 2 * (q - 1) + k : q;
        move_control(panel, GetDlgItem(panel, ID_ANSWER_BOX + n), distance, direction);
        move_control(panel, GetDlgItem(panel, ID_STATUS_LABEL + n), distance, direction);
    }
    move_control(panel, GetDlgItem(panel, ID_NUMBER_LABEL + q), distance, direction);
}

int row_height(const Quiz* quiz, int row)
{
    return row < QUIZ_MAX_ROWS ? quiz->row_heights[row] : 0;
}

// How far the rows below move when a grid row closes up.
int closing_distance(const Quiz* quiz, int row)
{
    return row_height(quiz, row) + (quiz->extra_kind > 1 ? EXTRA_LABEL_HEIGHT : 0);
}

void shift_later_questions(Quiz* quiz, HWND panel, int after, int distance, int direction)
{
    for (int later = after + 1; later <= quiz->question_count; ++later)
        move_question_controls(quiz, MOVE_SHIFT, 0, panel, distance, direction, later);
}

void fold_solved(Quiz* quiz, HWND panel)
{
    int row = 0, folded = 0;
    for (int q = 1; q <= quiz->question_count && q <= QUIZ_MAX_QUESTIONS; ++q) {
        if (quiz->hide_state[q] == HIDE_SOLVED)
            ++folded;
        const Question* question = question_at(quiz, q);
        if (question && question->state == 1 && quiz->hide_state[q] == HIDE_SHOWN) {
            move_question_controls(quiz, MOVE_HIDE, SW_HIDE, panel, row_height(quiz, row), -1, q);
            ++folded;
            quiz->hide_state[q] = HIDE_SOLVED;
        }
        if (q % 3 == 0) {
            if (folded == 3) {
                int d = closing_distance(quiz, row);
                shift_later_questions(quiz, panel, q, d, -1);
                quiz->content_height -= d;
                quiz->hide_state[q] = HIDE_ROW_CLOSED;
            }
            ++row;
            folded = 0;
        }
    }
}

void unfold_all(Quiz* quiz, HWND panel)
{
    int row = 0;
    for (int q = 1; q <= quiz->question_count && q <= QUIZ_MAX_QUESTIONS; ++q) {
        if (quiz->hide_state[q] != HIDE_SHOWN)
            move_question_controls(quiz, MOVE_SHOW, SW_SHOWNORMAL, panel, row_height(quiz, row), +1, q);
        if (quiz->hide_state[q] == HIDE_ROW_CLOSED) {
            int d = closing_distance(quiz, row);
            quiz->content_height += d;
            shift_later_questions(quiz, panel, q, d, +1);
        }
        quiz->hide_state[q] = HIDE_SHOWN;
        if (q % 3 == 0)
            ++row;
    }
}

}  // namespace

void apply_row_hiding(Quiz* quiz)
{
    HWND panel = quiz->panel_window;
    if (SendDlgItemMessageA(quiz->header_window, ID_HIDE_BOX, BM_GETCHECK, 0, 0) == BST_CHECKED)
        fold_solved(quiz, panel);
    else
        unfold_all(quiz, panel);
    if (panel)
        refresh_scrolling(quiz, panel);
}
