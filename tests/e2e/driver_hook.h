// What the driver and its hook module, loaded into the player's process, exchange: the scroll bar
// state of a window, written by the hook into a mapping named after the driver's process.
#pragma once
#include <windows.h>
#include <stdio.h>

struct scroll_report {
    LONG valid;  // nonzero once the hook has read both bars
    SCROLLINFO vertical;
    SCROLLINFO horizontal;
};

// Sent to the window whose bars are wanted, wParam the driver's process id.
static const char scroll_report_message[] = "vorlo-driver-scroll-report";
static const char scroll_report_hook_proc[] = "vorlo_driver_hook";

inline void scroll_report_name(char *name, size_t size, DWORD driver_pid)
{
    snprintf(name, size, "vorlo-driver-scroll-report-%lu", static_cast<unsigned long>(driver_pid));
}
