// The answer check on the panel's controls and the progress counter.
#pragma once
#include <windows.h>

#include "quiz/quiz.h"

// Header bar controls written or read by the progress update.
enum HeaderId { ID_CODE_BOX = 30, ID_COUNTER = 32, ID_HIDE_BOX = 33 };

void check_answer(Quiz* quiz, HWND panel, int box_id);
void update_progress(Quiz* quiz, HWND panel);
void check_completion(Quiz* quiz, HWND panel);
