#include "quiz/answers_file.h"

#include <windows.h>

#include <cstring>

namespace {

const int FIRST_ANSWER_BOX = 4001;

int answer_line_count(const Quiz* quiz) { return quiz->answers_per_question * quiz->question_count; }

bool write_all(HANDLE file, const char* bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

bool write_answer_lines(const Quiz* quiz, HANDLE file)
{
    for (int k = 0; k < answer_line_count(quiz); ++k) {
        char line[QUIZ_TEXT_SIZE + 2] = "";
        HWND box = GetDlgItem(quiz->panel_window, FIRST_ANSWER_BOX + k);
        if (box)
            GetWindowTextA(box, line, QUIZ_TEXT_SIZE);
        std::strcat(line, "\r\n");
        if (!write_all(file, line, (DWORD)std::strlen(line)))
            return false;
    }
    return true;
}

}  // namespace

void answers_file_name(char* name)
{
    char path[ANSWERS_NAME_SIZE] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    path[sizeof path - 1] = 0;
    answers_name_from_path(path, name);
}

void answers_name_from_path(const char* path, char* name)
{
    const char* base = std::strrchr(path, '\\');
    base = base ? base + 1 : path;
    quiz_copy_text(name, ANSWERS_NAME_SIZE, base);
    char* dot = std::strrchr(name, '.');
    if (!dot) {
        dot = name + std::strlen(name);   // no extension: one is appended
        if (dot - name + 1 < ANSWERS_NAME_SIZE)
            *dot = '.';
    }
    if (dot - name + 4 < ANSWERS_NAME_SIZE)
        std::strcpy(dot + 1, "txt");
}

void save_answers(const Quiz* quiz)
{
    char name[ANSWERS_NAME_SIZE];
    answers_file_name(name);
    char temp[ANSWERS_NAME_SIZE + 8];
    std::strcpy(temp, name);
    std::strcat(temp, ".new");
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    bool ok = write_answer_lines(quiz, file);
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (!ok || !MoveFileExA(temp, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileA(temp);
}

void saved_answers_open(SavedAnswers* saved)
{
    std::memset(saved, 0, sizeof *saved);
    char name[ANSWERS_NAME_SIZE];
    answers_file_name(name);
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    saved->file = file;
    DWORD size = GetFileSize(file, nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping || size == INVALID_FILE_SIZE)
        return;   // an empty file cannot be mapped: it has no lines
    saved->mapping = mapping;
    saved->data = (const uint8_t*)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (saved->data)
        saved->size = size;
}

void saved_answer_from(const uint8_t* data, uint32_t size, uint32_t* pos, char* text)
{
    int len = 0;
    while (*pos < size && data[*pos] != '\r' && len < SAVED_ANSWER_MAX)
        text[len++] = (char)data[(*pos)++];
    while (*pos < size && data[*pos] != '\n')
        ++*pos;
    if (*pos < size)
        ++*pos;
    text[len] = 0;
}

void read_saved_answer(SavedAnswers* saved, char* text)
{
    saved_answer_from(saved->data, saved->size, &saved->pos, text);
}

void saved_answers_close(SavedAnswers* saved)
{
    if (saved->data)
        UnmapViewOfFile(saved->data);
    if (saved->mapping)
        CloseHandle(saved->mapping);
    if (saved->file)
        CloseHandle(saved->file);
    std::memset(saved, 0, sizeof *saved);
}
