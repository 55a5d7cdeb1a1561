// The one way the cores report a failure to the player: a modal box with no owner and an OK
// button. The player shows it with MessageBoxA; tests link a recorder instead.
#pragma once

// Icons, with the values of the Windows message box flags.
enum MessageIcon { MESSAGE_PLAIN = 0, MESSAGE_ERROR = 0x10, MESSAGE_INFORMATION = 0x40 };

void show_message(const char* text, const char* caption, MessageIcon icon = MESSAGE_PLAIN);
