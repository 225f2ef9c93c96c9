// Walking a folder tree for a disk.
#include "collection/walk.h"

#include "collection/fold.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace collection {

namespace {

struct Walk {
    std::vector<FoundFile> files;
    std::vector<std::string>& notes;
    std::set<std::pair<dev_t, ino_t>> entered;
};

FileStamp stampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void walkInto(Walk& w, const std::string& path, const std::string& relative, int depth) {
    DIR* dir = opendir(path.c_str());
    if (!dir) {
        w.notes.push_back(printableName(path) + ": cannot read this folder (" +
                          std::strerror(errno) + "); its modules are left out");
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = readdir(dir))
        if (e->d_name[0] != '.') names.emplace_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return compareNatural(a, b) < 0; });
    std::vector<std::pair<std::string, struct stat>> folders;
    for (const std::string& name : names) {
        const std::string full = joined(path, name);
        struct stat st {};
        if (stat(full.c_str(), &st) != 0) continue; // a link to nothing, or gone meanwhile
        if (S_ISREG(st.st_mode))
            w.files.push_back({full, relative, name, stampOf(st)});
        else if (S_ISDIR(st.st_mode))
            folders.emplace_back(name, st);
    }
    for (const auto& [name, st] : folders) {
        const std::string full = joined(path, name);
        if (!w.entered.insert({st.st_dev, st.st_ino}).second) continue; // a loop, or seen
        if (depth + 1 > FOLDER_DEPTH_LIMIT) {
            w.notes.push_back(printableName(full) + ": folders deeper than " +
                              std::to_string(FOLDER_DEPTH_LIMIT) + " levels are left out");
            continue;
        }
        walkInto(w, full, joined(relative, name), depth + 1);
    }
}

} // namespace

int compareNatural(std::string_view a, std::string_view b) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            std::size_t si = i, sj = j;
            while (si < a.size() && a[si] == '0') ++si;
            while (sj < b.size() && b[sj] == '0') ++sj;
            std::size_t ei = si, ej = sj;
            while (ei < a.size() && digit(a[ei])) ++ei;
            while (ej < b.size() && digit(b[ej])) ++ej;
            if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
            if (const int c = a.substr(si, ei - si).compare(b.substr(sj, ej - sj))) return c;
            i = ei;
            j = ej;
            continue;
        }
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[j]));
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    return a.compare(b); // alike but for case or leading zeros: still one order
}

std::vector<FoundFile> walkFolder(const std::string& root, std::vector<std::string>& notes) {
    Walk w{{}, notes, {}};
    struct stat st {};
    if (stat(root.c_str(), &st) == 0) w.entered.insert({st.st_dev, st.st_ino});
    walkInto(w, root, "", 0);
    return std::move(w.files);
}

} // namespace collection
