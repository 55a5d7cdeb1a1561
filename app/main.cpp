// The player process: start-up, the main window, the message loop and shutdown.
#include <windows.h>

#include <cstdlib>

#include "app/header_bar.h"
#include "panel/panel.h"
#include "quiz/answers_file.h"
#include "quiz/quiz_load.h"

namespace {

const char MAIN_CLASS[] = "Vorlo";
const int FOOTER_ID = 8000;

struct Shell {
    HWND main_window;
    HBRUSH footer_brush;
};
Shell shell;

void main_on_create(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HWND footer = CreateWindowExA(0, "Static", current_quiz()->footer_text, WS_CHILD | WS_VISIBLE, 720,
                                  client.bottom - 16, 140, 15, window, (HMENU)(INT_PTR)FOOTER_ID,
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(footer, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), TRUE);
    SendMessageA(window, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(nullptr, IDI_QUESTION));
}

void main_on_size(HWND window, WPARAM type)
{
    if (type == SIZE_MINIMIZED)
        return;
    RECT client;
    GetClientRect(window, &client);
    int w = client.right, h = client.bottom;
    const Quiz* quiz = current_quiz();
    SetWindowPos(quiz->panel_window, nullptr, 5, 50, w - 11, h - 68, SWP_NOZORDER);
    SetWindowPos(quiz->header_window, nullptr, 5, 2, w - 11, 49, SWP_NOZORDER);
    SetWindowPos(GetDlgItem(window, FOOTER_ID), nullptr, w - 145, h - 16, 150, 15,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

void main_on_destroy()
{
    DestroyWindow(current_quiz()->panel_window);
    PostQuitMessage(0);
}

LRESULT main_on_ctlcolorstatic(HDC dc, HWND control)
{
    if (GetWindowLongPtrA(control, GWLP_ID) != FOOTER_ID)
        return 0;
    SetBkMode(dc, TRANSPARENT);
    return (LRESULT)shell.footer_brush;
}

LRESULT CALLBACK main_window_proc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:         main_on_create(window); return 0;
    case WM_SIZE:           main_on_size(window, wp); return 0;
    case WM_CLOSE:          save_answers(current_quiz()); main_on_destroy(); return 0;
    case WM_DESTROY:        main_on_destroy(); return 0;
    case WM_CTLCOLORSTATIC: return main_on_ctlcolorstatic((HDC)wp, (HWND)lp);
    case WM_MOUSEWHEEL:     panel_post_wheel(current_quiz()->panel_window, wp); return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

bool register_main_class(HINSTANCE instance)
{
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = main_window_proc;
    cls.hInstance = instance;
    cls.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    cls.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = (HBRUSH)(INT_PTR)(COLOR_SCROLLBAR + 1);
    cls.lpszClassName = MAIN_CLASS;
    return RegisterClassExA(&cls) != 0;
}

void centre_on_desktop(HWND window)
{
    RECT desk, rect;
    GetWindowRect(GetDesktopWindow(), &desk);
    GetWindowRect(window, &rect);
    int x = desk.left + ((desk.right - desk.left) - (rect.right - rect.left)) / 2;
    int y = desk.top + ((desk.bottom - desk.top) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void open_windows(Quiz* quiz, HINSTANCE instance)
{
    shell.main_window = CreateWindowExA(0, MAIN_CLASS, quiz->title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
    centre_on_desktop(shell.main_window);
    HWND header = CreateDialogParamA(instance, MAKEINTRESOURCEA(HEADER_TEMPLATE), shell.main_window,
                                     header_bar_proc, 0);
    ShowWindow(header, SW_SHOWNORMAL);
    quiz->header_window = header;
    quiz->panel_window = CreateDialogParamA(instance, MAKEINTRESOURCEA(PANEL_TEMPLATE), shell.main_window,
                                            question_panel_proc, 0);
    ShowWindow(shell.main_window, SW_SHOWNORMAL);
    ShowWindow(quiz->panel_window, SW_SHOWNORMAL);
    SendMessageA(quiz->panel_window, WM_VSCROLL, SB_TOP, 0);
}

WPARAM run_message_loop(const Quiz* quiz)
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(quiz->panel_window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return msg.wParam;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!register_main_class(instance)) {
        MessageBoxA(nullptr, "Erreur dans la cr\xE9" "ation de la fen\xEAtre principale", "Vorlo", MB_ICONINFORMATION);
        return 0;
    }
    shell.footer_brush = CreateSolidBrush(RGB(212, 208, 200));
    Quiz* quiz = (Quiz*)std::calloc(1, sizeof(Quiz));
    if (!quiz)
        return 0;
    quiz_init(quiz);
    set_current_quiz(quiz);
    quiz_load(quiz);
    prepare_media(quiz);
    open_windows(quiz, instance);
    WPARAM exit_code = run_message_loop(quiz);
    DestroyWindow(quiz->header_window);
    release_media(quiz, shell.main_window);
    DeleteObject(shell.footer_brush);
    quiz_release(quiz);
    std::free(quiz);
    return (int)exit_code;
}
