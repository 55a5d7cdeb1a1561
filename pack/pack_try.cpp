#include "pack/pack_try.h"

#include <cstring>

#include "check/judge.h"
#include "quiz/quiz.h"

namespace {

// The text as the player holds it: at most QUIZ_TEXT_SIZE - 1 bytes, cut at a zero byte.
void hold(const std::string& text, char* buffer)
{
    std::strncpy(buffer, text.c_str(), QUIZ_TEXT_SIZE - 1);
    buffer[QUIZ_TEXT_SIZE - 1] = 0;
}

}  // namespace

PackTry pack_try(const std::string& answer, const std::string& typed)
{
    char a[QUIZ_TEXT_SIZE], t[QUIZ_TEXT_SIZE];
    hold(answer, a);
    hold(typed, t);
    normalise_answer(a);
    normalise_answer(t);
    PackTry result{a, t, ""};
    result.verdict = judge_answer(a, t).verdict;
    return result;
}
