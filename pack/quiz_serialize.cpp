#include "pack/quiz_serialize.h"

namespace {

const uint8_t FORMAT_MARK = 1;   // byte 0 of the quiz stream; the player does not read it

void put_field(std::vector<uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back('|');
}

int extra_fields(int extra_kind)
{
    if (extra_kind == 1 || extra_kind == 2 || extra_kind == 4)
        return 1;
    return extra_kind == 3 ? 2 : 0;
}

}  // namespace

std::vector<uint8_t> quiz_serialize_content(const QuizSource& quiz)
{
    std::vector<uint8_t> out;
    out.push_back(FORMAT_MARK);
    out.push_back((uint8_t)(quiz.media_kind + 1));
    out.push_back((uint8_t)quiz.questions.size());
    out.push_back((uint8_t)quiz.answers_per_question);
    for (const std::string* text : {&quiz.title, &quiz.author, &quiz.explanation, &quiz.answer_label_1,
                                    &quiz.answer_label_2})
        put_field(out, *text);
    for (const QuizSourceQuestion& q : quiz.questions) {
        put_field(out, q.answer_1);
        if (quiz.answers_per_question == 2)
            put_field(out, q.answer_2);
        put_field(out, q.text);
    }
    out.push_back((uint8_t)quiz.extra_kind);
    int fields = extra_fields(quiz.extra_kind);
    for (const QuizSourceQuestion& q : quiz.questions) {
        if (fields >= 1)
            put_field(out, q.extra);
        if (fields == 2)
            put_field(out, q.extra_2);
    }
    out.push_back(quiz.red);
    out.push_back(quiz.green);
    out.push_back(quiz.blue);
    return out;
}

std::vector<uint8_t> quiz_serialize_codes(const QuizSource& quiz)
{
    std::vector<uint8_t> out;
    for (const std::string& code : quiz.codes) {
        out.insert(out.end(), code.begin(), code.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}
