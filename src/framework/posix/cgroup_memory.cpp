#include "cgroup_memory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <sstream>
#include <vector>

namespace fw {
namespace {

constexpr uint64_t kNone = std::numeric_limits<uint64_t>::max();
// Version 1 writes "no limit" as the largest page-aligned signed value.
constexpr uint64_t kUnlimitedFrom = uint64_t(1) << 62;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// mountinfo writes blanks and backslashes in a path as \ooo.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string digits = text.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The whole of a small file; empty when it cannot be read.
std::string ReadWhole(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
        std::fclose(f);
    }
    return text;
}

// A number from a cgroup file; false for "max", a missing file or no number.
bool ReadBytes(const std::string& path, uint64_t* value) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return false;
    char word[32] = {};
    const bool read = std::fscanf(f, "%31s", word) == 1;
    std::fclose(f);
    if (!read || std::string(word).find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::strtoull(word, nullptr, 10);
    return true;
}

struct Hierarchy {
    bool v2;
    std::string path;  // the process's cgroup in it, from /proc/self/cgroup
};

// Where the hierarchy is mounted, and the process's cgroup folder in it.
bool Locate(const std::string& root, const std::string& mountinfo, const Hierarchy& h, std::string* top,
            std::string* folder) {
    std::istringstream in(mountinfo);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields = Split(line, ' ');
        auto dash = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || dash == fields.end() || fields.end() - dash < 4)
            continue;
        const std::string& type = dash[1];
        if (h.v2 ? type != "cgroup2" : (type != "cgroup" || !Contains(Split(dash[3], ','), "memory")))
            continue;
        // The part of the hierarchy that is mounted, and where.
        const std::string mounted = Unescape(fields[3]), point = Unescape(fields[4]);
        std::string relative;
        if (mounted == "/") {
            relative = h.path;
        } else if (h.path.compare(0, mounted.size(), mounted) == 0 &&
                   (h.path.size() == mounted.size() || h.path[mounted.size()] == '/')) {
            relative = h.path.substr(mounted.size());
        } else {
            continue;  // another part of the hierarchy is mounted here
        }
        *top = root + point;
        *folder = *top + (relative == "/" ? std::string() : relative);
        return true;
    }
    return false;
}

// Limit less usage at each level from the process's cgroup up to the top of
// the mount: a parent's limit binds its children as well.
uint64_t LeftInHierarchy(const std::string& top, std::string folder, bool v2) {
    const char* limitFile = v2 ? "/memory.max" : "/memory.limit_in_bytes";
    const char* usageFile = v2 ? "/memory.current" : "/memory.usage_in_bytes";
    uint64_t left = kNone;
    for (;;) {
        uint64_t limit = 0, usage = 0;
        if (ReadBytes(folder + limitFile, &limit) && limit < kUnlimitedFrom &&
            ReadBytes(folder + usageFile, &usage))
            left = std::min(left, limit > usage ? limit - usage : 0);
        if (folder.size() <= top.size())
            break;
        size_t slash = folder.find_last_of('/');
        if (slash == std::string::npos || slash < top.size())
            break;
        folder.resize(slash);
    }
    return left;
}

// The cgroup folders to read, found from /proc/self/cgroup and mountinfo.
struct Located {
    bool v2;
    std::string top, folder;
};

std::vector<Located> LocateAll(const std::string& root, const std::string& cgroups,
                               const std::string& mountinfo) {
    std::istringstream in(cgroups);
    std::vector<Hierarchy> found;
    std::string line;
    while (std::getline(in, line)) {
        // "id:controllers:path"; version 2 is "0::path".
        size_t first = line.find(':'), second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        if (line.compare(0, first, "0") == 0 && controllers.empty())
            found.push_back({true, path});
        else if (Contains(Split(controllers, ','), "memory"))
            found.push_back({false, path});
    }
    std::vector<Located> located;
    for (const Hierarchy& h : found) {
        Located l{h.v2, {}, {}};
        if (Locate(root, mountinfo, h, &l.top, &l.folder))
            located.push_back(std::move(l));
    }
    return located;
}

// Every delivery asks, and parsing mountinfo cost more than reading the
// limits. The folders found last are kept, with the texts they were found
// from: a process moved to another cgroup, or a changed mount, finds anew.
struct LocateCache {
    std::mutex guard;
    std::string root, cgroups, mountinfo;
    std::vector<Located> located;
};

LocateCache& Cache() {
    static auto* cache = new LocateCache;
    return *cache;
}

}  // namespace

uint64_t CgroupMemoryLeft(const std::string& root) {
    std::string cgroups = ReadWhole(root + "/proc/self/cgroup");
    std::string mountinfo = ReadWhole(root + "/proc/self/mountinfo");
    std::vector<Located> located;
    {
        LocateCache& cache = Cache();
        std::lock_guard<std::mutex> lock(cache.guard);
        if (cache.root == root && cache.cgroups == cgroups && cache.mountinfo == mountinfo) {
            located = cache.located;
        } else {
            located = LocateAll(root, cgroups, mountinfo);
            std::vector<Located> kept = located;
            std::string keptRoot = root;
            // Nothing above can fail once the copies are made.
            cache.root.swap(keptRoot);
            cache.cgroups.swap(cgroups);
            cache.mountinfo.swap(mountinfo);
            cache.located.swap(kept);
        }
    }
    uint64_t left = kNone;
    for (const Located& l : located) left = std::min(left, LeftInHierarchy(l.top, l.folder, l.v2));
    return left;
}

}  // namespace fw
