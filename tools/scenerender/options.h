#pragma once
// The command line of scenerender.
#include <string>

namespace scenerender {

struct Options {
    std::string data = "vrk.bin";
    bool dataGiven = false;
    bool secondScene = false;
    int width = 320, height = 200;
    bool framesGiven = false;
    long firstFrame = 0, lastFrame = 0; // inclusive
    bool time = false;
    std::string sceneName;
    std::string out;
};

// Parses argv; returns an empty string, or the one line that says what is wrong.
std::string ParseOptions(int argc, char** argv, Options* options);

extern const char* const USAGE;
// What --help prints.
extern const char* const HELP;

} // namespace scenerender
