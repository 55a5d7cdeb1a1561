// The answers file: one line per answer box, named after the executable, in the current folder.
#pragma once
#include <cstdint>

#include "quiz/quiz.h"

enum { ANSWERS_NAME_SIZE = 260, SAVED_ANSWER_MAX = 100 };

// The executable's file name with its extension replaced by "txt" (".txt" appended when it has
// none). Writes at most ANSWERS_NAME_SIZE bytes into name.
void answers_file_name(char* name);
// The same rule on a given path: its file name, extension replaced by (or appended) "txt".
void answers_name_from_path(const char* path, char* name);

// Writes the text of answer boxes 4001.. of the panel, one CR LF line each. The new file is
// written beside the old one and replaces it only once complete, so a failed save keeps the last
// good file.
void save_answers(const Quiz* quiz);

// The answers file mapped for reading while the panel is built.
struct SavedAnswers {
    void* file;          // file handle, or null when there is no readable file
    void* mapping;
    const uint8_t* data;
    uint32_t size;
    uint32_t pos;
};

void saved_answers_open(SavedAnswers* saved);
// The next line: at most 100 characters up to its CR, the rest of the line skipped.
void read_saved_answer(SavedAnswers* saved, char* text);
void saved_answers_close(SavedAnswers* saved);
// The reading rule on plain bytes, shared by read_saved_answer and its tests.
void saved_answer_from(const uint8_t* data, uint32_t size, uint32_t* pos, char* text);
