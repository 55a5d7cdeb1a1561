#include "pack/pack_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

bool replace_file(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool pack_read_file(const std::string& path, std::vector<uint8_t>* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool pack_write_file(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
    std::string temporary = path + ".vorlo-pack-tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            *error = "cannot create " + temporary + ": " + std::strerror(errno);
            return false;
        }
        out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            *error = "cannot write " + temporary;
            return false;
        }
    }
    if (!replace_file(temporary, path)) {
        std::remove(temporary.c_str());
        *error = "cannot replace " + path;
        return false;
    }
    return true;
}

bool pack_make_folder(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}
