// Host tool: writes, for every loader case, its two resources and a resource script naming
// them. Usage: load_fixtures OUTDIR
#include <cstdio>
#include <string>

#include "quiz/tests/load_cases.h"

static bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

static std::string resource_script(const std::string& dir, const LoadCase& c, bool has_quiz, bool has_codes)
{
    std::string rc = "LANGUAGE 9, 1\nCASE LOADCASE { \"" + c.name + "\" }\n";
    if (has_quiz)
        rc += "104 PATCH \"" + dir + "/" + c.name + ".104.bin\"\n";
    if (has_codes)
        rc += "105 PATCH \"" + dir + "/" + c.name + ".105.bin\"\n";
    return rc;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_fixtures OUTDIR\n");
        return 2;
    }
    std::string dir = argv[1];
    for (const LoadCase& c : load_cases()) {
        std::vector<uint8_t> quiz = load_case_quiz_resource(c);
        std::vector<uint8_t> codes = load_case_codes_resource(c);
        std::string rc = resource_script(dir, c, !quiz.empty(), !codes.empty());
        bool ok = (quiz.empty() || write_file(dir + "/" + c.name + ".104.bin", quiz)) &&
                  (codes.empty() || write_file(dir + "/" + c.name + ".105.bin", codes)) &&
                  write_file(dir + "/" + c.name + ".rc", std::vector<uint8_t>(rc.begin(), rc.end()));
        if (!ok) {
            std::fprintf(stderr, "load_fixtures: cannot write case %s in %s\n", c.name.c_str(), dir.c_str());
            return 1;
        }
    }
    return 0;
}
