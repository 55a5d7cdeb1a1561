// Tests link this in place of the player's message boxes, so a failure report is observable
// and never blocks a run.
#pragma once
#include <string>
#include <vector>

#include "app/message.h"

struct RecordedMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

const std::vector<RecordedMessage>& recorded_messages();
void clear_recorded_messages();
