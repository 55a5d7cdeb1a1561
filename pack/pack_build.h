// Building a quiz executable: the checked source, its resources, and the player they go into.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pack/pe_resources.h"
#include "pack/quiz_source.h"

enum : size_t {
    PACK_MAX_RESOURCE = 65534,   // every player reads a quiz stream below 64 KiB
};

// Exit codes of the tool's commands.
enum { PACK_EXIT_OK = 0, PACK_EXIT_INVALID = 1, PACK_EXIT_USAGE = 2 };

// The two compressed streams: PATCH/104 and PATCH/105.
struct PackStreams {
    std::vector<uint8_t> quiz;
    std::vector<uint8_t> codes;
};

// Reads the source and checks all the player needs beyond its syntax: media files readable and
// of a form the player shows or plays (PNG decoded by the player's own decoder), the icon, and
// the compressed size. Every problem is appended to *errors as "FILE:LINE: message".
QuizSourceFile pack_check_source(const std::string& path, std::vector<std::string>* errors);

// Compresses (and scrambles) the quiz. A quiz without codes gets one empty code per question,
// since the player complains about a missing codes resource.
PackStreams pack_compress(const QuizSource& quiz, bool scramble);

// Replaces the quiz resources in the list (an earlier quiz's are removed first): the two
// streams, pictures or media and solution pictures, and the icon when the source names one.
// The source must have passed pack_check_source. False with *error when a file cannot be read.
bool pack_put_quiz(std::vector<PeResource>* resources, const QuizSourceFile& source, bool scramble,
                   std::string* error);

// Removes every resource a quiz brings: PATCH, IMG, and the RT_RCDATA pictures.
void pack_remove_quiz(std::vector<PeResource>* resources);

// The build command. Messages (errors) are appended to *messages. Returns a PACK_EXIT_ code.
int pack_build(const std::string& source_path, const std::string& player_path, const std::string& output_path,
               bool scramble, std::vector<std::string>* messages);

// Reads and parses an executable and its resources; false with *error on failure.
bool pack_read_exe(const std::string& path, PeImage* image, std::vector<PeResource>* resources, std::string* error);
