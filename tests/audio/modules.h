#pragma once
// What the audio tests play and what they compare it with: the modules built into the test
// program, libopenmpt's own rendering and timeline of them, and SDL's disk-driver output.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audiotest {

constexpr unsigned RATE = 44100;

struct ModuleBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::string name;
};

// A module embedded in the test program ("DALI.XM", "HIGH-SCORE.MOD", "BROKEN.XM"). Fails the
// test when the fetched module is empty (no access to Debian's mirror at build time).
ModuleBytes embeddedModule(const char* name);
std::vector<unsigned char> readFile(const std::string& path);

// libopenmpt's rendering of the first frames frames with its default settings, looping or not:
// interleaved stereo.
std::vector<std::int16_t> referenceRender(const ModuleBytes& m, std::size_t frames, bool loop);
// The module's length in seconds, as libopenmpt plays it once.
double moduleSeconds(const ModuleBytes& m);

// libopenmpt's timeline: where a row starts, in seconds from the start, and how long it lasts.
struct RowTime {
    double start = 0;
    double length = 0;
};
RowTime rowTime(const ModuleBytes& m, int order, int row);

// Interleaved stereo samples of a raw 16-bit file written by SDL's disk driver.
std::vector<std::int16_t> readRawOutput(const std::string& path);
// The first frame with a nonzero sample at or after from, or the frame count when none.
std::size_t firstSoundFrame(const std::vector<std::int16_t>& s, std::size_t from = 0);
std::size_t lastSoundFrame(const std::vector<std::int16_t>& s); // frame count when all silent

// Polls until done() holds; false once limitSeconds of wall time passed (a hang, not a speed
// check: the limits are far beyond what a loaded machine needs).
bool pollUntil(const std::function<bool()>& done, double limitSeconds = 60);

// Points SDL's audio at the disk driver writing to path while it lives; delayMs is the pause the
// driver makes per buffer (-1: the driver's own, which keeps real time; 0: as fast as possible).
class DiskOutput {
  public:
    explicit DiskOutput(const std::string& path, int delayMs = -1);
    ~DiskOutput();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A file name of its own in the test's working folder.
std::string scratchFile(const std::string& stem);

} // namespace audiotest
