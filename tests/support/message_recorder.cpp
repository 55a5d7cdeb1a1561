#include "tests/support/message_recorder.h"

#include "app/message.h"

static std::vector<RecordedMessage>& message_log()
{
    static std::vector<RecordedMessage> log;
    return log;
}

void show_message(const char* text, const char* caption, MessageIcon icon)
{
    message_log().push_back({text, caption, icon});
}

const std::vector<RecordedMessage>& recorded_messages() { return message_log(); }

void clear_recorded_messages() { message_log().clear(); }
