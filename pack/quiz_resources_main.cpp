// Build-time tool: turns a quiz source into the quiz resources and a resource script that
// compiles them into a player. Usage: quiz_resources SOURCE.toml OUTDIR [--scramble]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pack/lzw_encode.h"
#include "pack/quiz_source.h"
#include "quiz/quiz_parse.h"

namespace {

const size_t MAX_RESOURCE = 65534;   // every player reads a quiz stream below 64 KiB

bool read_file(const std::string& path, std::vector<uint8_t>* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    return (bool)out;
}

std::vector<uint8_t> compress(const std::vector<uint8_t>& content, bool scramble)
{
    std::vector<uint8_t> stream = lzw_encode(content.data(), content.size());
    if (scramble)
        quiz_scramble(stream.data(), stream.size());
    return stream;
}

bool is_png(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}

// Solution pictures are stored with the halves of each byte exchanged.
void exchange_nibbles(std::vector<uint8_t>& bytes)
{
    for (uint8_t& b : bytes)
        b = (uint8_t)((b << 4) | (b >> 4));
}

bool add_media(const std::string& dir, const std::string& file, int id, bool solution, std::string& rc)
{
    if (file.empty())
        return true;
    std::vector<uint8_t> bytes;
    if (!read_file(file, &bytes)) {
        std::fprintf(stderr, "quiz_resources: cannot read %s\n", file.c_str());
        return false;
    }
    bool png = is_png(bytes);
    if (solution && !png)
        exchange_nibbles(bytes);
    std::string name = dir + "/img" + std::to_string(id) + ".bin";
    if (!write_file(name, bytes))
        return false;
    rc += std::to_string(id) + (png ? " RCDATA \"" : " IMG \"") + name + "\"\n";
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "--scramble") != 0)) {
        std::fprintf(stderr, "usage: quiz_resources SOURCE.toml OUTDIR [--scramble]\n");
        return 2;
    }
    std::vector<std::string> errors;
    QuizSourceFile source = quiz_source_read(argv[1], &errors);
    for (const std::string& e : errors)
        std::fprintf(stderr, "%s\n", e.c_str());
    if (!errors.empty())
        return 1;
    std::string dir = argv[2];
    bool scramble = argc == 4;
    std::vector<uint8_t> quiz = compress(quiz_serialize_content(source.quiz), scramble);
    std::vector<uint8_t> codes = compress(quiz_serialize_codes(source.quiz), scramble);
    if (quiz.size() > MAX_RESOURCE) {
        std::fprintf(stderr, "%s: the compressed quiz takes %zu bytes, at most %zu fit\n", argv[1], quiz.size(),
                     MAX_RESOURCE);
        return 1;
    }
    std::string rc = "LANGUAGE 9, 1\n104 PATCH \"" + dir + "/quiz.104.bin\"\n";
    bool ok = write_file(dir + "/quiz.104.bin", quiz);
    if (!codes.empty()) {
        rc += "105 PATCH \"" + dir + "/quiz.105.bin\"\n";
        ok = ok && write_file(dir + "/quiz.105.bin", codes);
    }
    for (size_t i = 0; i < source.media.size() && ok; ++i) {
        int q = (int)i + 1;
        ok = add_media(dir, source.media[i].media, 400 + q, false, rc) &&
             add_media(dir, source.media[i].solution, 10400 + q, true, rc);
    }
    ok = ok && write_file(dir + "/quiz.rc", std::vector<uint8_t>(rc.begin(), rc.end()));
    if (!ok) {
        std::fprintf(stderr, "quiz_resources: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
