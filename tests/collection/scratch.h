#pragma once
// A scratch folder for one test, and tracker modules written byte by byte (four-channel MODs:
// a title, sample names that can carry a text, so many patterns of 64 rows at speed 6 and
// 125 BPM, 7.68 s each).
#include <string>
#include <vector>

namespace scratch {

class Folder {
  public:
    Folder();
    ~Folder(); // removes everything under it, unreadable folders too
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }
    // Writes a file (making its folders); returns its path.
    std::string write(const std::string& relative, const std::string& bytes) const;
    std::string makeFolder(const std::string& relative) const;

  private:
    std::string root_;
};

std::string modFile(const std::string& title, const std::vector<std::string>& sampleNames = {},
                    int patterns = 1);

// A module packed with PowerPacker whose packed data is garbage: its header passes the check of
// a file's first bytes, loading it whole fails.
std::string brokenPackedModule();

// A menu line: right-aligned in 25 characters.
std::string line(const std::string& text);

// Every file and folder under a folder with its size, for checking that nothing was written.
std::string listing(const std::string& folder);

} // namespace scratch
