// The answers file on the real file system (under wine64): its name, reading, and a save that
// never loses the last good file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "quiz/answers_file.h"

namespace {

// Each test writes its answers file in a folder of its own: the tests of this file run as
// separate processes side by side, and the file's name is the same for all of them.
struct AnswersFolder : ::testing::Test {
    char previous[MAX_PATH] = "";
    std::string folder;
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof previous, previous);
        folder = std::string("answers_test.") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(previous);
        RemoveDirectoryA(folder.c_str());
    }
};

std::string read_file(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const char* name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

TEST(AnswersFile, NameIsTheExecutableWithTxt)
{
    struct { const char* path; const char* want; } cases[] = {
        {"C:\\jeux\\sample.exe", "sample.txt"},
        {"C:\\jeux\\quiz.v2.exe", "quiz.v2.txt"},
        {"C:\\jeux.d\\noextension", "noextension.txt"},
        {"plain.exe", "plain.txt"},
        {"C:\\jeux\\trailingdot.", "trailingdot.txt"},
    };
    for (const auto& c : cases) {
        char name[ANSWERS_NAME_SIZE];
        answers_name_from_path(c.path, name);
        EXPECT_STREQ(c.want, name) << c.path;
    }
    char name[ANSWERS_NAME_SIZE];
    answers_file_name(name);
    EXPECT_STREQ("answers_file_test.txt", name);
}

TEST(AnswersFile, ReadingTakesAtMost100CharactersALine)
{
    std::string long_line(150, 'x');
    struct { std::string data; std::vector<std::string> want; } cases[] = {
        {"Paris\r\n\r\nRome\r\n", {"Paris", "", "Rome", ""}},
        {long_line + "\r\nnext\r\n", {std::string(100, 'x'), "next"}},
        {"a\nb\nc\n", {"a\nb\nc\n"}},   // LF alone does not end a line's text
        {"\xC9t\xE9\r\n", {"\xC9t\xE9"}},
        {"", {"", ""}},
    };
    for (const auto& c : cases) {
        uint32_t pos = 0;
        for (const std::string& want : c.want) {
            char text[SAVED_ANSWER_MAX + 1];
            saved_answer_from((const uint8_t*)c.data.data(), (uint32_t)c.data.size(), &pos, text);
            EXPECT_EQ(want, text) << "data '" << c.data << "'";
        }
    }
}

// A panel stand-in: a window with answer boxes 4001.. as the save reads them.
struct Panel {
    HWND window = CreateWindowExA(0, "Static", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::unique_ptr<Quiz> quiz{new Quiz()};
    explicit Panel(std::initializer_list<const char*> texts)
    {
        int id = 4001;
        for (const char* t : texts)
            CreateWindowExA(0, "Edit", t, WS_CHILD, 0, 0, 10, 10, window, (HMENU)(INT_PTR)id++, nullptr, nullptr);
        quiz->panel_window = window;
        quiz->answers_per_question = 1;
        quiz->question_count = (int)texts.size();
    }
    ~Panel() { DestroyWindow(window); }
};

TEST_F(AnswersFolder, SaveWritesOneLinePerBoxAndReplacesTheFile)
{
    char name[ANSWERS_NAME_SIZE];
    answers_file_name(name);
    write_file(name, "old\r\n");
    Panel panel({"Paris", "", "\xC9t\xE9"});
    panel.quiz->answers_per_question = 2;   // six lines: boxes 4004..4006 do not exist
    panel.quiz->question_count = 3;
    save_answers(panel.quiz.get());
    EXPECT_EQ("Paris\r\n\r\n\xC9t\xE9\r\n\r\n\r\n\r\n", read_file(name));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((std::string(name) + ".new").c_str()))
        << "the temporary file is left behind";
    DeleteFileA(name);
}

TEST_F(AnswersFolder, ABoxIsSavedCutTo259Characters)
{
    char name[ANSWERS_NAME_SIZE];
    answers_file_name(name);
    std::string long_text(300, 'y');
    Panel panel({long_text.c_str()});
    save_answers(panel.quiz.get());
    EXPECT_EQ(std::string(259, 'y') + "\r\n", read_file(name));
    DeleteFileA(name);
}

TEST_F(AnswersFolder, AFailedSaveKeepsTheLastGoodFile)
{
    char name[ANSWERS_NAME_SIZE];
    answers_file_name(name);
    write_file(name, "last good\r\n");
    std::string temp = std::string(name) + ".new";
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr)) << "cannot block the temporary file";
    Panel panel({"new answer"});
    save_answers(panel.quiz.get());
    EXPECT_EQ("last good\r\n", read_file(name));
    RemoveDirectoryA(temp.c_str());
    DeleteFileA(name);
}

}  // namespace
