// A quiz built by vorlo-pack loads in the executable it was built into. This test program is its
// own player: the parent test builds each demo quiz into a copy of this very executable (the
// build command's code, with this file as the player) and runs the copy, whose child test loads
// the quiz from its own resources with the player's loader and compares it with the source.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pack/pack_build.h"
#include "pack/pack_files.h"
#include "pack/pack_media.h"
#include "picture/picture.h"
#include "quiz/quiz_load.h"
#include "tests/support/message_recorder.h"

namespace {

const char SOURCE_VARIABLE[] = "VORLO_SELF_LOAD_SOURCE";

std::string own_path()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

struct Demo {
    const char* name;
    const char* source;
    bool scramble;
};

const Demo DEMOS[] = {
    {"text_scrambled", VORLO_SOURCE_DIR "/examples/capitales/capitales.toml", true},
    {"pictures", VORLO_SOURCE_DIR "/examples/drapeaux/drapeaux.toml", false},
    {"sounds", VORLO_SOURCE_DIR "/examples/sons/sons.toml", false},
};

// Runs the copy's child test with the source named in its environment; returns its exit code.
DWORD run_child(const std::string& exe, const std::string& source)
{
    SetEnvironmentVariableA(SOURCE_VARIABLE, source.c_str());
    std::string command = "\"" + exe + "\" --gtest_filter=SelfLoadChild.*";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(SOURCE_VARIABLE, nullptr);
    if (!started)
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0xFFFFFFFE;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(PackSelfLoad, EachDemoBuiltIntoThisExecutableLoadsThere)
{
    for (const Demo& d : DEMOS) {
        std::string exe = ::testing::TempDir() + "self_load_" + std::to_string(GetCurrentProcessId()) + d.name + ".exe";
        std::vector<std::string> messages;
        ASSERT_EQ(PACK_EXIT_OK, pack_build(d.source, own_path(), exe, d.scramble, &messages))
            << d.name << ": " << (messages.empty() ? "" : messages[0]);
        EXPECT_EQ(0u, run_child(exe, d.source)) << d.name << ": the built copy's own test failed (its output is above)";
        DeleteFileA(exe.c_str());
    }
}

// --- in the built copy --------------------------------------------------------------------------

std::string child_source()
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(SOURCE_VARIABLE, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : "";
}

TEST(SelfLoadChild, LoadsTheQuizOfItsSource)
{
    std::string path = child_source();
    if (path.empty())
        GTEST_SKIP() << "runs in a copy built by PackSelfLoad";
    std::vector<std::string> errors;
    QuizSourceFile source = pack_check_source(path, &errors);
    ASSERT_TRUE(errors.empty()) << errors[0];
    const QuizSource& want = source.quiz;

    std::unique_ptr<Quiz> quiz(new Quiz());
    clear_recorded_messages();
    quiz_init(quiz.get());
    quiz_load(quiz.get());
    for (const RecordedMessage& m : recorded_messages())
        ADD_FAILURE() << "message shown: " << m.text;
    EXPECT_EQ(want.title, quiz->title);
    EXPECT_EQ(want.author, quiz->author);
    EXPECT_EQ(want.explanation, quiz->explanation);
    EXPECT_EQ(want.media_kind, quiz->media_kind);
    EXPECT_EQ(want.extra_kind, quiz->extra_kind);
    EXPECT_EQ(want.answers_per_question, quiz->answers_per_question);
    EXPECT_EQ(want.red, quiz->colour_red);
    EXPECT_EQ(want.green, quiz->colour_green);
    EXPECT_EQ(want.blue, quiz->colour_blue);
    ASSERT_EQ((int)want.questions.size(), quiz->question_count);
    for (int q = 1; q <= quiz->question_count; ++q) {
        const Question* got = question_at(quiz.get(), q);
        const QuizSourceQuestion& w = want.questions[(size_t)q - 1];
        EXPECT_EQ(w.answer_1, got->answer_1) << "question " << q;
        EXPECT_EQ(w.text, got->text) << "question " << q;
        EXPECT_EQ(w.extra, got->extra) << "question " << q;
        EXPECT_EQ(q <= (int)want.codes.size() ? want.codes[(size_t)q - 1] : "", quiz->codes[q - 1]) << "code " << q;
    }
    quiz_release(quiz.get());
}

// The bytes of each media file as the loader finds them: PNG as RT_RCDATA, the rest as IMG,
// solution pictures other than PNG with their halves exchanged.
std::vector<uint8_t> resource_bytes(int id, bool* png)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "IMG");
    *png = found == nullptr;
    if (!found)
        found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (!found)
        return {};
    const uint8_t* data = (const uint8_t*)LockResource(LoadResource(nullptr, found));
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

TEST(SelfLoadChild, HoldsEveryMediaFileOfItsSource)
{
    std::string path = child_source();
    if (path.empty())
        GTEST_SKIP() << "runs in a copy built by PackSelfLoad";
    std::vector<std::string> errors;
    QuizSourceFile source = pack_check_source(path, &errors);
    ASSERT_TRUE(errors.empty()) << errors[0];
    for (size_t i = 0; i < source.media.size(); ++i) {
        int q = (int)i + 1;
        struct Media {
            const std::string& file;
            int id;
        };
        for (const Media& m : {Media{source.media[i].media, 400 + q}, Media{source.media[i].solution, 10400 + q}}) {
            if (m.file.empty())
                continue;
            std::vector<uint8_t> want;
            ASSERT_TRUE(pack_read_file(m.file, &want)) << m.file;
            bool png = false;
            std::vector<uint8_t> got = resource_bytes(m.id, &png);
            EXPECT_EQ(pack_file_kind(want) == PACK_FILE_PNG, png) << m.file;
            if (m.id > 10400 && !png)
                pack_exchange_nibbles(&got);
            EXPECT_TRUE(want == got) << m.id << " " << m.file << ": " << got.size() << " bytes";
        }
    }
}

TEST(SelfLoadChild, ShowsEveryPictureOfItsSource)
{
    std::string path = child_source();
    if (path.empty())
        GTEST_SKIP() << "runs in a copy built by PackSelfLoad";
    std::vector<std::string> errors;
    QuizSourceFile source = pack_check_source(path, &errors);
    ASSERT_TRUE(errors.empty()) << errors[0];
    if (source.quiz.media_kind != MEDIA_PICTURES)
        return;
    clear_recorded_messages();
    for (size_t i = 0; i < source.media.size(); ++i) {
        int q = (int)i + 1;
        struct Picture {
            const std::string& file;
            int id;
        };
        for (const Picture& p : {Picture{source.media[i].media, 400 + q}, Picture{source.media[i].solution, 10400 + q}}) {
            if (p.file.empty())
                continue;
            HBITMAP bitmap = load_picture(GetModuleHandleA(nullptr), p.id, "IMG", PICTURE_BOX_SIZE, PICTURE_BOX_SIZE);
            EXPECT_NE(nullptr, bitmap) << p.id << " " << p.file;
            BITMAP info{};
            if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
                EXPECT_TRUE(info.bmWidth == PICTURE_BOX_SIZE || info.bmHeight == PICTURE_BOX_SIZE)
                    << p.file << " fitted to " << info.bmWidth << " x " << info.bmHeight;
            }
            DeleteObject(bitmap);
        }
    }
    for (const RecordedMessage& m : recorded_messages())
        ADD_FAILURE() << "message shown: " << m.text;
}

}  // namespace
