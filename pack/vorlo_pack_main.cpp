// vorlo-pack: builds quiz executables from quiz source files, checks sources, reads quizzes back,
// and shows how the player judges answers and decodes PNG pictures.
// Exit codes: 0 done, 1 invalid input (every problem printed), 2 wrong command line.
#define TOML_HEADER_ONLY 1
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "pack/cp1252.h"
#include "pack/pack_build.h"
#include "pack/pack_dump.h"
#include "pack/pack_files.h"
#include "pack/pack_media.h"
#include "pack/pack_try.h"

#ifndef VORLO_PACK_VERSION
#define VORLO_PACK_VERSION "0.1"
#endif

namespace {

// Prints one line of UTF-8 text: as UTF-16 to a Windows console, whose code page is seldom
// UTF-8; as the bytes themselves everywhere else.
void print_line(FILE* stream, const std::string& utf8)
{
#ifdef _WIN32
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        std::wstring wide(utf8.size() + 1, L'\0');
        int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), (int)utf8.size(), &wide[0], (int)wide.size());
        wide.resize(n > 0 ? (size_t)n : 0);
        wide += L"\r\n";
        DWORD written = 0;
        WriteConsoleW(handle, wide.c_str(), (DWORD)wide.size(), &written, nullptr);
        return;
    }
#endif
    std::fprintf(stream, "%s\n", utf8.c_str());
}

void print_all(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        print_line(stderr, line);
}

int fail(const std::string& message)
{
    print_line(stderr, "vorlo-pack: " + message);
    return PACK_EXIT_INVALID;
}

// The folder of this program, for the player shipped beside it.
std::string own_folder(const char* argv0)
{
    std::error_code ec;
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::filesystem::path self = n > 0 && n < MAX_PATH ? std::filesystem::path(path) : std::filesystem::path(argv0);
#else
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = argv0;
#endif
    return self.parent_path().string();
}

std::string default_player(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path beside = std::filesystem::path(own_folder(argv0)) / "vorlo.exe";
    if (std::filesystem::exists(beside, ec))
        return beside.string();
#ifdef VORLO_PACK_DEFAULT_PLAYER
    return VORLO_PACK_DEFAULT_PLAYER;
#else
    return beside.string();
#endif
}

// Command-line text in the player's encoding: UTF-8 converted on Linux; on Windows the
// arguments already come in the ANSI code page.
bool to_player_text(const std::string& arg, std::string* out)
{
#ifdef _WIN32
    *out = arg;
    return true;
#else
    unsigned long bad = 0;
    return utf8_to_cp1252(arg, out, &bad);
#endif
}

// Player text for print_line, which takes UTF-8 everywhere.
std::string to_output_text(const std::string& cp1252) { return cp1252_to_utf8(cp1252); }

struct Options {
    std::string source, output, player, exe, quiz_file, codes_file, answer, typed, png_in;
    bool scramble = false;
};

int run_build(const Options& o, const char* argv0)
{
    std::string player = o.player.empty() ? default_player(argv0) : o.player;
    std::vector<std::string> messages;
    int code = pack_build(o.source, player, o.output, o.scramble, &messages);
    print_all(messages);
    if (code == PACK_EXIT_OK)
        print_line(stdout, "vorlo-pack: wrote " + o.output + " (player " + player + ")");
    return code;
}

int run_check(const Options& o)
{
    std::vector<std::string> errors;
    pack_check_source(o.source, &errors);
    print_all(errors);
    if (!errors.empty())
        return PACK_EXIT_INVALID;
    print_line(stdout, o.source + ": ok");
    return PACK_EXIT_OK;
}

int run_dump(const Options& o)
{
    PackDump dump;
    std::string error, folder = o.output, name = "quiz";
    if (!o.exe.empty()) {
        PeImage image;
        std::vector<PeResource> resources;
        if (!pack_read_exe(o.exe, &image, &resources, &error) || !pack_dump_resources(resources, &dump, &error))
            return fail(error.find(o.exe) == 0 ? error : o.exe + ": " + error);
        name = std::filesystem::path(o.exe).stem().string();
        if (folder.empty())
            folder = name;
    } else {
        std::vector<uint8_t> quiz, codes;
        if (!pack_read_file(o.quiz_file, &quiz))
            return fail(o.quiz_file + ": cannot read the file");
        if (!o.codes_file.empty() && !pack_read_file(o.codes_file, &codes))
            return fail(o.codes_file + ": cannot read the file");
        if (!pack_dump_streams(quiz, o.codes_file.empty() ? nullptr : &codes, &dump, &error))
            return fail(o.quiz_file + ": " + error);
    }
    for (const std::string& note : dump.notes)
        print_line(stderr, "vorlo-pack: note: " + note);
    if (dump.scrambled)
        print_line(stderr, "vorlo-pack: note: the quiz was scrambled; build it again with --scramble");
    if (folder.empty()) {
        std::string text = pack_source_text(dump);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return PACK_EXIT_OK;
    }
    if (!pack_write_dump(dump, folder, name, &error))
        return fail(error);
    print_line(stdout, "vorlo-pack: wrote " + folder + "/" + name + ".toml and " + std::to_string(dump.files.size()) +
                           " media file(s)");
    return PACK_EXIT_OK;
}

int run_try(const Options& o)
{
    std::string answer, typed;
    if (!to_player_text(o.answer, &answer))
        return fail("the answer holds a character that Windows-1252 cannot hold");
    if (!to_player_text(o.typed, &typed))
        return fail("the typed text holds a character that Windows-1252 cannot hold");
    PackTry t = pack_try(answer, typed);
    print_line(stdout, "answer: " + to_output_text(t.answer));
    print_line(stdout, "typed:  " + to_output_text(t.typed));
    print_line(stdout, to_output_text(t.verdict));
    return PACK_EXIT_OK;
}

int run_png(const Options& o)
{
    std::vector<uint8_t> png, bmp;
    if (!pack_read_file(o.png_in, &png))
        return fail(o.png_in + ": cannot read the file");
    int32_t code = pack_png_to_bmp(png, &bmp);
    if (code != 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", (unsigned)code);
        return fail(o.png_in + ": decoder error " + hex + ": " + pack_png_error_text(code));
    }
    std::string error;
    if (!pack_write_file(o.output, bmp, &error))
        return fail(error);
    return PACK_EXIT_OK;
}

int run_command_line(int argc, char** argv)
{
    CLI::App app{"vorlo-pack: makes Vorlo quiz executables from quiz source files", "vorlo-pack"};
    app.set_version_flag("--version", "vorlo-pack " VORLO_PACK_VERSION);
    app.require_subcommand(1);
    // Paths like /tmp/quiz.toml are arguments, also on Windows (and under Wine).
    app.allow_windows_style_options(false);
    Options o;

    CLI::App* build = app.add_subcommand("build", "build a quiz executable from a quiz source file");
    build->add_option("SOURCE", o.source, "quiz source file (.toml)")->required();
    build->add_option("-o,--output", o.output, "quiz executable to write")->required();
    build->add_flag("--scramble", o.scramble, "store the quiz resources scrambled");
    build->add_option("--player", o.player, "player executable to copy (default: vorlo.exe beside this tool)");

    CLI::App* check = app.add_subcommand("check", "check a quiz source file without writing anything");
    check->add_option("SOURCE", o.source, "quiz source file (.toml)")->required();

    CLI::App* dump = app.add_subcommand("dump", "read a quiz back into a source file and its media files");
    CLI::Option* exe = dump->add_option("EXE", o.exe, "quiz executable");
    CLI::Option* quiz = dump->add_option("--quiz", o.quiz_file, "raw bytes of the quiz resource (PATCH/104)");
    dump->add_option("--codes", o.codes_file, "raw bytes of the codes resource (PATCH/105)")->needs(quiz);
    dump->add_option("-o,--output", o.output,
                     "folder to write (default: the executable's name; with --quiz the source goes to stdout)");
    exe->excludes(quiz);

    CLI::App* try_cmd = app.add_subcommand("try", "show the verdict the player gives to a typed answer");
    try_cmd->add_option("ANSWER", o.answer, "accepted answer")->required();
    try_cmd->add_option("TYPED", o.typed, "what the player types")->required();

    CLI::App* png = app.add_subcommand("png", "decode a PNG file with the player's decoder into a BMP file");
    png->add_option("IN", o.png_in, "PNG file")->required();
    png->add_option("-o,--output", o.output, "BMP file to write")->required();

    try {
        app.parse(argc, argv);
        if (dump->parsed() && o.exe.empty() && o.quiz_file.empty())
            throw CLI::RequiredError("dump needs EXE or --quiz FILE");
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? PACK_EXIT_OK : PACK_EXIT_USAGE;
    }
    if (build->parsed())
        return run_build(o, argv[0]);
    if (check->parsed())
        return run_check(o);
    if (dump->parsed())
        return run_dump(o);
    if (try_cmd->parsed())
        return run_try(o);
    return run_png(o);
}

}  // namespace

int main(int argc, char** argv)
{
    // Memory is the one thing that can run out under any command; report it like other input.
    try {
        return run_command_line(argc, argv);
    } catch (const std::exception& e) {
        print_line(stderr, std::string("vorlo-pack: ") + e.what());
        return PACK_EXIT_INVALID;
    }
}
