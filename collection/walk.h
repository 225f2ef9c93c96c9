#pragma once
// The files of a folder tree, in the order a disk lists them: each folder's own files by name,
// then its subfolders, each in the same way. Names compare as people read them: without regard
// to case, and numbers by their value ("track 2" before "track 10").
#include "collection/module_facts.h"

#include <string>
#include <string_view>
#include <vector>

namespace collection {

struct FoundFile {
    std::string path;   // the root joined with the names under it, as it can be opened
    std::string folder; // the folder that holds it, relative to the root ("" for the root)
    std::string name;   // the file's own name
    FileStamp stamp;
};

// Folders nested deeper than this under the root are not entered.
inline constexpr int FOLDER_DEPTH_LIMIT = 64;

// Every regular file under root. Symbolic links are followed, but no folder is entered twice
// (a link that loops back is passed over); names starting with "." are left out, as file
// managers hide them. A folder that cannot be read, or one too deep, gets a line in notes and
// the walk goes on.
std::vector<FoundFile> walkFolder(const std::string& root, std::vector<std::string>& notes);

// The order of two names: negative, zero or positive.
int compareNatural(std::string_view a, std::string_view b);

} // namespace collection
