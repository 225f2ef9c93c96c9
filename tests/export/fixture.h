#pragma once
// What the export tests compare with: the player's own back-end playing a module (through SDL's
// disk driver), FLAC files read back with libFLAC's decoder and metadata reader, and the real
// modules that no one here wrote.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace exporttest {

// A module fetched for the tests ("dali.xm", "high-score.mod"); fails the test when empty.
std::string testModule(const std::string& name);

// The frames the player's back-end sends to the sound card for a module loaded as the player
// loads a tune, from the first frame of the music on: frames frames, interleaved stereo.
// alignWith is the same music as rendered elsewhere; both start where their first sound is.
std::vector<std::int16_t> playerOutput(const std::string& module, std::size_t frames,
                                       const std::vector<std::int16_t>& alignWith);

// The whole render of an export of module to listedMs (0: as long as it runs).
std::vector<std::int16_t> exportRender(const std::string& module, std::uint32_t listedMs);

struct FlacFile {
    bool ok = false;
    unsigned rate = 0, channels = 0, bits = 0;
    std::uint64_t frames = 0;
    std::vector<std::int16_t> samples;
    std::map<std::string, std::vector<std::string>> tags; // names in upper case
    int pictureType = -1, pictureWidth = 0, pictureHeight = 0;
    std::string pictureMime;
    std::vector<std::uint8_t> picture;
    std::string tag(const std::string& name) const; // the first value, or ""
};
FlacFile readFlac(const std::string& path);

// Integrated loudness (LUFS) and sample peak of interleaved stereo at 44100 Hz, by libebur128.
double lufsOf(const std::vector<std::int16_t>& samples);
double albumLufsOf(const std::vector<const std::vector<std::int16_t>*>& programme);
double peakOf(const std::vector<std::int16_t>& samples);

// The player's fade applied to the last frames of s, written out from its rule (gain_ramp.h):
// frame i of the slide has the gain 65536 - 65536 (i + 1) / length (16.16, the division
// rounding towards zero), and a sample s becomes (s * gain + 32768) >> 16.
void fadeOutEnd(std::vector<std::int16_t>& s, std::size_t frames);

// Names of the files and folders directly in folder, sorted.
std::vector<std::string> namesIn(const std::string& folder);
std::string readWhole(const std::string& path);

} // namespace exporttest
