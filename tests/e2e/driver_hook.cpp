// vorlo-driver-hook.dll: runs inside the player's process. Wine keeps a window's scroll bar state
// in the process that owns the window, so GetScrollInfo from the driver fails; the driver hooks the
// player's GUI thread with this module and asks for the state with a registered message, and the
// hook, running on that thread, copies both bars into a mapping the driver named.
#include "tests/e2e/driver_hook.h"

namespace {

void write_report(HWND window, DWORD driver_pid)
{
    char name[64];
    scroll_report_name(name, sizeof name, driver_pid);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!mapping) return;
    scroll_report *report = static_cast<scroll_report *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof *report));
    if (report) {
        report->vertical.cbSize = report->horizontal.cbSize = sizeof(SCROLLINFO);
        report->vertical.fMask = report->horizontal.fMask = SIF_ALL;
        BOOL got_v = GetScrollInfo(window, SB_VERT, &report->vertical);
        BOOL got_h = GetScrollInfo(window, SB_HORZ, &report->horizontal);
        report->valid = got_v && got_h;
        UnmapViewOfFile(report);
    }
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK vorlo_driver_hook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT *sent = reinterpret_cast<const CWPSTRUCT *>(lp);
        if (sent->message == RegisterWindowMessageA(scroll_report_message))
            write_report(sent->hwnd, static_cast<DWORD>(sent->wParam));
    }
    return CallNextHookEx(NULL, code, wp, lp);
}
