#include "pack/quiz_source.h"

#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include <cstdio>
#include <set>

#include "pack/cp1252.h"

namespace {

const size_t MAX_FIELD = 259;
const size_t MAX_QUESTIONS = 96;

struct Reader {
    std::string path;
    std::string folder;
    std::vector<std::string>* errors;
};

void report(Reader& r, const toml::source_region& where, const std::string& message)
{
    r.errors->push_back(r.path + ":" + std::to_string(where.begin.line) + ": " + message);
}

// A text field: converted to Windows-1252, checked against what the player can hold.
std::string read_text(Reader& r, const toml::node* node, const std::string& key, bool required = false)
{
    if (!node) {
        if (required)
            r.errors->push_back(r.path + ":1: missing key '" + key + "'");
        return "";
    }
    const toml::value<std::string>* value = node->as_string();
    if (!value) {
        report(r, node->source(), "'" + key + "' must be a text");
        return "";
    }
    std::string text;
    unsigned long bad = 0;
    if (!utf8_to_cp1252(value->get(), &text, &bad)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04lX", bad);
        report(r, node->source(), "'" + key + "' holds " + code + ", which Windows-1252 cannot hold");
        return "";
    }
    if (text.find('|') != std::string::npos)
        report(r, node->source(), "'" + key + "' must not contain '|'");
    if (text.find('\0') != std::string::npos || text.find('\r') != std::string::npos ||
        text.find('\n') != std::string::npos)
        report(r, node->source(), "'" + key + "' must be one line");
    if (text.size() > MAX_FIELD)
        report(r, node->source(), "'" + key + "' is " + std::to_string(text.size()) + " characters long, at most " +
                                      std::to_string(MAX_FIELD) + " fit");
    return text;
}

std::string read_path(Reader& r, const toml::node* node, const std::string& key, int* line = nullptr)
{
    if (!node)
        return "";
    if (line)
        *line = (int)node->source().begin.line;
    const toml::value<std::string>* value = node->as_string();
    if (!value || value->get().empty()) {
        report(r, node->source(), "'" + key + "' must be a file name");
        return "";
    }
    const std::string& p = value->get();
    return p[0] == '/' ? p : r.folder + p;
}

int read_choice(Reader& r, const toml::table& t, const std::string& key, const std::vector<std::string>& names,
                int fallback)
{
    const toml::node* node = t.get(key);
    if (!node)
        return fallback;
    if (const toml::value<std::string>* v = node->as_string())
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == v->get())
                return (int)i;
    std::string all;
    for (const std::string& n : names)
        all += (all.empty() ? "" : ", ") + n;
    report(r, node->source(), "'" + key + "' must be one of: " + all);
    return fallback;
}

void check_keys(Reader& r, const toml::table& t, const std::set<std::string>& known, const std::string& where)
{
    for (const auto& [key, node] : t)
        if (!known.count(std::string(key.str())))
            report(r, node.source(), "unknown key '" + std::string(key.str()) + "'" + where);
}

void read_colour(Reader& r, const toml::table& t, QuizSource* quiz)
{
    const toml::node* node = t.get("colour");
    if (!node)
        return;
    const toml::value<std::string>* v = node->as_string();
    unsigned red = 0, green = 0, blue = 0;
    char tail = 0;
    if (!v || v->get().size() != 7 ||
        std::sscanf(v->get().c_str(), "#%2x%2x%2x%c", &red, &green, &blue, &tail) != 3) {
        report(r, node->source(), "'colour' must be \"#RRGGBB\"");
        return;
    }
    quiz->red = (uint8_t)red, quiz->green = (uint8_t)green, quiz->blue = (uint8_t)blue;
}

void read_answers(Reader& r, const toml::table& q, int answers_per_question, QuizSourceQuestion* out)
{
    if (answers_per_question == 2) {
        const toml::array* list = q["answers"].as_array();
        if (!list || list->size() != 2) {
            report(r, q.source(), "a question needs 'answers' with two texts");
            return;
        }
        out->answer_1 = read_text(r, list->get(0), "answers");
        out->answer_2 = read_text(r, list->get(1), "answers");
        return;
    }
    if (const toml::node* list = q.get("answers")) {
        report(r, list->source(), "'answers' holds two answers, for answers_per_question = 2; use 'answer'");
        return;
    }
    if (!q.get("answer")) {
        report(r, q.source(), "a question needs 'answer'");
        return;
    }
    out->answer_1 = read_text(r, q.get("answer"), "answer");
}

void read_question(Reader& r, const toml::table& q, QuizSourceFile* file)
{
    static const std::set<std::string> known = {"answer", "answers", "text", "extra", "extra_2", "media",
                                                "picture", "solution"};
    check_keys(r, q, known, " in a question");
    QuizSourceQuestion question;
    read_answers(r, q, file->quiz.answers_per_question, &question);
    question.text = read_text(r, q.get("text"), "text");
    question.extra = read_text(r, q.get("extra"), "extra");
    question.extra_2 = read_text(r, q.get("extra_2"), "extra_2");
    QuizSourceMedia media;
    media.question_line = (int)q.source().begin.line;
    if (q.get("picture") && q.get("media"))
        report(r, q.get("media")->source(), "a question has either 'picture' or 'media', not both");
    const char* media_key = q.get("picture") ? "picture" : "media";
    media.media = read_path(r, q.get(media_key), media_key, &media.media_line);
    media.solution = read_path(r, q.get("solution"), "solution", &media.solution_line);
    file->quiz.questions.push_back(question);
    file->media.push_back(media);
}

void read_quiz(Reader& r, const toml::table& t, QuizSourceFile* file)
{
    static const std::set<std::string> known = {"title", "author", "explanation", "answer_captions", "media",
                                                "answers_per_question", "extra", "colour", "codes", "question",
                                                "icon"};
    check_keys(r, t, known, "");
    QuizSource& quiz = file->quiz;
    quiz.title = read_text(r, t.get("title"), "title", true);
    quiz.author = read_text(r, t.get("author"), "author");
    quiz.explanation = read_text(r, t.get("explanation"), "explanation");
    if (const toml::node* n = t.get("answer_captions"); n && (!n->as_array() || n->as_array()->size() != 2))
        report(r, n->source(), "'answer_captions' must be a list of two texts");
    if (const toml::array* captions = t["answer_captions"].as_array()) {
        quiz.answer_label_1 = read_text(r, captions->get(0), "answer_captions");
        quiz.answer_label_2 = read_text(r, captions->get(1), "answer_captions");
    }
    quiz.media_kind = read_choice(r, t, "media", {"text", "pictures", "audio", "video"}, 0);
    quiz.extra_kind = read_choice(r, t, "extra", {"none", "solution-picture", "extra-text", "both",
                                                  "reveal-all-at-end", "word-count"}, 0);
    if (const toml::node* n = t.get("answers_per_question")) {
        const toml::value<int64_t>* v = n->as_integer();
        if (!v || (v->get() != 1 && v->get() != 2))
            report(r, n->source(), "'answers_per_question' must be 1 or 2");
        else
            quiz.answers_per_question = (int)v->get();
    }
    read_colour(r, t, &quiz);
    file->icon = read_path(r, t.get("icon"), "icon", &file->icon_line);
    if (const toml::array* questions = t["question"].as_array()) {
        for (const toml::node& q : *questions)
            if (const toml::table* table = q.as_table())
                read_question(r, *table, file);
        // Reported at the first question too many, where the author has to cut.
        if (questions->size() > MAX_QUESTIONS)
            report(r, questions->get(MAX_QUESTIONS)->source(), "a quiz holds at most 96 questions, this one has " +
                                                                   std::to_string(questions->size()));
    } else if (const toml::node* n = t.get("question")) {
        report(r, n->source(), "questions are written as [[question]] tables");
    }
    if (const toml::array* codes = t["codes"].as_array()) {
        for (const toml::node& c : *codes)
            quiz.codes.push_back(read_text(r, &c, "codes"));
    } else if (const toml::node* n = t.get("codes")) {
        report(r, n->source(), "'codes' must be a list of texts");
    }
}

}  // namespace

QuizSourceFile quiz_source_read(const std::string& path, std::vector<std::string>* errors)
{
    QuizSourceFile file;
    size_t slash = path.find_last_of('/');
    Reader r{path, slash == std::string::npos ? "" : path.substr(0, slash + 1), errors};
    toml::parse_result parsed = toml::parse_file(path);
    if (!parsed) {
        const toml::parse_error& e = parsed.error();
        errors->push_back(path + ":" + std::to_string(e.source().begin.line ? e.source().begin.line : 1) + ": " + std::string(e.description()));
        return file;
    }
    read_quiz(r, parsed.table(), &file);
    return file;
}
