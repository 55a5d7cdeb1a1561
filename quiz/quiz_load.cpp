// The resource side of loading: finds the streams, decodes them and reports failures.
#include "quiz/quiz_load.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/message.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"

namespace {

const char LOAD_CAPTION[] = "Vorlo";
const WORD QUIZ_RESOURCE_ID = 104;
const WORD CODES_RESOURCE_ID = 105;

// Decoded bytes: the buffer the decoder allocated and how many bytes it produced.
struct Decoded {
    uint8_t* data = nullptr;
    int32_t size = 0;
    int status = LZW_NO_FIRST_CODE;
};

Decoded decode_stream(const uint8_t* bytes, size_t size)
{
    Decoded d;
    int32_t out_len = 0;
    // An empty stream (a missing resource) fails like one that does not decode.
    d.status = lzw_decode(bytes, (int32_t)size, &d.data, &out_len);
    d.size = d.data ? out_len - 2 : 0;
    return d;
}

void release(Decoded& d)
{
    std::free(d.data);
    d = Decoded();
}

// A copy of the resource's bytes: unscrambling works on it, so the resource section is never
// written. An absent resource gives an empty copy.
std::vector<uint8_t> resource_bytes(WORD id)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "PATCH");
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const uint8_t* bytes = loaded ? (const uint8_t*)LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return std::vector<uint8_t>(bytes, bytes + size);
}

void load_test_quiz(Quiz* quiz)
{
    std::strcpy(quiz->title, "Nom du vorlo");
    std::strcpy(quiz->author, "Createur vorlo");
    std::strcpy(quiz->explanation, "Explications du vorlo");
    std::strcpy(quiz->answer_label_1, "TEST");
    std::strcpy(quiz->answer_label_2, "TEST");
    quiz->media_kind = MEDIA_PICTURES;
    quiz->question_count = 7;
    quiz->answers_per_question = 2;
    quiz->extra_kind = EXTRA_PICTURE_AND_LABEL;
    quiz->colour_red = 51;
    quiz->colour_green = 102;
    quiz->colour_blue = 255;
    DeleteObject(quiz->background_brush);
    quiz->background_brush = CreateSolidBrush(RGB(51, 102, 255));
    quiz_add_question(quiz, "TEST", "TEST", "emplacement");
    quiz_add_question(quiz, "TEST", "TEST", "emplacement");
}

// Decodes the quiz as stored, else unscrambled. Reports whether it had to unscramble.
Decoded decode_quiz(std::vector<uint8_t>& bytes, bool* scrambled)
{
    *scrambled = false;
    Decoded d = decode_stream(bytes.data(), bytes.size());
    if (d.status == LZW_OK)
        return d;
    release(d);
    quiz_scramble(bytes.data(), bytes.size());
    *scrambled = true;
    return decode_stream(bytes.data(), bytes.size());
}

void load_codes(Quiz* quiz, bool scrambled)
{
    std::vector<uint8_t> bytes = resource_bytes(CODES_RESOURCE_ID);
    if (scrambled)
        quiz_scramble(bytes.data(), bytes.size());
    Decoded codes = decode_stream(bytes.data(), bytes.size());
    if (codes.status != LZW_OK)
        show_message("Erreur dans le d\xE9" "cryptage des codes", LOAD_CAPTION);
    else
        quiz_parse_codes(quiz, codes.data, codes.size);
    release(codes);
}

// A stream that does not decode leaves the quiz without questions, and says so.
void fail_without_questions(Quiz* quiz, Decoded& failed, const char* message)
{
    release(failed);
    show_message(message, LOAD_CAPTION);
    quiz->question_count = 0;
}

}  // namespace

void quiz_load(Quiz* quiz)
{
    Decoded header = decode_stream(QUIZ_HEADER_BLOCK, sizeof QUIZ_HEADER_BLOCK);
    if (header.status != LZW_OK) {
        fail_without_questions(quiz, header, "Erreur dans le d\xE9" "cryptage");
        return;
    }
    quiz_parse_header_block(quiz, header.data, header.size);
    release(header);

    std::vector<uint8_t> bytes = resource_bytes(QUIZ_RESOURCE_ID);
    if (bytes.empty()) {
        show_message(QUIZ_SCRAMBLE_KEY, LOAD_CAPTION);
        load_test_quiz(quiz);
        return;
    }
    bool scrambled = false;
    Decoded content = decode_quiz(bytes, &scrambled);
    if (content.status != LZW_OK) {
        fail_without_questions(quiz, content, "Erreur dans le d\xE9" "cryptage des reponses");
        return;
    }
    quiz_parse_content(quiz, content.data, content.size);
    release(content);
    DeleteObject(quiz->background_brush);
    quiz->background_brush = CreateSolidBrush(RGB(quiz->colour_red, quiz->colour_green, quiz->colour_blue));

    load_codes(quiz, scrambled);
}
