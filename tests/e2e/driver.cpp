// vorlo-driver: works a running player from another process the way a person would, and reads
// back what a person would see. One command per run; its result is one line on stdout and exit
// code 0, or an error on stderr and exit code 1.
//
// The player is the top-level window of class $VORLO_CLASS ("Vorlo" when unset) whose process
// runs the executable $VORLO_EXE (a Linux or a Windows path; any process when unset). Scenarios
// copy the player into a folder of their own, so the path tells players running side by side apart.
//
// Windows: main (the player's main window), header (the child dialog holding the counter, id 32),
// panel (the other child dialog). Controls: ID, or ID:N for the N-th control carrying that id in
// reading order (top to bottom, then left to right), since every question of a text quiz shares
// the ids of its number and question labels. ID 0 is the window itself.
//
// Text arguments take \xHH escapes: answers are Windows-1252 bytes, and a command line passes
// through the Linux locale on its way in. Texts are printed as raw bytes.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/driver_hook.h"

namespace {

// A player that takes longer than this to answer a message is hung, not busy.
const UINT send_timeout_ms = 10000;
// Interval between two looks while waiting for a window or a value.
const DWORD poll_interval_ms = 20;

typedef std::vector<std::string> arg_list;

struct reply {
    bool ok;
    std::string text;  // the result line, or the error when !ok
};

reply done(const std::string &text) { return {true, text}; }
reply error(const std::string &text) { return {false, text}; }
reply done_int(long long value) { return done(std::to_string(value)); }

// --- texts -------------------------------------------------------------------------------------

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "\xHH" gives the byte HH and "\\" a backslash; everything else is taken as it is.
std::string unescape(const std::string &in)
{
    std::string out;
    for (size_t i = 0; i < in.size(); i++) {
        if (in[i] == '\\' && i + 1 < in.size() && in[i + 1] == '\\') {
            out += '\\';
            i++;
        } else if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x' &&
                   hex_digit(in[i + 2]) >= 0 && hex_digit(in[i + 3]) >= 0) {
            out += (char)(hex_digit(in[i + 2]) * 16 + hex_digit(in[i + 3]));
            i += 3;
        } else {
            out += in[i];
        }
    }
    return out;
}

bool parse_int(const std::string &s, long &value)
{
    if (s.empty()) return false;
    char *end = NULL;
    value = strtol(s.c_str(), &end, 0);
    return *end == 0;
}

// --- finding the player ------------------------------------------------------------------------

std::wstring widen(const char *text)
{
    wchar_t buf[MAX_PATH * 2] = L"";
    MultiByteToWideChar(CP_ACP, 0, text, -1, buf, MAX_PATH * 2);
    return buf;
}

typedef WCHAR *(CDECL *dos_name_fn)(LPCSTR);

// The Windows path of $VORLO_EXE; a Linux path is converted the way Wine maps it.
std::wstring wanted_image()
{
    const char *exe = getenv("VORLO_EXE");
    if (!exe || !*exe) return L"";
    if (exe[0] != '/') return widen(exe);
    FARPROC proc = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (proc) {
        dos_name_fn to_dos = reinterpret_cast<dos_name_fn>(reinterpret_cast<void (*)(void)>(proc));
        WCHAR *name = to_dos(exe);
        if (name) {
            std::wstring out = name;
            HeapFree(GetProcessHeap(), 0, name);
            return out;
        }
    }
    std::string path = std::string("Z:") + exe;  // Wine maps the Linux root to drive Z:
    std::replace(path.begin(), path.end(), '/', '\\');
    return widen(path.c_str());
}

bool process_runs(DWORD pid, const std::wstring &image)
{
    if (image.empty()) return true;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return false;
    wchar_t name[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    BOOL found = QueryFullProcessImageNameW(process, 0, name, &size);
    CloseHandle(process);
    return found && lstrcmpiW(name, image.c_str()) == 0;
}

struct window_search {
    const char *window_class;
    std::wstring image;
    HWND found;
};

BOOL CALLBACK match_top_window(HWND window, LPARAM param)
{
    window_search *search = reinterpret_cast<window_search *>(param);
    char name[64];
    GetClassNameA(window, name, sizeof name);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (strcmp(name, search->window_class) != 0 || !process_runs(pid, search->image)) return TRUE;
    search->found = window;
    return FALSE;
}

// The player's top-level window of the given class, or NULL.
HWND find_top_window(const char *window_class)
{
    window_search search = {window_class, wanted_image(), NULL};
    EnumWindows(match_top_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

const char *main_class()
{
    const char *name = getenv("VORLO_CLASS");
    return name && *name ? name : "Vorlo";
}

HWND find_main() { return find_top_window(main_class()); }

HWND child_dialog(HWND main, bool header)
{
    for (HWND d = FindWindowExA(main, NULL, "#32770", NULL); d; d = FindWindowExA(main, d, "#32770", NULL))
        if ((GetDlgItem(d, 32) != NULL) == header) return d;
    return NULL;
}

// --- messages ----------------------------------------------------------------------------------

bool send(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT *result = NULL)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, msg, wp, lp, SMTO_NORMAL, send_timeout_ms, &answer)) return false;
    if (result) *result = (LRESULT)answer;
    return true;
}

bool text_of(HWND window, std::string &text)
{
    char buf[1024] = "";
    LRESULT length = 0;
    if (!send(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), &length)) return false;
    text.assign(buf, (size_t)std::max<LRESULT>(0, std::min<LRESULT>(length, sizeof buf - 1)));
    return true;
}

// --- locating windows and controls -------------------------------------------------------------

struct located {
    HWND main;
    HWND window;   // main, header or panel
    HWND control;  // a control of window, or window itself for id 0
};

reply locate_window(const std::string &name, located &where)
{
    where.main = find_main();
    if (!where.main) return error(std::string("no player window of class ") + main_class());
    if (name == "main") where.window = where.main;
    else if (name == "header") where.window = child_dialog(where.main, true);
    else if (name == "panel") where.window = child_dialog(where.main, false);
    else return error("unknown window '" + name + "' (main, header or panel)");
    if (!where.window) return error("the player has no " + name);
    where.control = where.window;
    return done("");
}

bool reading_order(HWND a, HWND b)
{
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
}

HWND nth_control(HWND parent, int id, int nth)
{
    std::vector<HWND> same_id;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgCtrlID(c) == id) same_id.push_back(c);
    std::stable_sort(same_id.begin(), same_id.end(), reading_order);
    return nth >= 1 && (size_t)nth <= same_id.size() ? same_id[nth - 1] : NULL;
}

// args[first] names the window, args[first + 1] the control ("ID" or "ID:N").
reply locate(const arg_list &args, size_t first, located &where)
{
    reply r = locate_window(args[first], where);
    if (!r.ok) return r;
    const std::string &control_name = args[first + 1];
    size_t colon = control_name.find(':');
    long id = 0, nth = 1;
    if (!parse_int(control_name.substr(0, colon), id) ||
        (colon != std::string::npos && !parse_int(control_name.substr(colon + 1), nth)))
        return error("bad control '" + control_name + "' (ID or ID:N)");
    if (id == 0) return done("");
    where.control = nth_control(where.window, (int)id, (int)nth);
    if (!where.control) return error("no control " + control_name + " in " + args[first]);
    return done("");
}

std::string rect_text(const RECT &r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           " " + std::to_string(r.bottom - r.top);
}

// --- commands ----------------------------------------------------------------------------------

reply run(const arg_list &args);

reply wait_until(DWORD limit_ms, bool (*ready)(), const char *what)
{
    DWORD start = GetTickCount();
    while (!ready()) {
        if (GetTickCount() - start > limit_ms) return error(std::string("timed out waiting for ") + what);
        Sleep(poll_interval_ms);
    }
    return done(std::to_string(GetTickCount() - start) + " ms");
}

bool main_shown()
{
    HWND main = find_main();
    return main && IsWindowVisible(main);
}

bool main_gone() { return find_main() == NULL; }

reply cmd_wait(const arg_list &a) { return wait_until(strtoul(a[0].c_str(), NULL, 0), main_shown, "the player window"); }
reply cmd_gone(const arg_list &a) { return wait_until(strtoul(a[0].c_str(), NULL, 0), main_gone, "the player to go"); }

// Shown and built: the box exists before its controls do.
bool message_box_shown()
{
    HWND box = find_top_window("#32770");
    return box && IsWindowVisible(box) && GetDlgItem(box, 0xFFFF);
}

// The player reports a broken quiz in message boxes before its window exists: print the text of
// the first one and press OK.
reply cmd_msgbox(const arg_list &a)
{
    reply r = wait_until(strtoul(a[0].c_str(), NULL, 0), message_box_shown, "a message box");
    if (!r.ok) return r;
    HWND box = find_top_window("#32770");
    std::string text;
    HWND label = GetDlgItem(box, 0xFFFF);  // the message text of a message box
    if (!label || !text_of(label, text)) return error("the message box has no text");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start > send_timeout_ms) return error("the message box stays after OK");
        Sleep(poll_interval_ms);
    }
    return done(text);
}

// get WIN FIRST..LAST: the texts of a run of ids, joined by '|', in one go.
reply get_range(const arg_list &a, size_t dots)
{
    long first = 0, last = 0;
    if (!parse_int(a[1].substr(0, dots), first) || !parse_int(a[1].substr(dots + 2), last) || last < first)
        return error("bad id range '" + a[1] + "' (FIRST..LAST)");
    std::string texts;
    for (long id = first; id <= last; id++) {
        reply r = run({"get", a[0], std::to_string(id)});
        if (!r.ok) return r;
        texts += (id == first ? "" : "|") + r.text;
    }
    return done(texts);
}

reply cmd_get(const arg_list &a)
{
    size_t dots = a[1].find("..");
    if (dots != std::string::npos) return get_range(a, dots);
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    std::string text;
    if (!text_of(where.control, text)) return error("WM_GETTEXT timed out");
    return done(text);
}

reply cmd_set(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    std::string text = unescape(a[2]);
    LRESULT set = 0;
    if (!send(where.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &set) || !set)
        return error("WM_SETTEXT failed");
    return done(text);
}

// answer WIN ID TEXT: what a person does to answer (type into the box, release Enter) in one go;
// prints the verdict the box's status label (id + 1000) then reads.
reply cmd_answer(const arg_list &a)
{
    reply r = run({"set", a[0], a[1], a[2]});
    if (r.ok) r = run({"key", a[0], a[1], "enter"});
    long id = 0;
    if (r.ok && !parse_int(a[1], id)) r = error("bad answer box id '" + a[1] + "'");
    if (r.ok) r = run({"get", a[0], std::to_string(id + 1000)});
    return r;
}

struct key_name {
    const char *name;
    WORD vk;
};

const key_name key_names[] = {
    {"enter", VK_RETURN}, {"f1", VK_F1},     {"f2", VK_F2},     {"next", VK_NEXT},
    {"prior", VK_PRIOR},  {"up", VK_UP},     {"down", VK_DOWN}, {"tab", VK_TAB},
};

LPARAM key_lparam(WORD vk, bool release)
{
    LPARAM scan = (LPARAM)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16;
    return 1 | scan | (release ? (LPARAM)0xC0000000u : 0);
}

// The answer boxes act on key releases, sent straight to the box. Tab is posted as a press and a
// release instead: it moves the focus through the message loop's dialog handling.
reply cmd_key(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    for (const key_name &k : key_names) {
        if (a[2] != k.name) continue;
        if (k.vk == VK_TAB) {
            PostMessageA(where.control, WM_KEYDOWN, k.vk, key_lparam(k.vk, false));
            PostMessageA(where.control, WM_KEYUP, k.vk, key_lparam(k.vk, true));
            return done(a[2]);
        }
        if (!send(where.control, WM_KEYUP, k.vk, key_lparam(k.vk, true))) return error("WM_KEYUP timed out");
        return done(a[2]);
    }
    return error("unknown key '" + a[2] + "'");
}

HWND focus_of(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &info)) return NULL;
    return info.hwndFocus;
}

reply cmd_focused(const arg_list &)
{
    HWND main = find_main();
    if (!main) return error("no player window");
    HWND focus = focus_of(main);
    return done_int(focus ? GetDlgCtrlID(focus) : 0);
}

bool wait_for_focus(HWND main, HWND control)
{
    DWORD start = GetTickCount();
    while (focus_of(main) != control) {
        if (GetTickCount() - start > 2000) return false;
        Sleep(poll_interval_ms);
    }
    return true;
}

// Joins the player's input state to move its focus; should that not take, clicks into the
// control so that the control takes the focus itself.
reply cmd_focus(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    DWORD me = GetCurrentThreadId(), player = GetWindowThreadProcessId(where.main, NULL);
    if (AttachThreadInput(me, player, TRUE)) {
        SetFocus(where.control);
        AttachThreadInput(me, player, FALSE);
    }
    if (!wait_for_focus(where.main, where.control)) {
        PostMessageA(where.control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(where.control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        if (!wait_for_focus(where.main, where.control)) return error("the control does not take the focus");
    }
    return done_int(GetDlgCtrlID(where.control));
}

reply cmd_click(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    if (!send(where.control, BM_CLICK, 0, 0)) return error("BM_CLICK timed out");
    return done("clicked");
}

// x y w h in the client coordinates of the parent (the screen for the main window).
reply cmd_rect(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    RECT box;
    GetWindowRect(where.control, &box);
    MapWindowPoints(NULL, GetAncestor(where.control, GA_PARENT), reinterpret_cast<POINT *>(&box), 2);
    return done(rect_text(box));
}

reply cmd_client(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    RECT box;
    GetClientRect(where.control, &box);
    return done(std::to_string(box.right) + " " + std::to_string(box.bottom));
}

reply cmd_desktop(const arg_list &)
{
    RECT box;
    GetWindowRect(GetDesktopWindow(), &box);
    return done(rect_text(box));
}

// Screen position of the control's client origin, for real input and screenshots.
reply cmd_screen(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    POINT origin = {0, 0};
    ClientToScreen(where.control, &origin);
    return done(std::to_string(origin.x) + " " + std::to_string(origin.y));
}

// The control's own visibility, whatever its parents show.
reply cmd_visible(const arg_list &a)
{
    located where;
    reply r = locate(a, 0, where);
    if (!r.ok) return r;
    return done_int((GetWindowLongPtrA(where.control, GWL_STYLE) & WS_VISIBLE) ? 1 : 0);
}

reply cmd_exists(const arg_list &a)
{
    located where;
    reply r = locate_window(a[0], where);
    if (!r.ok) return r;
    long id = 0;
    if (!parse_int(a[1], id)) return error("bad control id '" + a[1] + "'");
    return done_int(nth_control(where.window, (int)id, 1) ? 1 : 0);
}

struct scroll_code {
    const char *name;
    WORD code;
};

const scroll_code scroll_codes[] = {
    {"lineup", SB_LINEUP},     {"linedown", SB_LINEDOWN},   {"pageup", SB_PAGEUP},
    {"pagedown", SB_PAGEDOWN}, {"top", SB_TOP},             {"bottom", SB_BOTTOM},
    {"lineleft", SB_LINELEFT}, {"lineright", SB_LINERIGHT}, {"pageleft", SB_PAGELEFT},
    {"pageright", SB_PAGERIGHT},
};

// A scroll bar code sent to the panel, as a click on its bar sends it.
reply send_scroll(UINT msg, const std::string &name)
{
    located where;
    reply r = locate_window("panel", where);
    if (!r.ok) return r;
    long code = -1;
    for (const scroll_code &c : scroll_codes)
        if (name == c.name) code = c.code;
    if (code < 0 && !parse_int(name, code)) return error("unknown scroll code '" + name + "'");
    if (!send(where.window, msg, MAKEWPARAM(code, 0), 0)) return error("scroll message timed out");
    return done(name);
}

reply cmd_vscroll(const arg_list &a) { return send_scroll(WM_VSCROLL, a[0]); }
reply cmd_hscroll(const arg_list &a) { return send_scroll(WM_HSCROLL, a[0]); }

// --- scroll bars -------------------------------------------------------------------------------

// Wine answers GetScrollInfo only inside the process that owns the window, so the bars are read on
// the player's thread by the hook module that lies beside the driver.
HMODULE load_hook_module()
{
    char path[MAX_PATH + 32];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    char *slash = length ? strrchr(path, '\\') : NULL;
    if (!slash) return NULL;
    strcpy(slash + 1, "vorlo-driver-hook.dll");
    return LoadLibraryA(path);
}

bool hook_and_ask(HMODULE module, HWND window)
{
    HOOKPROC proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(module, scroll_report_hook_proc)));
    if (!proc) return false;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, proc, module, GetWindowThreadProcessId(window, NULL));
    if (!hook) return false;
    bool sent = send(window, RegisterWindowMessageA(scroll_report_message), GetCurrentProcessId(), 0);
    UnhookWindowsHookEx(hook);
    return sent;
}

bool read_scroll_bars(HWND window, scroll_report &report)
{
    char name[64];
    scroll_report_name(name, sizeof name, GetCurrentProcessId());
    bool ok = false;
    HMODULE module = load_hook_module();
    HANDLE mapping = module ? CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                                 sizeof report, name)
                            : NULL;
    scroll_report *shared =
        mapping ? static_cast<scroll_report *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof report))
                : NULL;
    if (shared) {
        shared->valid = 0;
        ok = hook_and_ask(module, window) && shared->valid;
        report = *shared;
        UnmapViewOfFile(shared);
    }
    if (mapping) CloseHandle(mapping);
    if (module) FreeLibrary(module);
    return ok;
}

std::string bar_text(const SCROLLINFO &bar)
{
    return std::to_string(bar.nPos) + " " + std::to_string(bar.nMin) + " " + std::to_string(bar.nMax) + " " +
           std::to_string(bar.nPage);
}

// Vertical and horizontal positions of the panel's scroll bars.
reply cmd_scrollpos(const arg_list &)
{
    located where;
    reply r = locate_window("panel", where);
    if (!r.ok) return r;
    scroll_report bars;
    if (!read_scroll_bars(where.window, bars)) return error("cannot read the panel's scroll bars");
    return done(std::to_string(bars.vertical.nPos) + " " + std::to_string(bars.horizontal.nPos));
}

// pos min max page of the panel's vertical (v) or horizontal (h) bar.
reply cmd_scrollinfo(const arg_list &a)
{
    located where;
    reply r = locate_window("panel", where);
    if (!r.ok) return r;
    if (a[0] != "v" && a[0] != "h") return error("scrollinfo v|h");
    scroll_report bars;
    if (!read_scroll_bars(where.window, bars)) return error("cannot read the panel's scroll bars");
    return done(bar_text(a[0] == "v" ? bars.vertical : bars.horizontal));
}

// A wheel turn as the system delivers it: to the main window unless "panel" is named.
reply cmd_wheel(const arg_list &a)
{
    long delta = 0;
    if (!parse_int(a[0], delta)) return error("bad wheel delta '" + a[0] + "'");
    located where;
    reply r = locate_window(a.size() > 1 ? a[1] : "main", where);
    if (!r.ok) return r;
    RECT box;
    GetWindowRect(where.window, &box);
    LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    if (!send(where.window, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)delta), at)) return error("WM_MOUSEWHEEL timed out");
    return done(a[0]);
}

reply cmd_resize(const arg_list &a)
{
    long width = 0, height = 0;
    if (!parse_int(a[0], width) || !parse_int(a[1], height)) return error("resize W H");
    HWND main = find_main();
    if (!main) return error("no player window");
    SetWindowPos(main, NULL, 0, 0, (int)width, (int)height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT box;
    GetWindowRect(main, &box);
    return done(std::to_string(box.right - box.left) + " " + std::to_string(box.bottom - box.top));
}

reply cmd_close(const arg_list &)
{
    HWND main = find_main();
    if (!main) return error("no player window");
    PostMessageA(main, WM_CLOSE, 0, 0);
    return done("closing");
}

// poll MS WANT COMMAND ARGS...: runs the query until it prints WANT or MS have passed, and prints
// its last result either way, so that a failing check shows the value the player settled on.
reply cmd_poll(const arg_list &a)
{
    DWORD limit = strtoul(a[0].c_str(), NULL, 0), start = GetTickCount();
    std::string want = unescape(a[1]);
    arg_list query(a.begin() + 2, a.end());
    for (;;) {
        reply r = run(query);
        if ((r.ok && r.text == want) || GetTickCount() - start > limit) return r;
        Sleep(poll_interval_ms);
    }
}

struct command {
    const char *name;
    size_t arg_count;  // at least this many arguments
    reply (*run)(const arg_list &);
    const char *usage;
};

const command commands[] = {
    {"wait", 1, cmd_wait, "wait MS                  the player window is shown"},
    {"gone", 1, cmd_gone, "gone MS                  the player window has gone"},
    {"msgbox", 1, cmd_msgbox, "msgbox MS                text of a message box, then OK"},
    {"get", 2, cmd_get, "get WIN ID|FIRST..LAST   text of a control, or of a run joined by |"},
    {"set", 3, cmd_set, "set WIN ID TEXT          WM_SETTEXT"},
    {"answer", 3, cmd_answer, "answer WIN ID TEXT       set, Enter, print the verdict"},
    {"key", 3, cmd_key, "key WIN ID KEY           enter f1 f2 next prior up down tab"},
    {"focus", 2, cmd_focus, "focus WIN ID             give the control the keyboard focus"},
    {"focused", 0, cmd_focused, "focused                  id of the control with the focus"},
    {"click", 2, cmd_click, "click WIN ID             BM_CLICK"},
    {"rect", 2, cmd_rect, "rect WIN ID              x y w h in the parent's client area"},
    {"client", 2, cmd_client, "client WIN ID            client width and height"},
    {"desktop", 0, cmd_desktop, "desktop                  x y w h of the desktop"},
    {"screen", 2, cmd_screen, "screen WIN ID            screen x y of the client origin"},
    {"visible", 2, cmd_visible, "visible WIN ID           1 or 0"},
    {"exists", 2, cmd_exists, "exists WIN ID            1 or 0"},
    {"vscroll", 1, cmd_vscroll, "vscroll CODE             WM_VSCROLL to the panel (name or number)"},
    {"hscroll", 1, cmd_hscroll, "hscroll CODE             WM_HSCROLL to the panel (name or number)"},
    {"scrollpos", 0, cmd_scrollpos, "scrollpos                vertical and horizontal positions"},
    {"scrollinfo", 1, cmd_scrollinfo, "scrollinfo v|h           pos min max page"},
    {"wheel", 1, cmd_wheel, "wheel DELTA [main|panel] WM_MOUSEWHEEL"},
    {"resize", 2, cmd_resize, "resize W H               outer size of the main window"},
    {"close", 0, cmd_close, "close                    WM_CLOSE to the main window"},
    {"poll", 3, cmd_poll, "poll MS WANT COMMAND...  repeat a query until it prints WANT"},
};

reply run(const arg_list &args)
{
    for (const command &c : commands) {
        if (args.empty() || args[0] != c.name) continue;
        if (args.size() - 1 < c.arg_count) return error(std::string("usage: ") + c.usage);
        return c.run(arg_list(args.begin() + 1, args.end()));
    }
    std::string usage = args.empty() ? "commands:" : "unknown command '" + args[0] + "'; commands:";
    for (const command &c : commands) usage += std::string("\n  ") + c.usage;
    return error(usage);
}

}  // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // texts go out as their bytes, lines end in LF
    reply r = run(arg_list(argv + 1, argv + argc));
    if (!r.ok) {
        fprintf(stderr, "vorlo-driver: %s\n", r.text.c_str());
        return 1;
    }
    fwrite(r.text.data(), 1, r.text.size(), stdout);
    fputc('\n', stdout);
    return 0;
}
