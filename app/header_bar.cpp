// The header bar: counter, code box, title, explanation, author, link, "Sauver" and "Cacher".
#include "app/header_bar.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "check/check.h"
#include "panel/panel.h"
#include "quiz/answers_file.h"

namespace {

enum HeaderControl {
    ID_LINK = 24, ID_BY = 25, ID_AUTHOR = 26, ID_SAVE = 27, ID_EXPLANATION = 28, ID_TITLE = 29,
    ID_CODE_CAPTION = 31, ID_LINE_CODE = 120, ID_LINE_LEFT = 121, ID_LINE_RIGHT = 122,
};
enum { HAND_CURSOR = 1003 };

HBRUSH header_brush;

HWND add(HWND bar, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id)
{
    return CreateWindowExA(0, cls, text, style, x, y, w, h, bar, (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr),
                           nullptr);
}

void gui_font(HWND control)
{
    SendMessageA(control, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
}

// Underlined font three quarters of the label's height, and the hand cursor. The cursor is set
// on the Static class, so every static control of the process shows it from now on.
void style_link_label(HWND label)
{
    RECT client;
    GetClientRect(label, &client);
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = -(((client.bottom - client.top) * 3) / 4);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = 1;
    SendMessageA(label, WM_SETFONT, (WPARAM)CreateFontIndirectA(&font), FALSE);
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(HAND_CURSOR));
    SetClassLongPtrA(label, GCLP_HCURSOR, (LONG_PTR)hand);
}

BOOL header_on_init(HWND bar)
{
    const Quiz* quiz = current_quiz();
    const DWORD visible = WS_CHILD | WS_VISIBLE;
    HWND link = add(bar, "Static", quiz->link_text, visible | SS_NOTIFY, 736, 5, 115, 18, ID_LINK);
    style_link_label(link);
    gui_font(add(bar, "Static", "Par :", visible, 736, 25, 27, 18, ID_BY));
    gui_font(add(bar, "Static", quiz->author, visible, 763, 25, 85, 18, ID_AUTHOR));
    if (quiz->media_kind == MEDIA_PICTURES)
        gui_font(add(bar, "button", "Cacher", visible | BS_AUTOCHECKBOX, 636, 5, 55, 18, ID_HIDE_BOX));
    gui_font(add(bar, "button", "Sauver", visible, 666, 25, 55, 18, ID_SAVE));
    gui_font(add(bar, "Static", quiz->explanation, visible, 110, 19, 490, 27, ID_EXPLANATION));
    HWND title = add(bar, "Static", quiz->title, visible, 110, 3, 190, 18, ID_TITLE);
    SendMessageA(title, WM_SETFONT, (WPARAM)quiz->title_font, FALSE);
    gui_font(add(bar, "Static", " Code :", visible, 7, 29, 36, 15, ID_CODE_CAPTION));
    char counter[32];
    std::snprintf(counter, sizeof counter, " 0 / %d", quiz->question_count);
    HWND count = add(bar, "Static", counter, visible | SS_CENTER, 10, 1, 80, 20, ID_COUNTER);
    SendMessageA(count, WM_SETFONT, (WPARAM)quiz->counter_font, FALSE);
    gui_font(add(bar, "edit", "", visible | ES_READONLY, 44, 29, 53, 16, ID_CODE_BOX));
    add(bar, "Static", "", visible | WS_BORDER, 0, 26, 100, 1, ID_LINE_CODE);
    add(bar, "Static", "", visible | WS_BORDER, 100, 0, 1, 50, ID_LINE_LEFT);
    add(bar, "Static", "", visible | WS_BORDER, 730, 0, 1, 50, ID_LINE_RIGHT);
    header_brush = CreateSolidBrush(RGB(128, 128, 255));
    return TRUE;
}

void header_on_size(HWND bar)
{
    RECT client;
    GetClientRect(bar, &client);
    int w = client.right - client.left;
    struct Place { int id, x, y, width, height; bool invalidate; };
    const Place places[] = {
        {ID_HIDE_BOX, w - 204, 0, 55, 18, false},  {ID_TITLE, 110, 3, w - 350, 18, false},
        {ID_LINK, w - 134, 0, 115, 18, false},     {ID_BY, w - 134, 25, 26, 18, false},
        {ID_AUTHOR, w - 107, 25, 105, 18, true},   {ID_SAVE, w - 204, 25, 55, 18, true},
        {ID_EXPLANATION, 110, 19, w - 324, 28, true}, {ID_LINE_RIGHT, w - 145, 0, 1, 50, true},
    };
    for (const Place& p : places) {
        HWND control = GetDlgItem(bar, p.id);
        if (!control)
            continue;   // "Cacher" exists in picture quizzes only
        SetWindowPos(control, nullptr, p.x, p.y, p.width, p.height, SWP_NOOWNERZORDER | SWP_NOACTIVATE);
        if (p.invalidate)
            InvalidateRect(control, nullptr, FALSE);
    }
}

INT_PTR header_on_ctlcolorstatic(HDC dc, HWND control)
{
    int id = (int)GetWindowLongPtrA(control, GWLP_ID);
    if (id == ID_LINK) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(50, 50, 255));
        return (INT_PTR)header_brush;
    }
    if (id >= 20 && id <= 33) {
        SetBkMode(dc, TRANSPARENT);
        return (INT_PTR)header_brush;
    }
    return FALSE;
}

void header_on_command(WPARAM wp)
{
    Quiz* quiz = current_quiz();
    switch (wp) {   // the whole wParam: only clicks (notification 0) act
    case ID_LINK:
        ShellExecuteA(nullptr, "open", quiz->link_text, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case ID_SAVE:
        save_answers(quiz);
        break;
    case ID_HIDE_BOX:
        apply_row_hiding(quiz);
        break;
    }
}

}  // namespace

INT_PTR CALLBACK header_bar_proc(HWND bar, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:     return header_on_init(bar);
    case WM_SIZE:           header_on_size(bar); return 0;
    case WM_CTLCOLORDLG:    return (INT_PTR)header_brush;
    case WM_CTLCOLORSTATIC: return header_on_ctlcolorstatic((HDC)wp, (HWND)lp);
    case WM_COMMAND:        header_on_command(wp); return FALSE;
    case WM_DESTROY:        DeleteObject(header_brush); header_brush = nullptr; return FALSE;
    }
    return FALSE;
}
