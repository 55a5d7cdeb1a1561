// The player process: start-up, message loop, shutdown.
#include <windows.h>

#include "quiz/quiz.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static Quiz quiz;
    quiz_init(&quiz);
    quiz_release(&quiz);
    return 0;
}
