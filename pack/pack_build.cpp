#include "pack/pack_build.h"

#include <algorithm>
#include <cstdio>

#include "pack/lzw_encode.h"
#include "pack/pack_files.h"
#include "pack/pack_media.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"

namespace {

enum : uint16_t {
    QUIZ_RESOURCE = 104,
    CODES_RESOURCE = 105,
    MEDIA_BASE = 400,          // question q's picture, sound or video: 400 + q
    SOLUTION_BASE = 10400,     // question q's solution picture: 10400 + q
};


struct Checker {
    const std::string& path;
    std::vector<std::string>* errors;
};

void report(Checker& c, int line, const std::string& message)
{
    c.errors->push_back(c.path + ":" + std::to_string(line > 0 ? line : 1) + ": " + message);
}

bool media_fits_kind(PackFileKind kind, int media_kind)
{
    if (media_kind == 1)
        return pack_is_picture(kind);
    if (media_kind == 2)
        return kind == PACK_FILE_WAV || kind == PACK_FILE_MP3;
    return kind == PACK_FILE_AVI || kind == PACK_FILE_MPG || kind == PACK_FILE_WMV;
}

const char* media_kind_wants(int media_kind)
{
    if (media_kind == 1)
        return "a picture the player shows (JPEG, GIF, BMP or PNG)";
    if (media_kind == 2)
        return "a sound the player plays (WAV or MP3)";
    return "a video the player plays (AVI, MPEG or WMV)";
}

// One media file: readable, not empty, of the form the quiz's media kind needs.
void check_file(Checker& c, const std::string& file, int line, const char* key, int media_kind)
{
    std::vector<uint8_t> bytes;
    if (!pack_read_file(file, &bytes)) {
        report(c, line, "'" + std::string(key) + "': cannot read " + file);
        return;
    }
    if (bytes.empty()) {
        report(c, line, "'" + std::string(key) + "': " + file + " is empty");
        return;
    }
    PackFileKind kind = pack_file_kind(bytes);
    if (!media_fits_kind(kind, media_kind)) {
        report(c, line, "'" + std::string(key) + "': " + file + " is not " + media_kind_wants(media_kind));
        return;
    }
    std::vector<uint8_t> bmp;
    int32_t png_error = kind == PACK_FILE_PNG ? pack_png_to_bmp(bytes, &bmp) : 0;
    if (png_error) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", (unsigned)png_error);
        report(c, line, "'" + std::string(key) + "': the player cannot decode " + file + ": error " + code + ", " +
                            pack_png_error_text(png_error));
    }
}

void check_question_media(Checker& c, const QuizSource& quiz, const QuizSourceMedia& m)
{
    int media_kind = quiz.media_kind;
    if (!m.media.empty() && media_kind == 0)
        report(c, m.media_line, "a text quiz shows no pictures or media (set media = \"pictures\", \"audio\" or "
                                "\"video\")");
    else if (!m.media.empty())
        check_file(c, m.media, m.media_line, media_kind == 1 ? "picture" : "media", media_kind);
    // A question without a picture or medium is allowed: the player shows an empty cell.
    if (m.solution.empty())
        return;
    if (quiz.extra_kind != 1 && quiz.extra_kind != 3)
        report(c, m.solution_line, "'solution' is shown only with extra = \"solution-picture\" or \"both\"");
    else
        check_file(c, m.solution, m.solution_line, "solution", 1);
}

void check_icon(Checker& c, const QuizSourceFile& file)
{
    if (file.icon.empty())
        return;
    std::vector<uint8_t> ico;
    if (!pack_read_file(file.icon, &ico)) {
        report(c, file.icon_line, "'icon': cannot read " + file.icon);
        return;
    }
    std::string problem = pack_icon_problem(ico);
    if (!problem.empty())
        report(c, file.icon_line, "'icon': " + file.icon + ": " + problem);
}

void check_size(Checker& c, const QuizSource& quiz)
{
    std::vector<uint8_t> content = quiz_serialize_content(quiz);
    if (content.size() > (size_t)LZW_OUTPUT_CAPACITY) {
        report(c, 1, "the quiz holds " + std::to_string(content.size()) + " bytes of text, the player reads at most " +
                         std::to_string((int)LZW_OUTPUT_CAPACITY));
        return;
    }
    PackStreams streams = pack_compress(quiz, false);
    if (streams.quiz.size() > PACK_MAX_RESOURCE)
        report(c, 1, "the compressed quiz takes " + std::to_string(streams.quiz.size()) + " bytes, at most " +
                         std::to_string((size_t)PACK_MAX_RESOURCE) + " fit; shorten the texts");
    if (streams.codes.size() > PACK_MAX_RESOURCE)
        report(c, 1, "the compressed codes take " + std::to_string(streams.codes.size()) + " bytes, at most " +
                         std::to_string((size_t)PACK_MAX_RESOURCE) + " fit");
}

std::vector<uint8_t> compress(const std::vector<uint8_t>& content, bool scramble)
{
    std::vector<uint8_t> stream = lzw_encode(content.data(), content.size());
    if (scramble)
        quiz_scramble(stream.data(), stream.size());
    return stream;
}

PeResource resource(const PeResId& type, uint16_t id, uint16_t language, std::vector<uint8_t> data)
{
    PeResource r;
    r.type = type;
    r.name = pe_id(id);
    r.language = language;
    r.data = std::move(data);
    return r;
}

// A picture or medium file as its resource: PNG as RT_RCDATA, the rest as IMG; solution
// pictures other than PNG with their nibbles exchanged.
bool put_media(std::vector<PeResource>* resources, const std::string& file, uint16_t id, bool solution,
               uint16_t language, std::string* error)
{
    std::vector<uint8_t> bytes;
    if (!pack_read_file(file, &bytes)) {
        *error = "cannot read " + file;
        return false;
    }
    bool png = pack_file_kind(bytes) == PACK_FILE_PNG;
    if (solution && !png)
        pack_exchange_nibbles(&bytes);
    pe_set(resources, resource(png ? pe_id(PE_RT_RCDATA) : pe_name("IMG"), id, language, std::move(bytes)));
    return true;
}

}  // namespace

QuizSourceFile pack_check_source(const std::string& path, std::vector<std::string>* errors)
{
    QuizSourceFile file = quiz_source_read(path, errors);
    Checker c{path, errors};
    if (!errors->empty() && file.quiz.title.empty() && file.quiz.questions.empty())
        return file;   // the file did not parse: nothing more to check
    if (file.quiz.questions.empty())
        report(c, 1, "a quiz needs at least one [[question]]");
    for (const QuizSourceMedia& m : file.media)
        check_question_media(c, file.quiz, m);
    check_icon(c, file);
    check_size(c, file.quiz);
    return file;
}

PackStreams pack_compress(const QuizSource& quiz, bool scramble)
{
    std::vector<uint8_t> codes = quiz_serialize_codes(quiz);
    if (codes.empty())
        for (size_t i = 0; i < std::max<size_t>(1, quiz.questions.size()); ++i)
            codes.insert(codes.end(), {'\r', '\n'});
    return PackStreams{compress(quiz_serialize_content(quiz), scramble), compress(codes, scramble)};
}

void pack_remove_quiz(std::vector<PeResource>* resources)
{
    PeResId patch = pe_name("PATCH"), img = pe_name("IMG"), rcdata = pe_id(PE_RT_RCDATA);
    auto is_quiz = [&](const PeResource& r) {
        if (pe_id_equal(r.type, patch) || pe_id_equal(r.type, img))
            return true;
        uint16_t id = r.name.is_name ? 0 : r.name.id;
        bool picture_id = (id > MEDIA_BASE && id <= MEDIA_BASE + 96) || (id > SOLUTION_BASE && id <= SOLUTION_BASE + 96);
        return pe_id_equal(r.type, rcdata) && picture_id;
    };
    resources->erase(std::remove_if(resources->begin(), resources->end(), is_quiz), resources->end());
}

bool pack_put_quiz(std::vector<PeResource>* resources, const QuizSourceFile& source, bool scramble,
                   std::string* error)
{
    uint16_t language = pe_language(*resources);
    pack_remove_quiz(resources);
    PackStreams streams = pack_compress(source.quiz, scramble);
    pe_set(resources, resource(pe_name("PATCH"), QUIZ_RESOURCE, language, streams.quiz));
    pe_set(resources, resource(pe_name("PATCH"), CODES_RESOURCE, language, streams.codes));
    for (size_t i = 0; i < source.media.size(); ++i) {
        uint16_t q = (uint16_t)(i + 1);
        const QuizSourceMedia& m = source.media[i];
        if (!m.media.empty() && !put_media(resources, m.media, MEDIA_BASE + q, false, language, error))
            return false;
        if (!m.solution.empty() && !put_media(resources, m.solution, SOLUTION_BASE + q, true, language, error))
            return false;
    }
    if (source.icon.empty())
        return true;
    std::vector<uint8_t> ico;
    if (!pack_read_file(source.icon, &ico)) {
        *error = "cannot read " + source.icon;
        return false;
    }
    pack_set_icon(resources, pe_name("A"), language, ico);
    return true;
}

bool pack_read_exe(const std::string& path, PeImage* image, std::vector<PeResource>* resources, std::string* error)
{
    std::vector<uint8_t> bytes;
    if (!pack_read_file(path, &bytes)) {
        *error = path + ": cannot read the file";
        return false;
    }
    int status = pe_parse(bytes, image);
    if (status == PE_OK)
        status = pe_read_resources(*image, resources);
    if (status != PE_OK) {
        *error = path + ": " + pe_status_text(status);
        return false;
    }
    return true;
}

int pack_build(const std::string& source_path, const std::string& player_path, const std::string& output_path,
               bool scramble, std::vector<std::string>* messages)
{
    size_t before = messages->size();
    QuizSourceFile source = pack_check_source(source_path, messages);
    if (messages->size() != before)
        return PACK_EXIT_INVALID;
    PeImage player;
    std::vector<PeResource> resources;
    std::string error;
    std::vector<uint8_t> out;
    if (!pack_read_exe(player_path, &player, &resources, &error) ||
        !pack_put_quiz(&resources, source, scramble, &error)) {
        messages->push_back(error);
        return PACK_EXIT_INVALID;
    }
    int status = pe_write_resources(player, resources, &out);
    if (status != PE_OK) {
        messages->push_back(player_path + ": " + pe_status_text(status));
        return PACK_EXIT_INVALID;
    }
    if (!pack_write_file(output_path, out, &error)) {
        messages->push_back(error);
        return PACK_EXIT_INVALID;
    }
    return PACK_EXIT_OK;
}
