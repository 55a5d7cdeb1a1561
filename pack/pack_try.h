// The verdict the player gives to a typed answer, for authors trying their answers.
#pragma once
#include <string>

struct PackTry {
    std::string answer;    // normalised, Windows-1252
    std::string typed;     // normalised, Windows-1252
    std::string verdict;   // Windows-1252
};

// Both texts in Windows-1252, as the player holds them: cut to what its buffers keep, normalised
// and judged by the player's own code.
PackTry pack_try(const std::string& answer, const std::string& typed);
