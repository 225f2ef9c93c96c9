// Build step: reads the collection file, checks it and writes the menu table's C++ source.
// Usage: vrk_tablegen COLLECTION.txt OUT.cpp [MODULES.txt]
//        vrk_tablegen COLLECTION.txt   (only checks: prints the menu it would make)
// A broken rule stops the build with "file:line: error: ..." naming the offending line.
#include "content/table/table_source.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

// Always rewritten: the build compares times, and the output must be newer than this program.
bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::cerr << "usage: vrk_tablegen COLLECTION.txt [OUT.cpp [MODULES.txt]]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": error: cannot open the collection file\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        collection::Collection c = collection::parseCollection(text.str());
        if (argc == 2) {
            std::cout << argv[1] << ": " << content::describeTable(c);
            return 0;
        }
        if (!writeFile(argv[2], content::menuTableSource(c))) {
            std::cerr << argv[2] << ": error: cannot write\n";
            return 1;
        }
        if (argc == 4) {
            std::string list;
            for (const std::string& m : c.modules()) list += m + "\n";
            if (!writeFile(argv[3], list)) {
                std::cerr << argv[3] << ": error: cannot write\n";
                return 1;
            }
        }
    } catch (const collection::CollectionError& e) {
        std::cerr << argv[1] << ":" << e.line << ": error: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
