#pragma once
// The collection's tunes: file name, playing time to the loop point, and the builder that
// composes each one. The order is the menu's; the end tune comes last.

#include "content/music/module.h"

#include <cstdint>
#include <string>
#include <vector>

namespace music {

struct TuneEntry {
    std::string file;  // lower-case file name, .xm or .mod
    int seconds;       // playing time to the loop point
    Module (*build)(); // composes the module (its tempo already fitted to seconds)
};

const std::vector<TuneEntry>& catalogue();

// Builds and serialises one tune in the format its file name names.
std::vector<uint8_t> renderTune(const TuneEntry& t);

} // namespace music
