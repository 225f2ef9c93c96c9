#include "scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace scratch {

Folder::Folder() {
    char name[] = "/tmp/vrk-collection-XXXXXX";
    const char* made = mkdtemp(name);
    EXPECT_NE(made, nullptr);
    root_ = made ? made : "/tmp";
}

Folder::~Folder() {
    std::error_code e;
    for (auto it = fs::recursive_directory_iterator(root_, e); !e && it != fs::end(it);
         it.increment(e))
        if (it->is_directory(e) && !it->is_symlink(e))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, e);
    fs::remove_all(root_, e);
}

std::string Folder::write(const std::string& relative, const std::string& bytes) const {
    const fs::path p = path(relative);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
}

std::string Folder::makeFolder(const std::string& relative) const {
    fs::create_directories(path(relative));
    return path(relative);
}

std::string modFile(const std::string& title, const std::vector<std::string>& sampleNames,
                    int patterns) {
    std::string m(1084 + 1024 * patterns, '\0');
    m.replace(0, std::min<std::size_t>(title.size(), 20), title, 0, 20);
    for (std::size_t s = 0; s < 31; ++s) {
        char* h = &m[20 + 30 * s];
        if (s < sampleNames.size())
            std::copy_n(sampleNames[s].data(), std::min<std::size_t>(sampleNames[s].size(), 22), h);
        h[25] = 64; // volume
        h[29] = 1;  // repeat length of one word: no loop
    }
    m[950] = static_cast<char>(patterns);
    m[951] = 127;
    for (int p = 0; p < patterns; ++p) m[952 + p] = static_cast<char>(p);
    m.replace(1080, 4, "M.K.");
    return m;
}

std::string brokenPackedModule() {
    return "PP20\x09\x0a\x0b\x0b" + std::string(3000, '\xAA') + std::string("\0\x10\0\0", 4);
}

std::string line(const std::string& text) {
    return std::string(25 - std::min<std::size_t>(text.size(), 25), ' ') + text;
}

std::string listing(const std::string& folder) {
    std::ostringstream out;
    std::error_code e;
    for (auto it = fs::recursive_directory_iterator(folder, e); !e && it != fs::end(it);
         it.increment(e))
        out << it->path().string() << " " << (it->is_regular_file(e) ? it->file_size(e) : 0)
            << "\n";
    return out.str();
}

} // namespace scratch
