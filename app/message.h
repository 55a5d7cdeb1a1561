// The one way the cores report a failure to the player: a modal box with no owner and an OK
// button. The player shows it with MessageBoxA; tests link a recorder instead.
#pragma once

void show_message(const char* text, const char* caption);
