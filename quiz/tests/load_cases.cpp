#include "quiz/tests/load_cases.h"

#include "pack/lzw_encode.h"
#include "quiz/quiz_parse.h"

namespace {

const char MISSING_QUIZ[] = "Fichier questionnaire";
const char BAD_QUIZ[] = "Erreur dans le d\xE9" "cryptage des reponses";
const char BAD_CODES[] = "Erreur dans le d\xE9" "cryptage des codes";

QuizSource text_quiz(int count)
{
    QuizSource q;
    q.title = "Capitales d'Europe";
    q.author = "Ren\xE9" "e";
    q.explanation = "Trouvez la capitale de chaque pays.";
    q.answer_label_1 = "Ville";
    q.answer_label_2 = "Pays";
    q.red = 200;
    q.green = 180;
    q.blue = 60;
    for (int i = 1; i <= count; ++i) {
        QuizSourceQuestion question;
        question.answer_1 = "R\xE9ponse " + std::to_string(i);
        question.text = "Question num\xE9ro " + std::to_string(i) + " ?";
        q.questions.push_back(question);
        q.codes.push_back("C" + std::to_string(i));
    }
    return q;
}

QuizSource with_extras(QuizSource q, int extra_kind)
{
    q.extra_kind = extra_kind;
    for (size_t i = 0; i < q.questions.size(); ++i) {
        q.questions[i].extra = "extra " + std::to_string(i + 1);
        q.questions[i].extra_2 = "second " + std::to_string(i + 1);
    }
    return q;
}

// What the player keeps of a source: the fields its extra kind reads.
QuizSource as_loaded(QuizSource q)
{
    bool kept = q.extra_kind >= 1 && q.extra_kind <= 4;
    for (QuizSourceQuestion& question : q.questions) {
        if (!kept)
            question.extra.clear();
        question.extra_2.clear();
        if (q.answers_per_question != 2)
            question.answer_2.clear();
    }
    return q;
}

LoadCase plain_case(std::string name, QuizSource source)
{
    LoadCase c;
    c.name = std::move(name);
    c.expected = as_loaded(source);
    c.source = std::move(source);
    return c;
}

void add_case(std::vector<LoadCase>& cases, LoadCase c) { cases.push_back(std::move(c)); }

void add_format_cases(std::vector<LoadCase>& cases)
{
    add_case(cases, plain_case("plain", text_quiz(3)));
    LoadCase scrambled = plain_case("scrambled", text_quiz(3));
    scrambled.quiz_form = scrambled.codes_form = ResourceForm::SCRAMBLED;
    add_case(cases, scrambled);

    QuizSource two = text_quiz(4);
    two.answers_per_question = 2;
    for (size_t i = 0; i < two.questions.size(); ++i)
        two.questions[i].answer_2 = "Second " + std::to_string(i + 1);
    add_case(cases, plain_case("two_answers", two));

    for (int media = 0; media <= 3; ++media) {
        QuizSource q = text_quiz(2);
        q.media_kind = media;
        add_case(cases, plain_case("media_" + std::to_string(media), q));
    }
    for (int extra = 0; extra <= 6; ++extra)
        add_case(cases, plain_case("extra_" + std::to_string(extra), with_extras(text_quiz(3), extra)));

    add_case(cases, plain_case("max_questions", text_quiz(96)));
}

void add_failure_cases(std::vector<LoadCase>& cases)
{
    LoadCase missing;
    missing.name = "missing_quiz";
    missing.quiz_form = missing.codes_form = ResourceForm::MISSING;
    missing.messages = {MISSING_QUIZ};
    add_case(cases, missing);   // expectations: the built-in test quiz, checked by name

    LoadCase garbage = plain_case("garbage_quiz", text_quiz(3));
    garbage.quiz_form = ResourceForm::GARBAGE;
    garbage.expected = QuizSource();
    garbage.messages = {BAD_QUIZ};
    add_case(cases, garbage);

    LoadCase no_codes = plain_case("missing_codes", text_quiz(3));
    no_codes.codes_form = ResourceForm::MISSING;
    no_codes.expected.codes.clear();
    no_codes.messages = {BAD_CODES};
    add_case(cases, no_codes);

    LoadCase bad_codes = no_codes;
    bad_codes.name = "garbage_codes";
    bad_codes.codes_form = ResourceForm::GARBAGE;
    add_case(cases, bad_codes);
}

void add_out_of_format_cases(std::vector<LoadCase>& cases)
{
    // 120 questions declared and present: the first 96 are kept, and the extra section and
    // colour after all 120 are still read in step.
    LoadCase many = plain_case("too_many_questions", with_extras(text_quiz(120), 2));
    many.expected = as_loaded(with_extras(text_quiz(96), 2));
    add_case(cases, many);

    QuizSource long_fields = text_quiz(2);
    long_fields.title = std::string(300, 'T');
    long_fields.questions[0].answer_1 = std::string(400, 'A');
    LoadCase cut = plain_case("long_fields", long_fields);
    cut.expected.title = std::string(259, 'T');
    cut.expected.questions[0].answer_1 = std::string(259, 'A');
    add_case(cases, cut);

    // Content ends inside question 2's answer: question 1 whole, "R\xE9p" kept, the rest empty.
    QuizSource full = text_quiz(3);
    std::vector<uint8_t> content = quiz_serialize_content(full);
    std::string bytes(content.begin(), content.end());
    size_t at = bytes.find("R\xE9ponse 2") + 4;
    LoadCase truncated = plain_case("truncated_content", full);
    truncated.cut_content_to = (int)at;
    truncated.expected.questions[1].answer_1 = "R\xE9po";
    truncated.expected.questions[1].text.clear();
    truncated.expected.questions[2] = QuizSourceQuestion();
    truncated.expected.red = 90, truncated.expected.green = 95, truncated.expected.blue = 150;
    add_case(cases, truncated);

    QuizSource few_codes = text_quiz(4);
    few_codes.codes.resize(2);
    LoadCase short_codes = plain_case("few_code_lines", few_codes);
    short_codes.expected.codes = {"C1", "C2", "", ""};
    add_case(cases, short_codes);
}

std::vector<uint8_t> garbage_bytes()
{
    // A first code of 0x1FF (above every defined code) fails plain; unscrambled, byte 1 (0xFF ^ 'F')
    // keeps the second code far above the next free code too.
    return {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
}

std::vector<uint8_t> stored(std::vector<uint8_t> content, ResourceForm form)
{
    switch (form) {
    case ResourceForm::MISSING:
        return {};
    case ResourceForm::GARBAGE:
        return garbage_bytes();
    case ResourceForm::PLAIN:
        return lzw_encode(content.data(), content.size());
    case ResourceForm::SCRAMBLED: {
        std::vector<uint8_t> bytes = lzw_encode(content.data(), content.size());
        quiz_scramble(bytes.data(), bytes.size());
        return bytes;
    }
    }
    return {};
}

}  // namespace

std::vector<LoadCase> load_cases()
{
    std::vector<LoadCase> cases;
    add_format_cases(cases);
    add_failure_cases(cases);
    add_out_of_format_cases(cases);
    return cases;
}

const LoadCase* find_load_case(const std::string& name)
{
    static const std::vector<LoadCase> cases = load_cases();
    for (const LoadCase& c : cases)
        if (c.name == name)
            return &c;
    return nullptr;
}

std::vector<uint8_t> load_case_quiz_resource(const LoadCase& c)
{
    std::vector<uint8_t> content = quiz_serialize_content(c.source);
    if (c.declared_count >= 0)
        content[2] = (uint8_t)c.declared_count;
    if (c.cut_content_to >= 0)
        content.resize((size_t)c.cut_content_to);
    return stored(content, c.quiz_form);
}

std::vector<uint8_t> load_case_codes_resource(const LoadCase& c)
{
    return stored(quiz_serialize_codes(c.source), c.codes_form);
}
