// The question panel: builds the controls of every question and colours its labels.
#include "panel/panel.h"

#include <cstdio>
#include <cstring>

#include "check/check.h"
#include "check/judge.h"
#include "picture/picture.h"
#include "quiz/answers_file.h"

namespace {

const DWORD LABEL_STYLE = WS_CHILD | WS_VISIBLE;
const DWORD STATUS_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_CENTER;
const DWORD TEXT_ANSWER_STYLE = 0x50810281;   // bordered tab stop, centred, scrolling, and bit 0x0200
const DWORD GRID_ANSWER_STYLE = 0x50810081;
const DWORD BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_ICON | BS_DEFPUSHBUTTON;
const int GRID_COLUMN_WIDTH = 290;
const int GRID_ANSWER_LIMIT = 128;

// What the panel holds besides its controls.
struct PanelState {
    HBRUSH bravo_brush;
    HICON play_icon;
    HICON stop_icon;
    WNDPROC edit_class_proc;
    SavedAnswers saved;
};
PanelState panel_state;

HWND add_control(HWND panel, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExA(0, cls, text, style, x, y, w, h, panel, (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr),
                           nullptr);
}

void set_font(HWND control, HGDIOBJ font, BOOL redraw)
{
    SendMessageA(control, WM_SETFONT, (WPARAM)font, redraw);
}

HFONT create_panel_font()
{
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = 15;
    font.lfWeight = FW_THIN;
    return CreateFontIndirectA(&font);
}

void subclass_answer_box(HWND box)
{
    panel_state.edit_class_proc = (WNDPROC)SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)answer_box_proc);
}

void word_count_hint(const Question* question, char* text, size_t size)
{
    int words = count_answer_words(question->answer_1);
    std::snprintf(text, size, "en %d mot%s", words, words == 1 ? "" : "s");
}

int build_text_row(Quiz* quiz, HWND panel, int q, int y)
{
    const Question* question = question_at(quiz, q);
    char number[16];
    std::snprintf(number, sizeof number, "%d.", q);
    add_control(panel, "Static", number, LABEL_STYLE | SS_RIGHT, 26, y + 2, 19, 17, ID_NUMBER_LABEL);
    HWND text = add_control(panel, "Static", question ? question->text : "", STATUS_STYLE, 50, y, 550, 20,
                            ID_QUESTION_LABEL);
    set_font(text, quiz->panel_font, FALSE);
    char saved[SAVED_ANSWER_MAX + 1];
    read_saved_answer(&panel_state.saved, saved);
    HWND box = add_control(panel, "Edit", saved, TEXT_ANSWER_STYLE, 610, y, 170, 20, ID_ANSWER_BOX + q);
    set_font(box, quiz->panel_font, FALSE);
    add_control(panel, "Static", "?", STATUS_STYLE, 790, y, 100, 20, ID_STATUS_LABEL + q);
    check_answer(quiz, panel, ID_ANSWER_BOX + q);
    subclass_answer_box(box);
    y += 25;
    quiz->content_width = 880;
    quiz->content_height = y;
    return y;
}

// A grid row's pictures: loaded together when its first question is built.
struct RowPictures {
    HBITMAP bitmap[3];
    int width[3];
    int height[3];
    int row_height;
};
RowPictures row_pictures;

void load_row_pictures(Quiz* quiz, int q)
{
    RowPictures& row = row_pictures;
    row.row_height = 0;
    for (int c = 0; c < 3; ++c) {
        row.bitmap[c] = load_picture(GetModuleHandleA(nullptr), 400 + q + c, "IMG", PICTURE_BOX_SIZE, PICTURE_BOX_SIZE);
        BITMAP info{};
        row.width[c] = PICTURE_BOX_SIZE;
        row.height[c] = 0;
        if (row.bitmap[c] && GetObjectA(row.bitmap[c], sizeof info, &info)) {
            row.width[c] = info.bmWidth;
            row.height[c] = info.bmHeight;
        }
        if (row.height[c] > row.row_height)
            row.row_height = row.height[c];
    }
    int grid_row = (q - 1) / 3;
    if (grid_row < QUIZ_MAX_ROWS)
        quiz->row_heights[grid_row] = row.row_height;
}

void build_answer_captions(const Quiz* quiz, HWND panel, int ya)
{
    HGDIOBJ gui_font = GetStockObject(DEFAULT_GUI_FONT);
    set_font(add_control(panel, "Static", quiz->answer_label_1, LABEL_STYLE, 4, ya + 2, 95, 20, ID_ANSWER_CAPTION),
             gui_font, TRUE);
    set_font(add_control(panel, "Static", quiz->answer_label_2, LABEL_STYLE, 3, ya + 22, 95, 20, ID_ANSWER_CAPTION),
             gui_font, TRUE);
}

void build_extra_label(const Quiz* quiz, HWND panel, int q, int x, int ya)
{
    const Question* question = question_at(quiz, q);
    bool word_count = quiz->extra_kind == EXTRA_WORD_COUNT;
    HWND label = add_control(panel, "Static", "", LABEL_STYLE | SS_CENTER, x, ya + 46, 260, word_count ? 20 : 65,
                             ID_EXTRA_LABEL + q);
    set_font(label, GetStockObject(DEFAULT_GUI_FONT), TRUE);
    char text[QUIZ_TEXT_SIZE] = "";
    if (word_count && question)
        word_count_hint(question, text, sizeof text);
    else if (question)
        std::strcpy(text, question->extra);
    SetWindowTextA(label, text);
    if (!word_count)
        ShowWindow(label, SW_HIDE);
}

void build_answer_boxes(Quiz* quiz, HWND panel, int q, int x, int ya, int box_width)
{
    for (int k = 1; k <= quiz->answers_per_question; ++k) {
        char saved[SAVED_ANSWER_MAX + 1];
        read_saved_answer(&panel_state.saved, saved);
        HWND box = nullptr;
        int id = 0;
        if (quiz->answers_per_question == 1) {
            id = q;
            box = add_control(panel, "Edit", saved, GRID_ANSWER_STYLE, x, ya, box_width, 20, ID_ANSWER_BOX + id);
            add_control(panel, "Static", "?", STATUS_STYLE, x, ya + 19, box_width, 20, ID_STATUS_LABEL + id);
        } else if (quiz->answers_per_question == 2) {
            id = 2 * (q - 1) + k;
            int top = ya + 19 * (k - 1);
            box = add_control(panel, "Edit", saved, GRID_ANSWER_STYLE, x, top, box_width - 59, 20, ID_ANSWER_BOX + id);
            HWND status = add_control(panel, "Static", "?", STATUS_STYLE, x + box_width - 60, top, 60, 20,
                                      ID_STATUS_LABEL + id);
            set_font(status, GetStockObject(DEFAULT_GUI_FONT), TRUE);
        } else {
            continue;   // no boxes for any other count; the saved line is still consumed
        }
        set_font(box, quiz->panel_font, FALSE);
        SendMessageA(box, EM_LIMITTEXT, GRID_ANSWER_LIMIT, 0);
        subclass_answer_box(box);
        check_answer(quiz, panel, ID_ANSWER_BOX + id);
        SetFocus(panel);
    }
}

void build_media_buttons(HWND panel, int q, int x, int ya)
{
    HWND play = add_control(panel, "Button", "", BUTTON_STYLE, x, ya, 20, 20, ID_PLAY_BUTTON + q);
    SendMessageA(play, BM_SETIMAGE, IMAGE_ICON, (LPARAM)panel_state.play_icon);
    HWND stop = add_control(panel, "Button", "", BUTTON_STYLE, x, ya + 20, 20, 19, ID_STOP_BUTTON + q);
    SendMessageA(stop, BM_SETIMAGE, IMAGE_ICON, (LPARAM)panel_state.stop_icon);
}

// One cell of a grid row; false when the media player could not be made (construction ends).
bool build_grid_cell(Quiz* quiz, HWND panel, int q, int* y)
{
    int c = (q - 1) % 3;
    int left = 20 + GRID_COLUMN_WIDTH * c;
    int x = left + (quiz->answers_per_question == 2 ? 86 : 26);
    bool pictures = quiz->media_kind == MEDIA_PICTURES;
    int box_width = pictures ? 260 : 240;
    int dx = 0, dy = 0;
    HWND picture_box = nullptr;
    if (pictures) {
        if (c == 0)
            load_row_pictures(quiz, q);
        int w = row_pictures.width[c], h = row_pictures.height[c], rh = row_pictures.row_height;
        picture_box = add_control(panel, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_BITMAP,
                                  x + (260 - w) / 2, *y + (rh - h) / 2, w, h, ID_PICTURE_BOX + q);
        dy = rh + 10;
    } else {
        bool video = quiz->media_kind == MEDIA_VIDEO;
        HWND host = add_control(panel, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, x, *y, video ? 260 : 0,
                                video ? 200 : 0, ID_PICTURE_BOX + q);
        if (!create_row_player(quiz, panel, host, q))
            return false;
        dx = 20;
        dy = video ? 210 : 0;
    }
    int ya = *y + dy;
    if (quiz->answers_per_question == 2 && c == 0)
        build_answer_captions(quiz, panel, ya);
    char number[16];
    std::snprintf(number, sizeof number, "%d.", q);
    add_control(panel, "Static", number, LABEL_STYLE | SS_RIGHT, x - 28, ya + 2, 27, 17, ID_NUMBER_LABEL + q);
    if (quiz->extra_kind > 1)
        build_extra_label(quiz, panel, q, x, ya);
    build_answer_boxes(quiz, panel, q, x + dx, ya, box_width);
    if (pictures) {
        if (!SendMessageA(picture_box, STM_GETIMAGE, IMAGE_BITMAP, 0))
            SendMessageA(picture_box, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)row_pictures.bitmap[c]);
        else if (row_pictures.bitmap[c])
            DeleteObject(row_pictures.bitmap[c]);   // the solution picture already stands there
    } else {
        build_media_buttons(panel, q, x, ya);
    }
    bool labels = quiz->extra_kind > 1;
    if (c == 2)
        *y = ya + (quiz->extra_kind == EXTRA_WORD_COUNT ? 80 : labels ? 140 : 60);
    if (c == 0) {
        quiz->content_width = 890;
        quiz->content_height = ya + (labels ? 140 : 60);
    }
    return true;
}

BOOL panel_on_init(Quiz* quiz, HWND panel)
{
    panel_state.bravo_brush = CreateSolidBrush(RGB(0, 255, 0));
    quiz->content_width = 0;
    quiz->content_height = 0;
    bool media = quiz->media_kind == MEDIA_AUDIO || quiz->media_kind == MEDIA_VIDEO;
    if (media) {
        panel_state.play_icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1004));
        panel_state.stop_icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1005));
    }
    saved_answers_open(&panel_state.saved);
    quiz->panel_font = create_panel_font();
    int y = 5;
    bool grid = quiz->media_kind >= MEDIA_PICTURES && quiz->media_kind <= MEDIA_VIDEO;
    for (int q = 1; q <= quiz->question_count; ++q) {
        if (quiz->media_kind == MEDIA_TEXT) {
            y = build_text_row(quiz, panel, q, y);
        } else if (grid && !build_grid_cell(quiz, panel, q, &y)) {
            saved_answers_close(&panel_state.saved);
            return TRUE;   // no player: the panel ends at this question
        }
    }
    quiz->content_width += quiz->answers_per_question == 2 ? 80 : 20;
    saved_answers_close(&panel_state.saved);
    update_scroll_ranges(quiz, panel);
    return TRUE;
}

bool label_text_is(HWND label, const char* verdict)
{
    char text[QUIZ_TEXT_SIZE] = "";
    GetWindowTextA(label, text, sizeof text);
    return lstrcmpA(text, verdict) == 0;
}

bool is_plain_label(int id)
{
    return id == ID_NUMBER_LABEL || id == ID_ANSWER_CAPTION ||
           (id > ID_NUMBER_LABEL && id <= ID_NUMBER_LABEL + QUIZ_MAX_QUESTIONS) ||
           (id > ID_EXTRA_LABEL && id <= ID_EXTRA_LABEL + QUIZ_MAX_QUESTIONS);
}

HBRUSH status_colours(const Quiz* quiz, HDC dc, HWND label)
{
    struct Row { const char* verdict; COLORREF colour; HBRUSH brush; };
    const Row rows[] = {
        {VERDICT_ANAGRAM, RGB(255, 100, 0), quiz->anagram_brush},
        {VERDICT_BRAVO, RGB(0, 255, 0), panel_state.bravo_brush},
        {VERDICT_WRONG, RGB(255, 0, 0), quiz->wrong_brush},
    };
    for (const Row& row : rows) {
        if (label_text_is(label, row.verdict)) {
            SetBkColor(dc, row.colour);
            return row.brush;
        }
    }
    if (label_text_is(label, VERDICT_EMPTY))
        return nullptr;
    SetBkColor(dc, RGB(255, 203, 38));
    return quiz->hint_brush;
}

HBRUSH panel_label_colours(const Quiz* quiz, HDC dc, HWND label)
{
    int id = (int)GetWindowLongPtrA(label, GWLP_ID);
    if (is_plain_label(id)) {
        SetBkMode(dc, TRANSPARENT);
        bool light = quiz->colour_red > 69 || quiz->colour_green > 69;
        SetTextColor(dc, light ? RGB(0, 0, 0) : RGB(255, 255, 255));
        return quiz->background_brush;
    }
    if (id > ID_STATUS_LABEL && id <= ID_STATUS_LABEL + 2 * QUIZ_MAX_QUESTIONS)
        return status_colours(quiz, dc, label);
    if (id == ID_QUESTION_LABEL) {
        SetBkColor(dc, RGB(255, 255, 192));
        return quiz->question_brush;
    }
    return nullptr;
}

// Handled here: left to the dialog manager, the notch would also reach the main window, which
// scrolls the panel a second time.
INT_PTR panel_on_mousewheel(HWND panel, WPARAM wp)
{
    panel_post_wheel(panel, wp);
    SetWindowLongPtrA(panel, DWLP_MSGRESULT, 0);
    return TRUE;
}

void panel_on_destroy()
{
    DeleteObject(panel_state.bravo_brush);
    panel_state.bravo_brush = nullptr;
    media_on_panel_destroy();
}

}  // namespace

WNDPROC panel_edit_class_proc()
{
    return panel_state.edit_class_proc;
}

INT_PTR CALLBACK question_panel_proc(HWND panel, UINT msg, WPARAM wp, LPARAM lp)
{
    Quiz* quiz = current_quiz();
    switch (msg) {
    case WM_INITDIALOG:     return panel_on_init(quiz, panel);
    case WM_CTLCOLORSTATIC: return (INT_PTR)panel_label_colours(quiz, (HDC)wp, (HWND)lp);
    case WM_CTLCOLORDLG:    return (INT_PTR)quiz->background_brush;
    case WM_DESTROY:
    case WM_CLOSE:          panel_on_destroy(); return 0;
    case WM_SIZE:           refresh_scrolling(quiz, panel); return 0;
    case WM_VSCROLL:        panel_on_vscroll(panel, LOWORD(wp)); return 0;
    case WM_HSCROLL:        panel_on_hscroll(panel, LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL:     return panel_on_mousewheel(panel, wp);
    case WM_COMMAND:        if (HIWORD(wp) == BN_CLICKED) media_on_command(quiz, panel, LOWORD(wp)); return 0;
    }
    (void)lp;
    return FALSE;
}
