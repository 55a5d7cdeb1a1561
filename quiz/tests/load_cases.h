// The quiz resources the loader is tested on: each case becomes a small test executable that
// carries the case's resources, made by the load_fixtures host tool from this same table.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pack/quiz_serialize.h"

enum class ResourceForm {
    PLAIN,        // compressed stream as is
    SCRAMBLED,    // compressed, then scrambled with the key
    MISSING,      // no such resource
    GARBAGE,      // bytes that decode neither plain nor unscrambled
};

struct LoadCase {
    std::string name;
    QuizSource source;                 // what is encoded
    ResourceForm quiz_form = ResourceForm::PLAIN;
    ResourceForm codes_form = ResourceForm::PLAIN;
    int declared_count = -1;           // >= 0: question count byte written instead of the real one
    int cut_content_to = -1;           // >= 0: decoded quiz content cut to this many bytes
    QuizSource expected;               // what the loader must give back
    std::vector<std::string> messages; // message texts in order, all with caption "Vorlo"
};

std::vector<LoadCase> load_cases();
const LoadCase* find_load_case(const std::string& name);

// The two resources as stored in the executable (empty for MISSING).
std::vector<uint8_t> load_case_quiz_resource(const LoadCase& c);
std::vector<uint8_t> load_case_codes_resource(const LoadCase& c);
