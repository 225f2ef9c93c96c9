#pragma once
// What the player is asked to do on its command line.
#include <string>
#include <vector>

struct CommandLine {
    bool help = false;
    bool version = false;
    bool noIntro = false;           // straight to the menu
    bool list = false;              // print the menu the paths make instead of playing it
    std::vector<std::string> paths; // the user's modules; none: the built-in disk
    std::string exportFolder;       // --export: write the disk's tunes there instead of playing
    bool force = false;             // --export may replace files that are there already
    std::string error;              // set when the arguments make no sense, saying why
};

CommandLine parse_command_line(int argc, const char* const* argv);

// The text --help prints.
const char* usage_text();
