// vrkmusic: writes the collection's modules into a folder.
//   vrkmusic <output-folder> [file ...]   (all tunes when no file is named)

#include "content/music/catalogue.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vrkmusic <output-folder> [file ...]\n");
        return 2;
    }
    std::string dir = argv[1];
    int failures = 0;
    for (const auto& t : music::catalogue()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) wanted = wanted || t.file == argv[i];
        if (!wanted) continue;
        try {
            auto bytes = music::renderTune(t);
            std::string path = dir + "/" + t.file;
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            if (!out) throw std::runtime_error("cannot write " + path);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vrkmusic: %s: %s\n", t.file.c_str(), e.what());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
