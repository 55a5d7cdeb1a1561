// The authoring tool: check on a table of broken sources, build into the real players and what
// the resources then hold, dump then build giving the same file, try's verdicts, and the command
// line's exit codes and output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

#include "pack/cp1252.h"
#include "pack/pack_build.h"
#include "pack/pack_dump.h"
#include "pack/pack_files.h"
#include "pack/pack_media.h"
#include "pack/pack_try.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"

namespace fs = std::filesystem;

namespace {

const std::string EXAMPLES = std::string(VORLO_SOURCE_DIR) + "/examples/";
const std::string FLAGS = EXAMPLES + "drapeaux/";

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    pack_read_file(path, &bytes);
    return bytes;
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A folder of its own per test, removed afterwards.
class PackFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = ::testing::TempDir() + "vorlo_pack_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" +
              info->name() + "/";
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir;
};

// --- check ------------------------------------------------------------------------------------

struct BadSource {
    const char* name;
    std::string text;
    int line;
    const char* message;   // a part of the one message expected
};

std::string long_text(size_t n, unsigned seed)
{
    // Letters of Windows-1252 spread wide, so the text compresses badly.
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789%#@&*+=";
    std::mt19937 random(seed);
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += letters[random() % (sizeof letters - 1)];
    return s;
}

std::string questions(int n, const std::string& body)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "\n[[question]]\n" + body;
    return s;
}

std::vector<BadSource> bad_sources()
{
    std::string big;
    for (int q = 0; q < 96; ++q)
        big += "\n[[question]]\nanswers = [\"" + long_text(259, q) + "\", \"" + long_text(259, 3000 + q) +
               "\"]\ntext = \"" + long_text(259, 1000 + q) + "\"\nextra = \"" + long_text(259, 2000 + q) + "\"\n";
    return {
        {"syntax error", "title = \"T\"\nmedia = \n", 2, "expected"},
        {"unknown key", "title = \"T\"\ntitel = \"T\"\n[[question]]\nanswer = \"a\"\n", 2, "unknown key 'titel'"},
        {"unknown key in a question", "title = \"T\"\n[[question]]\nanswer = \"a\"\nanswr = \"b\"\n", 4,
         "unknown key 'answr' in a question"},
        {"missing picture", "title = \"T\"\nmedia = \"pictures\"\n[[question]]\nanswer = \"a\"\npicture = \"absent.jpg\"\n", 5,
         "cannot read"},
        {"picture that is no picture", "title = \"T\"\nmedia = \"pictures\"\n[[question]]\nanswer = \"a\"\npicture = \"notes.jpg\"\n",
         5, "is not a picture the player shows"},
        {"PNG the decoder refuses", "title = \"T\"\nmedia = \"pictures\"\n[[question]]\nanswer = \"a\"\n\npicture = \"broken.png\"\n",
         6, "the player cannot decode"},
        {"solution picture missing", "title = \"T\"\nmedia = \"pictures\"\nextra = \"both\"\n[[question]]\nanswer = \"a\"\n"
         "picture = \"france.jpg\"\nsolution = \"none.jpg\"\n", 7, "'solution': cannot read"},
        {"solution without a solution extra", "title = \"T\"\nmedia = \"pictures\"\n[[question]]\nanswer = \"a\"\n"
         "picture = \"france.jpg\"\nsolution = \"france.jpg\"\n", 6, "'solution' is shown only"},
        {"picture in a text quiz", "title = \"T\"\n[[question]]\nanswer = \"a\"\npicture = \"france.jpg\"\n", 4,
         "a text quiz shows no pictures"},
        {"picture as a sound", "title = \"T\"\nmedia = \"audio\"\n[[question]]\nanswer = \"a\"\nmedia = \"france.jpg\"\n", 5,
         "is not a sound the player plays"},
        {"text Windows-1252 cannot hold", "title = \"T\"\n[[question]]\nanswer = \"a\"\ntext = \"\u263A\"\n", 4, "U+263A"},
        {"field too long", "title = \"" + std::string(260, 'x') + "\"\n[[question]]\nanswer = \"a\"\n", 1,
         "260 characters long, at most 259"},
        {"bar in a field", "title = \"T\"\n[[question]]\nanswer = \"a|b\"\n", 3, "must not contain '|'"},
        {"97 questions", "title = \"T\"\n" + questions(97, "answer = \"a\"\n"), 3 * 97, "at most 96 questions"},
        {"too large a quiz", "title = \"T\"\nanswers_per_question = 2\nextra = \"extra-text\"\n" + big, 1, "the compressed quiz takes"},
        {"no question", "title = \"T\"\n", 1, "at least one [[question]]"},
        {"missing title", "author = \"A\"\n[[question]]\nanswer = \"a\"\n", 1, "missing key 'title'"},
        {"bad colour", "title = \"T\"\ncolour = \"red\"\n[[question]]\nanswer = \"a\"\n", 2, "\"#RRGGBB\""},
        {"bad media kind", "title = \"T\"\nmedia = \"pictures-and-sound\"\n[[question]]\nanswer = \"a\"\n", 2,
         "'media' must be one of"},
        {"one answer where two are asked", "title = \"T\"\nanswers_per_question = 2\n[[question]]\nanswer = \"a\"\n", 3,
         "needs 'answers' with two texts"},
        {"icon that is no icon", "title = \"T\"\nicon = \"notes.jpg\"\n[[question]]\nanswer = \"a\"\n", 2,
         "not an icon file"},
        {"codes not a list", "title = \"T\"\ncodes = \"A\"\n[[question]]\nanswer = \"a\"\n", 2, "'codes' must be a list"},
    };
}

TEST_F(PackFolder, CheckReportsEachBrokenSourceAtItsLine)
{
    fs::copy_file(FLAGS + "france.jpg", dir + "france.jpg");
    write_text(dir + "notes.jpg", "not a picture at all");
    std::vector<uint8_t> png = read_bytes(FLAGS + "irlande.png");
    ASSERT_GT(png.size(), 200u);
    png.resize(png.size() / 2);   // the image data ends early
    ASSERT_TRUE(pack_write_file(dir + "broken.png", png, &dir));
    for (const BadSource& c : bad_sources()) {
        std::string path = dir + "quiz.toml";
        write_text(path, c.text);
        std::vector<std::string> errors;
        pack_check_source(path, &errors);
        std::string all;
        for (const std::string& e : errors)
            all += "\n  " + e;
        ASSERT_EQ(1u, errors.size()) << c.name << ":" << all;
        std::string want = path + ":" + std::to_string(c.line) + ": ";
        EXPECT_EQ(want, errors[0].substr(0, want.size())) << c.name << ":" << all;
        EXPECT_NE(std::string::npos, errors[0].find(c.message)) << c.name << ":" << all;
    }
}

TEST(PackCheck, TheDemoQuizzesPass)
{
    for (const char* source : {"capitales/capitales.toml", "drapeaux/drapeaux.toml", "sons/sons.toml",
                               "videos/videos.toml"}) {
        std::vector<std::string> errors;
        QuizSourceFile file = pack_check_source(EXAMPLES + source, &errors);
        EXPECT_TRUE(errors.empty()) << source << ": " << (errors.empty() ? "" : errors[0]);
        EXPECT_FALSE(file.quiz.questions.empty()) << source;
    }
}

// --- build and dump -----------------------------------------------------------------------------

struct Player {
    const char* name;
    const char* path;
};
const Player PLAYERS[] = {{"win32", VORLO_PLAYER_WIN32}, {"win64", VORLO_PLAYER_WIN64}};

struct Built {
    PeImage image;
    std::vector<PeResource> resources;
};

::testing::AssertionResult read_exe(const std::string& path, Built* out)
{
    std::string error;
    if (!pack_read_exe(path, &out->image, &out->resources, &error))
        return ::testing::AssertionFailure() << error;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult build(const std::string& source, const std::string& player, const std::string& out,
                                 bool scramble)
{
    std::vector<std::string> messages;
    int code = pack_build(source, player, out, scramble, &messages);
    if (code != PACK_EXIT_OK)
        return ::testing::AssertionFailure() << "exit " << code << ": " << (messages.empty() ? "" : messages[0]);
    return ::testing::AssertionSuccess();
}

std::vector<uint8_t> decoded(const std::vector<uint8_t>& stream, bool scrambled)
{
    std::vector<uint8_t> in = stream;
    if (scrambled)
        quiz_scramble(in.data(), in.size());
    uint8_t* out = nullptr;
    int32_t len = 0;
    int status = lzw_decode(in.data(), (int32_t)in.size(), &out, &len);
    std::vector<uint8_t> result;
    if (status == LZW_OK)
        result.assign(out, out + len - 2);
    std::free(out);
    return result;
}

class PackPlayer : public ::testing::TestWithParam<Player> {
protected:
    void SetUp() override
    {
        if (!fs::exists(GetParam().path))
            GTEST_SKIP() << GetParam().path << " is not built (make " << GetParam().name << ")";
        // One folder per test and player: ctest runs them in parallel.
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = ::testing::TempDir() + "vorlo_pack_" + std::to_string(getpid()) + "_" + name + "/";
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir;
};

void PrintTo(const Player& p, std::ostream* os) { *os << p.name; }

// The pictures quiz in the resources: each kind of picture under its type, solution pictures
// exchanged, the quiz decoding with the player's parser, in the player's language.
TEST_P(PackPlayer, BuildPutsTheQuizAndItsPicturesIntoThePlayer)
{
    ASSERT_TRUE(build(FLAGS + "drapeaux.toml", GetParam().path, dir + "flags.exe", false));
    Built b;
    ASSERT_TRUE(read_exe(dir + "flags.exe", &b));
    for (const PeResource& r : b.resources)
        EXPECT_EQ(PE_LANGUAGE_EN_US, r.language) << pe_id_text(r.type) << "/" << pe_id_text(r.name);

    struct Picture {
        uint16_t id;
        const char* file;
        bool rcdata;
        bool exchanged;
    };
    const Picture pictures[] = {
        {401, "france.jpg", false, false}, {403, "italie.gif", false, false}, {404, "belgique.bmp", false, false},
        {405, "irlande.png", true, false}, {10401, "solution-france.jpg", false, true},
        {10403, "solution-italie.jpg", false, true},
    };
    for (const Picture& p : pictures) {
        PeResId type = p.rcdata ? pe_id(PE_RT_RCDATA) : pe_name("IMG");
        const PeResource* r = pe_find(b.resources, type, pe_id(p.id));
        ASSERT_NE(nullptr, r) << p.id << " " << p.file;
        std::vector<uint8_t> want = read_bytes(FLAGS + p.file);
        if (p.exchanged)
            pack_exchange_nibbles(&want);
        EXPECT_TRUE(want == r->data) << p.id << " " << p.file;
    }
    EXPECT_EQ(nullptr, pe_find(b.resources, pe_name("IMG"), pe_id(405))) << "a PNG is RT_RCDATA only";
    EXPECT_EQ(nullptr, pe_find(b.resources, pe_name("IMG"), pe_id(10404))) << "no solution for question 4";

    const PeResource* quiz = pe_find(b.resources, pe_name("PATCH"), pe_id(104));
    ASSERT_NE(nullptr, quiz);
    std::vector<uint8_t> content = decoded(quiz->data, false);
    ASSERT_FALSE(content.empty());
    std::unique_ptr<Quiz> q(new Quiz());
    quiz_parse_content(q.get(), content.data(), (int32_t)content.size());
    EXPECT_STREQ("Drapeaux d'Europe", q->title);
    EXPECT_EQ(10, q->question_count);
    EXPECT_EQ(MEDIA_PICTURES, q->media_kind);
    EXPECT_EQ(EXTRA_PICTURE_AND_LABEL, q->extra_kind);
    quiz_free_questions(q.get());
}

// Building twice from a quiz executable as the player: the earlier quiz's resources go, the tree
// is rewritten in place, and the file is the same as a build from the bare player.
TEST_P(PackPlayer, ABuildOverAQuizExecutableReplacesTheWholeQuiz)
{
    ASSERT_TRUE(build(FLAGS + "drapeaux.toml", GetParam().path, dir + "flags.exe", false));
    ASSERT_TRUE(build(EXAMPLES + "capitales/capitales.toml", dir + "flags.exe", dir + "over.exe", false));
    ASSERT_TRUE(build(EXAMPLES + "capitales/capitales.toml", GetParam().path, dir + "plain.exe", false));
    Built over, plain;
    ASSERT_TRUE(read_exe(dir + "over.exe", &over));
    ASSERT_TRUE(read_exe(dir + "plain.exe", &plain));
    EXPECT_EQ(plain.resources.size(), over.resources.size());
    EXPECT_EQ(nullptr, pe_find(over.resources, pe_name("IMG"), pe_id(401)));
    EXPECT_EQ(nullptr, pe_find(over.resources, pe_id(PE_RT_RCDATA), pe_id(405)));
    EXPECT_EQ(plain.image.sections.size(), over.image.sections.size());
}

struct RoundTrip {
    const char* name;
    const char* source;
    bool scramble;
    bool icon;   // the source names an icon of its own
};

const RoundTrip ROUND_TRIPS[] = {
    {"text", "capitales/capitales.toml", false, false},
    {"text scrambled", "capitales/capitales.toml", true, false},
    {"pictures", "drapeaux/drapeaux.toml", false, false},
    {"pictures scrambled with an icon", "drapeaux/drapeaux.toml", true, true},
    {"sounds", "sons/sons.toml", false, false},
    {"videos", "videos/videos.toml", true, false},
};

TEST_P(PackPlayer, DumpThenBuildGivesTheSameFile)
{
    for (const RoundTrip& t : ROUND_TRIPS) {
        SCOPED_TRACE(t.name);
        std::string source = EXAMPLES + t.source;
        if (t.icon) {
            // The source beside its pictures, naming an icon made from the player's own.
            Built player;
            ASSERT_TRUE(read_exe(GetParam().path, &player));
            fs::remove_all(dir + "src");
            fs::copy(FLAGS, dir + "src");
            std::string text;
            std::ifstream in(source);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            write_text(dir + "src/drapeaux.toml", "icon = \"own.ico\"\n" + text);
            std::vector<uint8_t> own = pack_get_icon(player.resources, pe_name("A"));
            std::reverse(own.begin() + 6 + 16 * own[4], own.end());   // other pixels, same layout
            std::string error;
            ASSERT_TRUE(pack_write_file(dir + "src/own.ico", own, &error)) << error;
            source = dir + "src/drapeaux.toml";
        }
        ASSERT_TRUE(build(source, GetParam().path, dir + "first.exe", t.scramble));
        Built first;
        ASSERT_TRUE(read_exe(dir + "first.exe", &first));
        PackDump dump;
        std::string error;
        ASSERT_TRUE(pack_dump_resources(first.resources, &dump, &error)) << error;
        EXPECT_EQ(t.scramble, dump.scrambled);
        EXPECT_TRUE(dump.notes.empty()) << dump.notes[0];
        ASSERT_TRUE(pack_write_dump(dump, dir + "dump", "quiz", &error)) << error;
        ASSERT_TRUE(build(dir + "dump/quiz.toml", GetParam().path, dir + "second.exe", t.scramble));
        Built second;
        ASSERT_TRUE(read_exe(dir + "second.exe", &second));
        ASSERT_EQ(first.resources.size(), second.resources.size());
        for (size_t i = 0; i < first.resources.size(); ++i)
            EXPECT_TRUE(first.resources[i].data == second.resources[i].data)
                << pe_id_text(first.resources[i].type) << "/" << pe_id_text(first.resources[i].name);
        EXPECT_TRUE(read_bytes(dir + "first.exe") == read_bytes(dir + "second.exe")) << "the files differ";
        if (t.icon) {
            const PeResource* group = pe_find(first.resources, pe_id(PE_RT_GROUP_ICON), pe_name("A"));
            ASSERT_NE(nullptr, group);
            EXPECT_TRUE(pack_get_icon(first.resources, pe_name("A")) == read_bytes(dir + "src/own.ico"));
        }
        fs::remove_all(dir + "dump");
    }
}

INSTANTIATE_TEST_SUITE_P(Players, PackPlayer, ::testing::ValuesIn(PLAYERS),
                         [](const ::testing::TestParamInfo<Player>& i) { return std::string(i.param.name); });

TEST(PackDumpStreams, RawResourcesGiveTheSameSourceAsTheExecutable)
{
    std::vector<std::string> errors;
    QuizSourceFile source = pack_check_source(EXAMPLES + "capitales/capitales.toml", &errors);
    ASSERT_TRUE(errors.empty());
    for (bool scramble : {false, true}) {
        PackStreams streams = pack_compress(source.quiz, scramble);
        PackDump with_codes, without_codes;
        std::string error;
        ASSERT_TRUE(pack_dump_streams(streams.quiz, &streams.codes, &with_codes, &error)) << error;
        ASSERT_TRUE(pack_dump_streams(streams.quiz, nullptr, &without_codes, &error)) << error;
        EXPECT_EQ(scramble, with_codes.scrambled);
        EXPECT_EQ(source.quiz.codes, with_codes.source.quiz.codes);
        EXPECT_TRUE(without_codes.source.quiz.codes.empty());
        EXPECT_EQ(quiz_serialize_content(source.quiz), quiz_serialize_content(with_codes.source.quiz));
        std::string text = pack_source_text(with_codes);
        EXPECT_NE(std::string::npos, text.find("title = \"Capitales d'Europe\"")) << text.substr(0, 300);
        EXPECT_NE(std::string::npos, text.find("answer = \"Athènes\"")) << "UTF-8 in the source";
    }
    PackDump dump;
    std::string error;
    EXPECT_FALSE(pack_dump_streams(std::vector<uint8_t>{1, 2, 3}, nullptr, &dump, &error));
    EXPECT_NE(std::string::npos, error.find("neither plain nor unscrambled")) << error;
}

// --- try and png --------------------------------------------------------------------------------

TEST(PackTry, GivesThePlayersVerdicts)
{
    struct Case {
        const char* answer;
        const char* typed;
        const char* verdict;   // UTF-8
    };
    const Case cases[] = {
        {"Paris", " paris ", "BRAVO"},
        {"Athènes", "ATHÈNES", "BRAVO"},
        {"Athènes", "athenes", "Quasiment"},
        {"Paris", "", "?"},
        {"Lisbonne", "bonnelis", "Anagramme"},
        {"Bruxelles", "bruxele", "Presque"},
        {"Amsterdam", "Amsterdam la", "Trop long"},
        {"Saint-Pierre-et-Miquelon", "Saint-Pierre-et-Miq", "Trop court"},
        {"Copenhague", "Copenha", "Pas loin"},
        {"Saint-Pierre-et-Miquelon", "Saint-Pierre-e-Mikelonn", "y a de l'idée"},
        {"Rome", "Londres", "FAUX"},
    };
    for (const Case& c : cases) {
        std::string answer, typed;
        unsigned long bad = 0;
        ASSERT_TRUE(utf8_to_cp1252(c.answer, &answer, &bad));
        ASSERT_TRUE(utf8_to_cp1252(c.typed, &typed, &bad));
        EXPECT_EQ(c.verdict, cp1252_to_utf8(pack_try(answer, typed).verdict)) << c.answer << " / " << c.typed;
    }
}

TEST(PackPng, WritesTheDecodedPictureAsABmp)
{
    std::vector<uint8_t> bmp;
    ASSERT_EQ(0, pack_png_to_bmp(read_bytes(FLAGS + "suisse.png"), &bmp));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ('B', bmp[0]);
    EXPECT_EQ('M', bmp[1]);
    auto get32 = [&](size_t at) { return (uint32_t)(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24); };
    EXPECT_EQ(bmp.size(), get32(2));
    EXPECT_EQ(200u, get32(18));
    EXPECT_EQ((uint32_t)-200, get32(22));
    std::vector<uint8_t> text{'n', 'o', 't', ' ', 'p', 'n', 'g'};
    EXPECT_EQ(0x2000, pack_png_to_bmp(text, &bmp));
}

// --- the command line -------------------------------------------------------------------------

std::string run(const std::string& args, int* code)
{
    std::string out;
    FILE* p = popen((std::string(VORLO_PACK_EXE) + " " + args + " 2>&1").c_str(), "r");
    char buffer[4096];
    size_t n;
    while (p && (n = fread(buffer, 1, sizeof buffer, p)) > 0)
        out.append(buffer, n);
    int status = p ? pclose(p) : -1;
    *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string last_line(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    size_t nl = text.rfind('\n');
    return nl == std::string::npos ? text : text.substr(nl + 1);
}

TEST_F(PackFolder, CommandLineExitCodesAndOutput)
{
    write_text(dir + "bad.toml", "title = \"T\"\ncolor = \"#000000\"\n[[question]]\nanswer = \"a\"\n");
    write_text(dir + "not.exe", "MZ but nothing else");
    struct Case {
        std::string args;
        int code;
        std::string last;   // a part of the last line
    };
    const std::string player = std::string(" --player ") + VORLO_PLAYER_WIN32;
    const Case cases[] = {
        {"--version", 0, "vorlo-pack "},
        {"--help", 0, "png"},
        {"build --help", 0, "--player"},
        {"", 2, "--help"},
        {"frobnicate", 2, "--help"},
        {"build " + FLAGS + "drapeaux.toml", 2, "--help"},
        {"dump", 2, "--help"},
        {"try 'Saint-Pierre-et-Miquelon' 'Saint-Pierre-e-Mikelonn'", 0, "y a de l'idée"},
        {"try Paris ' paris '", 0, "BRAVO"},
        {"try Paris '☺'", 1, "Windows-1252"},
        {"check " + dir + "bad.toml", 1, dir + "bad.toml:2: unknown key 'color'"},
        {"check " + EXAMPLES + "drapeaux/drapeaux.toml", 0, ": ok"},
        {"check " + dir + "absent.toml", 1, dir + "absent.toml:1: "},
        {"build " + dir + "bad.toml -o " + dir + "out.exe" + player, 1, "unknown key 'color'"},
        {"build " + FLAGS + "drapeaux.toml -o " + dir + "out.exe --player " + dir + "not.exe", 1, "not a Windows executable"},
        {"dump " + dir + "not.exe -o " + dir + "d", 1, "not a Windows executable"},
        {"dump --quiz " + dir + "bad.toml", 1, "neither plain nor unscrambled"},
        {"png " + dir + "bad.toml -o " + dir + "x.bmp", 1, "0x2000"},
        {"png " + FLAGS + "suisse.png -o " + dir + "x.bmp", 0, ""},
    };
    for (const Case& c : cases) {
        int code = 0;
        std::string out = run(c.args, &code);
        EXPECT_EQ(c.code, code) << c.args << "\n" << out;
        EXPECT_NE(std::string::npos, last_line(out).find(c.last)) << c.args << "\nlast line: " << last_line(out);
    }
    EXPECT_FALSE(fs::exists(dir + "out.exe")) << "a failed build left a file";
    EXPECT_FALSE(fs::exists(dir + "out.exe.vorlo-pack-tmp"));
}

TEST_F(PackFolder, CommandLineBuildAndDump)
{
    if (!fs::exists(VORLO_PLAYER_WIN32))
        GTEST_SKIP() << VORLO_PLAYER_WIN32 << " is not built";
    int code = 0;
    std::string out = run("build " + FLAGS + "drapeaux.toml -o " + dir + "flags.exe --scramble", &code);
    ASSERT_EQ(0, code) << out;
    out = run("dump " + dir + "flags.exe -o " + dir + "dump", &code);
    ASSERT_EQ(0, code) << out;
    EXPECT_NE(std::string::npos, out.find("--scramble")) << out;
    EXPECT_TRUE(fs::exists(dir + "dump/flags.toml"));
    EXPECT_TRUE(read_bytes(dir + "dump/question-05.png") == read_bytes(FLAGS + "irlande.png"));
    EXPECT_TRUE(read_bytes(dir + "dump/solution-01.jpg") == read_bytes(FLAGS + "solution-france.jpg"));
    out = run("build " + dir + "dump/flags.toml -o " + dir + "again.exe --scramble", &code);
    ASSERT_EQ(0, code) << out;
    EXPECT_TRUE(read_bytes(dir + "flags.exe") == read_bytes(dir + "again.exe"));
}

}  // namespace
