// The player's cores report failures through show_message; in the authoring tool they go to the
// error stream.
#include <cstdio>

#include "app/message.h"

void show_message(const char* text, const char* caption, MessageIcon)
{
    std::fprintf(stderr, "vorlo-pack: %s: %s\n", caption, text);
}
