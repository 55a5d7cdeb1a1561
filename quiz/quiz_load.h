// Loading the quiz from the running executable's resources.
#pragma once
#include <cstdint>

#include "quiz/quiz.h"

// The built-in header block: an LZW stream of the link text and the footer text.
enum { QUIZ_HEADER_BLOCK_SIZE = 70 };
extern const uint8_t QUIZ_HEADER_BLOCK[QUIZ_HEADER_BLOCK_SIZE];

// Reads PATCH/104 (the quiz) and PATCH/105 (the codes) of the running module, plain or
// scrambled, into a record filled by quiz_init. Each failure is reported in its own words;
// a missing quiz resource gives the built-in test quiz.
void quiz_load(Quiz* quiz);
