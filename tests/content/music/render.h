#pragma once
// Test helpers: load module bytes in libopenmpt and render them to float stereo at 44.1 kHz.

#include <cstdint>
#include <string>
#include <vector>

struct Rendered {
    bool loaded = false;
    double duration = 0; // libopenmpt's playing time to the loop point
    int channels = 0;
    std::string type;          // "xm", "mod"
    std::vector<float> stereo; // interleaved left, right
    std::vector<float> mono() const;
};

// Renders at most maxSeconds (the song once when playing to its end). With asPlayed, at the
// stereo separation the player's audio back-end uses for the module's format.
Rendered renderModule(const std::vector<uint8_t>& bytes, double maxSeconds, bool asPlayed = false);
std::vector<uint8_t> readFile(const std::string& path);

// Fundamental frequency of a steady tone by autocorrelation, in Hz.
double pitchOf(const std::vector<float>& x, size_t from, size_t count, double rate);
