// Parsing of the decoded quiz streams into the quiz record: pure, no resource access.
//
// A field is a run of bytes ended by '|' or a zero byte; the terminator is skipped. Content
// beyond the format is cut rather than trusted: at most 96 questions, fields cut to their
// destination (the parse still moves past the terminator), and data that ends early stops the
// parse with what was read kept and every later field empty.
#pragma once
#include <cstddef>
#include <cstdint>

#include "quiz/quiz.h"

// The key of scrambled resources; also the message shown when the quiz resource is missing.
extern const char QUIZ_SCRAMBLE_KEY[];

// XORs bytes 1.. with the key repeated (byte 0 is kept). Applying it twice restores the data.
void quiz_scramble(uint8_t* data, size_t size);

// The built-in header block: link text and footer text, from offset 2.
void quiz_parse_header_block(Quiz* quiz, const uint8_t* data, int32_t size);

// The quiz stream: kinds, counts, texts, questions (appended to the list), extra section and
// colour. The colour components are set only when present; the caller makes the brush.
void quiz_parse_content(Quiz* quiz, const uint8_t* data, int32_t size);

// The codes stream: one CR LF line per question; missing lines are empty codes.
void quiz_parse_codes(Quiz* quiz, const uint8_t* data, int32_t size);
