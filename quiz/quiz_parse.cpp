#include "quiz/quiz_parse.h"

#include <cstring>

const char QUIZ_SCRAMBLE_KEY[] = "Fichier questionnaire";

namespace {

// A cursor over decoded bytes; reading past the end yields empty fields and zero bytes.
struct Reader {
    const uint8_t* data;
    int32_t size;
    int32_t pos;
};

bool reader_ended(const Reader& r) { return r.pos >= r.size; }

uint8_t read_byte(Reader& r)
{
    if (reader_ended(r))
        return 0;
    return r.data[r.pos++];
}

// Copies one field into dest (cut to dest_size - 1 characters) and skips its terminator.
void read_field(Reader& r, char* dest, int dest_size)
{
    int len = 0;
    while (!reader_ended(r)) {
        uint8_t c = r.data[r.pos++];
        if (c == '|' || c == 0)
            break;
        if (len < dest_size - 1)
            dest[len++] = (char)c;
    }
    dest[len] = 0;
}

void skip_field(Reader& r)
{
    char scratch[QUIZ_TEXT_SIZE];
    read_field(r, scratch, sizeof scratch);
}

// Reads every declared question, keeping the first 96: the parse stays in step with the
// extra section and colour that follow them.
void read_questions(Quiz* quiz, Reader& r, int declared)
{
    for (int q = 0; q < declared; ++q) {
        char answer_1[QUIZ_TEXT_SIZE], answer_2[QUIZ_TEXT_SIZE] = "", text[QUIZ_TEXT_SIZE];
        read_field(r, answer_1, sizeof answer_1);
        if (quiz->answers_per_question == 2)
            read_field(r, answer_2, sizeof answer_2);
        read_field(r, text, sizeof text);
        if (q < quiz->question_count)
            quiz_add_question(quiz, answer_1, answer_2, text);
    }
}

// How many fields each question has in the extra section, and whether the first is kept.
int extra_fields_per_question(int32_t extra_kind)
{
    switch (extra_kind) {
    case EXTRA_SOLUTION_PICTURE:
    case EXTRA_LABEL:
    case EXTRA_LABELS_AT_COMPLETION:
        return 1;
    case EXTRA_PICTURE_AND_LABEL:
        return 2;
    default:
        return 0;
    }
}

void read_extra_section(Quiz* quiz, Reader& r, int declared)
{
    int fields = extra_fields_per_question(quiz->extra_kind);
    if (fields == 0)
        return;
    for (int q = 1; q <= declared; ++q) {
        Question* node = question_at(quiz, q);
        char extra[QUIZ_TEXT_SIZE];
        read_field(r, extra, sizeof extra);
        if (node && q <= quiz->question_count)
            std::memcpy(node->extra, extra, sizeof extra);
        for (int skipped = 1; skipped < fields; ++skipped)
            skip_field(r);
    }
}

}  // namespace

void quiz_scramble(uint8_t* data, size_t size)
{
    const size_t key_len = sizeof QUIZ_SCRAMBLE_KEY - 1;
    for (size_t i = 1; i < size; ++i)
        data[i] ^= (uint8_t)QUIZ_SCRAMBLE_KEY[(i - 1) % key_len];
}

void quiz_parse_header_block(Quiz* quiz, const uint8_t* data, int32_t size)
{
    Reader r{data, size, 2};
    read_field(r, quiz->link_text, sizeof quiz->link_text);
    read_field(r, quiz->footer_text, sizeof quiz->footer_text);
}

void quiz_parse_content(Quiz* quiz, const uint8_t* data, int32_t size)
{
    Reader r{data, size, 1};
    quiz->media_kind = read_byte(r) - 1;
    int declared = read_byte(r);
    quiz->question_count = declared > QUIZ_MAX_QUESTIONS ? QUIZ_MAX_QUESTIONS : declared;
    quiz->answers_per_question = read_byte(r);
    read_field(r, quiz->title, sizeof quiz->title);
    read_field(r, quiz->author, sizeof quiz->author);
    read_field(r, quiz->explanation, sizeof quiz->explanation);
    read_field(r, quiz->answer_label_1, sizeof quiz->answer_label_1);
    read_field(r, quiz->answer_label_2, sizeof quiz->answer_label_2);
    read_questions(quiz, r, declared);
    quiz->extra_kind = read_byte(r);
    read_extra_section(quiz, r, declared);
    if (r.size - r.pos >= 3) {
        quiz->colour_red = read_byte(r);
        quiz->colour_green = read_byte(r);
        quiz->colour_blue = read_byte(r);
    }
}

void quiz_parse_codes(Quiz* quiz, const uint8_t* data, int32_t size)
{
    Reader r{data, size, 0};
    for (int q = 0; q < quiz->question_count; ++q) {
        char* code = quiz->codes[q];
        int len = 0;
        while (!reader_ended(r) && r.data[r.pos] != '\r') {
            uint8_t c = r.data[r.pos++];
            if (len < QUIZ_TEXT_SIZE - 1)
                code[len++] = (char)c;
        }
        code[len] = 0;
        read_byte(r);   // CR
        read_byte(r);   // LF
    }
}
