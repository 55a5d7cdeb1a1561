// Scrolling the panel's content and the keys of the answer boxes.
#include <cstring>

#include "check/check.h"
#include "check/judge.h"
#include "panel/panel.h"
#include "quiz/answers_file.h"

namespace {

const int VERTICAL_LINE = 310;
const int WHEEL_STEP = 50;
const int HORIZONTAL_LINE = 1;
const WORD WHEEL_NOTCH_UP = 120;
const WORD WHEEL_NOTCH_DOWN = 0xFF88;   // -120

// Sets one bar from the content extent and the client extent; a bar not needed shows disabled.
void set_bar(HWND panel, int bar, int content, int client)
{
    int visible = client;
    if (content <= client) {
        SetScrollPos(panel, bar, 0, FALSE);
        visible = content;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = content - 2;
    info.nPage = visible > 0 ? (UINT)(visible - 1) : 0;
    SetScrollInfo(panel, bar, &info, TRUE);
}

int vertical_step(int code, const SCROLLINFO& info)
{
    switch (code) {
    case SB_LINEUP:         return info.nPos - VERTICAL_LINE;
    case SB_LINEDOWN:       return info.nPos + VERTICAL_LINE;
    case SB_PAGEUP:         return info.nPos - (int)info.nPage;
    case SB_PAGEDOWN:       return info.nPos + (int)info.nPage;
    case SB_THUMBTRACK:     return info.nTrackPos;
    case SB_TOP:            return 0;
    case SB_BOTTOM:         return info.nMax;
    case PANEL_SCROLL_DOWN: return info.nPos + WHEEL_STEP;
    case PANEL_SCROLL_UP:   return info.nPos - WHEEL_STEP;
    default:                return info.nPos;
    }
}

int horizontal_step(int code, const SCROLLINFO& info)
{
    switch (code) {
    case SB_LINELEFT:   return info.nPos - HORIZONTAL_LINE;
    case SB_LINERIGHT:  return info.nPos + HORIZONTAL_LINE;
    case SB_PAGELEFT:   return info.nPos - (int)info.nPage;
    case SB_PAGERIGHT:  return info.nPos + (int)info.nPage;
    case SB_THUMBTRACK: return info.nTrackPos;
    default:            return info.nPos;
    }
}

// Moves one bar to the position the step asks for and the content by what the bar took.
// Returns how far the content moved (old position - new position).
int scroll_bar_to(HWND panel, int bar, int code, int (*step)(int, const SCROLLINFO&))
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(panel, bar, &info);
    int wanted = step(code, info);
    if (wanted > info.nMax)
        wanted = info.nMax;
    if (wanted < info.nMin)
        wanted = info.nMin;
    SetScrollPos(panel, bar, wanted, TRUE);
    return info.nPos - GetScrollPos(panel, bar);
}

bool is_bravo(HWND panel, int id)
{
    char text[QUIZ_TEXT_SIZE] = "";
    GetDlgItemTextA(panel, id, text, sizeof text);
    return lstrcmpA(text, VERDICT_BRAVO) == 0;
}

LRESULT answer_box_on_key(HWND box, UINT msg, WPARAM wp, LPARAM lp)
{
    HWND panel = GetParent(box);
    switch (wp) {
    case VK_RETURN:
        check_answer(current_quiz(), panel, GetDlgCtrlID(box));
        return 1;
    case VK_PRIOR:
    case VK_UP:
        SendMessageA(panel, WM_VSCROLL, SB_PAGEUP, 0);
        break;
    case VK_NEXT:
    case VK_DOWN:
        SendMessageA(panel, WM_VSCROLL, SB_PAGEDOWN, 0);
        break;
    case VK_F1:
        copy_answer_to_unsolved(box);
        break;
    case VK_F2:
        save_answers(current_quiz());
        break;
    }
    return CallWindowProcA(panel_edit_class_proc(), box, msg, wp, lp);
}

}  // namespace

void update_scroll_ranges(const Quiz* quiz, HWND panel)
{
    RECT client;
    GetClientRect(panel, &client);
    set_bar(panel, SB_HORZ, quiz->content_width, client.right - client.left);
    set_bar(panel, SB_VERT, quiz->content_height, client.bottom - client.top);
}

void refresh_scrolling(const Quiz* quiz, HWND panel)
{
    int old_v = GetScrollPos(panel, SB_VERT), old_h = GetScrollPos(panel, SB_HORZ);
    update_scroll_ranges(quiz, panel);
    int new_v = GetScrollPos(panel, SB_VERT), new_h = GetScrollPos(panel, SB_HORZ);
    ScrollWindow(panel, old_h - new_h, old_v - new_v, nullptr, nullptr);
}

void panel_on_vscroll(HWND panel, int code)
{
    int moved = scroll_bar_to(panel, SB_VERT, code, vertical_step);
    ScrollWindow(panel, 0, moved, nullptr, nullptr);
}

void panel_on_hscroll(HWND panel, int code)
{
    int moved = scroll_bar_to(panel, SB_HORZ, code, horizontal_step);
    ScrollWindow(panel, moved, 0, nullptr, nullptr);
}

void panel_post_wheel(HWND panel, WPARAM wp)
{
    WORD delta = HIWORD(wp);
    if (delta == WHEEL_NOTCH_UP)
        PostMessageA(panel, WM_VSCROLL, PANEL_SCROLL_UP, 0);
    else if (delta == WHEEL_NOTCH_DOWN)
        PostMessageA(panel, WM_VSCROLL, PANEL_SCROLL_DOWN, 0);
}

void copy_answer_to_unsolved(HWND box)
{
    const Quiz* quiz = current_quiz();
    HWND panel = GetParent(box);
    char text[QUIZ_TEXT_SIZE] = "";
    GetWindowTextA(box, text, sizeof text);
    int boxes = quiz->question_count * boxes_per_question(quiz);
    for (int n = 1; n <= boxes; ++n) {
        if (is_bravo(panel, ID_STATUS_LABEL + n))
            continue;
        SetDlgItemTextA(panel, ID_ANSWER_BOX + n, text);
        if (HWND target = GetDlgItem(panel, ID_ANSWER_BOX + n))
            SetFocus(target);
    }
    SetFocus(box);
}

LRESULT CALLBACK answer_box_proc(HWND box, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SETFOCUS:
        SendMessageA(box, EM_SETSEL, 0, 260);
        break;
    case WM_KILLFOCUS:
        check_answer(current_quiz(), GetParent(box), GetDlgCtrlID(box));
        break;
    case WM_CHAR:
        if (wp == 0 || wp == '\t' || wp == '\r')
            return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
        return answer_box_on_key(box, msg, wp, lp);
    }
    return CallWindowProcA(panel_edit_class_proc(), box, msg, wp, lp);
}
