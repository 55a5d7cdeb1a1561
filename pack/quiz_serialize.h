// A quiz as its author describes it, and its decoded resource content (before compression).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct QuizSourceQuestion {
    std::string answer_1;
    std::string answer_2;     // written only for two answers per question
    std::string text;
    std::string extra;        // extra kinds 1 to 4
    std::string extra_2;      // extra kind 3 only: stored, never read by the player
};

struct QuizSource {
    int media_kind = 0;             // 0 text, 1 pictures, 2 audio, 3 video
    int answers_per_question = 1;   // 1 or 2
    std::string title, author, explanation, answer_label_1, answer_label_2;
    std::vector<QuizSourceQuestion> questions;
    int extra_kind = 0;
    uint8_t red = 90, green = 95, blue = 150;
    std::vector<std::string> codes;  // line k: the code shown while k questions are solved
};

// The quiz stream's content (resource PATCH/104 before compression). Texts are Windows-1252.
std::vector<uint8_t> quiz_serialize_content(const QuizSource& quiz);
// The codes stream's content (resource PATCH/105 before compression): one CR LF line each.
std::vector<uint8_t> quiz_serialize_codes(const QuizSource& quiz);
