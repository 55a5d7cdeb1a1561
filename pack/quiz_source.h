// Reading a quiz source file (TOML, UTF-8) into the description the resources are made from.
#pragma once
#include <string>
#include <vector>

#include "pack/quiz_serialize.h"

// Media files a question refers to, as paths resolved against the source file's folder.
struct QuizSourceMedia {
    std::string media;      // picture, sound or video of the question; empty for none
    std::string solution;   // solution picture; empty for none
    int media_line = 0;     // lines of the keys in the source, for messages about the files
    int solution_line = 0;
    int question_line = 0;  // line of the question's table
};

struct QuizSourceFile {
    QuizSource quiz;                       // texts already in Windows-1252
    std::vector<QuizSourceMedia> media;    // one entry per question
    std::string icon;                      // icon file (.ico) of the executable; empty for the player's
    int icon_line = 0;
};

// Parses the source at path. Every problem found is appended to *errors as "FILE:LINE: message";
// the result is usable only when *errors is empty.
QuizSourceFile quiz_source_read(const std::string& path, std::vector<std::string>* errors);
