#include "preflight.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zevdt {

std::string WhyNotWritable(const std::string& path) {
    bool existed = false;
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        existed = true;
        std::fclose(probe);
    }
    // Append: an existing file keeps its content until the report replaces it.
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file)
        return std::strerror(errno ? errno : EACCES);
    std::fclose(file);
    if (!existed)
        std::remove(path.c_str());
    return std::string();
}

std::string WhyNotReadable(const std::string& path) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::strerror(errno ? errno : EACCES);
    // A folder opens on some systems and fails only when read.
    std::fgetc(file);
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    return error ? std::strerror(error) : std::string();
}

}  // namespace zevdt
