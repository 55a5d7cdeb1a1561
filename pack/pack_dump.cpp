#include "pack/pack_dump.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "pack/cp1252.h"
#include "pack/pack_build.h"
#include "pack/pack_files.h"
#include "pack/pack_media.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"

namespace {

const char* const MEDIA_KINDS[] = {"text", "pictures", "audio", "video"};
const char* const EXTRA_KINDS[] = {"none", "solution-picture", "extra-text", "both", "reveal-all-at-end", "word-count"};

// One decoded stream; ok when the decoder reached the end code.
bool decode(const std::vector<uint8_t>& stream, std::vector<uint8_t>* out)
{
    uint8_t* buffer = nullptr;
    int32_t len = 0;
    int status = stream.size() > 0x7FFFFFFF ? LZW_BAD_CODE : lzw_decode(stream.data(), (int32_t)stream.size(), &buffer, &len);
    if (buffer && status == LZW_OK && len >= 2)
        out->assign(buffer, buffer + (len - 2));
    std::free(buffer);
    return status == LZW_OK && len >= 2;
}

// The second extra field of each question (extra kind 3), which the player skips and so its
// parser does not keep. Fields end at '|' or a zero byte.
struct FieldWalk {
    const std::vector<uint8_t>& data;
    size_t pos;
};

std::string next_field(FieldWalk& w)
{
    size_t start = w.pos;
    while (w.pos < w.data.size() && w.data[w.pos] != '|' && w.data[w.pos] != 0)
        ++w.pos;
    std::string field(w.data.begin() + start, w.data.begin() + w.pos);
    if (w.pos < w.data.size())
        ++w.pos;
    return field;
}

std::vector<std::string> second_extras(const std::vector<uint8_t>& content, int count, int answers)
{
    FieldWalk w{content, 4};
    for (int i = 0; i < 5; ++i)
        next_field(w);
    for (int q = 0; q < count; ++q)
        for (int f = 0; f < (answers == 2 ? 3 : 2); ++f)
            next_field(w);
    ++w.pos;   // the extra kind byte
    std::vector<std::string> seconds;
    for (int q = 0; q < count && w.pos <= content.size(); ++q) {
        next_field(w);
        seconds.push_back(next_field(w));
    }
    return seconds;
}

QuizSource source_of(const Quiz& quiz, const std::vector<uint8_t>& content)
{
    QuizSource s;
    s.media_kind = quiz.media_kind >= 0 && quiz.media_kind <= 3 ? quiz.media_kind : 0;
    s.answers_per_question = quiz.answers_per_question == 2 ? 2 : 1;
    s.title = quiz.title, s.author = quiz.author, s.explanation = quiz.explanation;
    s.answer_label_1 = quiz.answer_label_1, s.answer_label_2 = quiz.answer_label_2;
    s.extra_kind = quiz.extra_kind >= 0 && quiz.extra_kind <= 5 ? quiz.extra_kind : 0;
    s.red = quiz.colour_red, s.green = quiz.colour_green, s.blue = quiz.colour_blue;
    std::vector<std::string> seconds;
    if (s.extra_kind == 3)
        seconds = second_extras(content, quiz.question_count, s.answers_per_question);
    int n = 0;
    for (const Question* q = quiz.head; q && n < quiz.question_count; q = q->next, ++n) {
        QuizSourceQuestion question{q->answer_1, s.answers_per_question == 2 ? q->answer_2 : "", q->text, q->extra, ""};
        if ((size_t)n < seconds.size())
            question.extra_2 = seconds[(size_t)n];
        s.questions.push_back(question);
    }
    return s;
}

// Code lines as stored: each ended by CR LF; a last line without one is kept too.
std::vector<std::string> code_lines(const std::vector<uint8_t>& content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i + 1 < content.size(); ++i) {
        if (content[i] == '\r' && content[i + 1] == '\n') {
            lines.emplace_back(content.begin() + start, content.begin() + i);
            start = i + 2;
            ++i;
        }
    }
    if (start < content.size())
        lines.emplace_back(content.begin() + start, content.end());
    return lines;
}

const PeResource* find_picture(const std::vector<PeResource>& resources, uint16_t id, bool* png)
{
    const PeResource* r = pe_find(resources, pe_name("IMG"), pe_id(id));
    *png = r == nullptr;
    return r ? r : pe_find(resources, pe_id(PE_RT_RCDATA), pe_id(id));
}

void dump_media(const std::vector<PeResource>& resources, PackDump* dump)
{
    char name[64];
    for (size_t i = 0; i < dump->source.quiz.questions.size(); ++i) {
        int q = (int)i + 1;
        QuizSourceMedia m;
        bool rcdata = false;
        if (const PeResource* r = find_picture(resources, (uint16_t)(400 + q), &rcdata)) {
            std::snprintf(name, sizeof name, "question-%02d.%s", q, pack_file_extension(pack_file_kind(r->data)));
            m.media = name;
            dump->files.push_back(PackDumpFile{name, r->data});
        }
        if (const PeResource* r = find_picture(resources, (uint16_t)(10400 + q), &rcdata)) {
            std::vector<uint8_t> bytes = r->data;
            if (!rcdata)
                pack_exchange_nibbles(&bytes);
            std::snprintf(name, sizeof name, "solution-%02d.%s", q, pack_file_extension(pack_file_kind(bytes)));
            m.solution = name;
            dump->files.push_back(PackDumpFile{name, bytes});
        }
        dump->source.media.push_back(m);
    }
}

// A TOML basic string.
std::string quoted(const std::string& cp1252)
{
    std::string utf8 = cp1252_to_utf8(cp1252), out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || c == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04X", c);
            out += esc;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

void put_key(std::string& out, const char* key, const std::string& value_text)
{
    out += std::string(key) + " = " + value_text + "\n";
}

void put_question(std::string& out, const QuizSource& quiz, const QuizSourceQuestion& q, const QuizSourceMedia& m)
{
    out += "\n[[question]]\n";
    if (quiz.answers_per_question == 2)
        put_key(out, "answers", "[" + quoted(q.answer_1) + ", " + quoted(q.answer_2) + "]");
    else
        put_key(out, "answer", quoted(q.answer_1));
    if (!q.text.empty())
        put_key(out, "text", quoted(q.text));
    if (!q.extra.empty())
        put_key(out, "extra", quoted(q.extra));
    if (!q.extra_2.empty())
        put_key(out, "extra_2", quoted(q.extra_2));
    if (!m.media.empty())
        put_key(out, quiz.media_kind == 1 ? "picture" : "media", quoted(m.media));
    if (!m.solution.empty())
        put_key(out, "solution", quoted(m.solution));
}

}  // namespace

bool pack_dump_streams(const std::vector<uint8_t>& quiz_stream, const std::vector<uint8_t>* codes_stream,
                       PackDump* dump, std::string* error)
{
    std::vector<uint8_t> content, codes;
    if (!decode(quiz_stream, &content)) {
        std::vector<uint8_t> unscrambled = quiz_stream;
        quiz_scramble(unscrambled.data(), unscrambled.size());
        if (!decode(unscrambled, &content)) {
            *error = "the quiz resource decodes neither plain nor unscrambled";
            return false;
        }
        dump->scrambled = true;
    }
    std::unique_ptr<Quiz> quiz(new Quiz());
    quiz_parse_content(quiz.get(), content.data(), (int32_t)content.size());
    dump->source.quiz = source_of(*quiz, content);
    quiz_free_questions(quiz.get());
    if (quiz_serialize_content(dump->source.quiz) != content)
        dump->notes.push_back("the quiz resource holds bytes that the source format does not describe; a build "
                              "of this source gives a different quiz resource");
    if (!codes_stream)
        return true;
    std::vector<uint8_t> codes_bytes = *codes_stream;
    if (dump->scrambled)
        quiz_scramble(codes_bytes.data(), codes_bytes.size());
    if (!decode(codes_bytes, &codes)) {
        dump->notes.push_back("the codes resource does not decode; the source has no codes");
        return true;
    }
    dump->source.quiz.codes = code_lines(codes);
    if (quiz_serialize_codes(dump->source.quiz) != codes)
        dump->notes.push_back("the codes resource is not made of whole lines; a build of this source adds the "
                              "line end it lacks");
    return true;
}

bool pack_dump_resources(const std::vector<PeResource>& resources, PackDump* dump, std::string* error)
{
    const PeResource* quiz = pe_find(resources, pe_name("PATCH"), pe_id(104));
    if (!quiz) {
        *error = "no quiz in this executable (no PATCH/104 resource)";
        return false;
    }
    const PeResource* codes = pe_find(resources, pe_name("PATCH"), pe_id(105));
    if (!pack_dump_streams(quiz->data, codes ? &codes->data : nullptr, dump, error))
        return false;
    dump_media(resources, dump);
    std::vector<uint8_t> icon = pack_get_icon(resources, pe_name("A"));
    if (!icon.empty()) {
        dump->source.icon = "icon.ico";
        dump->files.push_back(PackDumpFile{"icon.ico", icon});
    }
    return true;
}

std::string pack_source_text(const PackDump& dump)
{
    const QuizSource& q = dump.source.quiz;
    std::string out = "# Quiz source read back by vorlo-pack dump";
    out += dump.scrambled ? " (the resources were scrambled: build with --scramble)\n" : "\n";
    put_key(out, "title", quoted(q.title));
    put_key(out, "author", quoted(q.author));
    put_key(out, "explanation", quoted(q.explanation));
    put_key(out, "answer_captions", "[" + quoted(q.answer_label_1) + ", " + quoted(q.answer_label_2) + "]");
    put_key(out, "media", quoted(MEDIA_KINDS[q.media_kind]));
    put_key(out, "answers_per_question", std::to_string(q.answers_per_question));
    put_key(out, "extra", quoted(EXTRA_KINDS[q.extra_kind]));
    char colour[16];
    std::snprintf(colour, sizeof colour, "\"#%02X%02X%02X\"", q.red, q.green, q.blue);
    put_key(out, "colour", colour);
    if (!dump.source.icon.empty())
        put_key(out, "icon", quoted(dump.source.icon));
    out += "codes = [\n";
    for (const std::string& code : q.codes)
        out += "  " + quoted(code) + ",\n";
    out += "]\n";
    for (size_t i = 0; i < q.questions.size(); ++i)
        put_question(out, q, q.questions[i], i < dump.source.media.size() ? dump.source.media[i] : QuizSourceMedia());
    return out;
}

bool pack_write_dump(const PackDump& dump, const std::string& folder, const std::string& name, std::string* error)
{
    if (!pack_make_folder(folder)) {
        *error = "cannot make the folder " + folder;
        return false;
    }
    for (const PackDumpFile& f : dump.files)
        if (!pack_write_file(folder + "/" + f.name, f.bytes, error))
            return false;
    std::string text = pack_source_text(dump);
    return pack_write_file(folder + "/" + name + ".toml", std::vector<uint8_t>(text.begin(), text.end()), error);
}
