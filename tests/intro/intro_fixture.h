#pragma once
// The intro on a fake clock and a scripted music position: fake engine and music services that
// record what the timeline asks of them, a data file of the test's own pictures and scenes, and
// the pictures the console showed after each paced frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "intro/intro.h"
#include "platform/clock.h"
#include "tests/data/test_files.h"

namespace introtest {

using Bytes = datatest::Bytes;
using Picture = std::vector<std::uint32_t>; // 320 x 200

constexpr int W = 320, H = 200;

// What the fakes saw and what they are told to do.
struct Script {
    std::uint32_t msPerRow = 40;      // music speed: 64 rows to an order
    std::uint32_t musicStartsAt = 0;  // clock reading when the tune starts
    std::uint32_t positionOffset = 0; // rows already played when the tune starts
    bool musicMissing = false;        // music_position then answers 0xFFFFFFFF
    long keyAtRender = -1;            // a key waits before this render (0 = the first)
    long keyAtPacedFrame = -1;        // a key waits at this paced frame (0 = the first)
    int lights = 1;
    int prepareResult = 1;
    bool recordPictures = false;
    // When set, the music's position after this many milliseconds of playing (else msPerRow).
    std::function<std::uint32_t(std::uint32_t)> music;

    // Seen.
    long renders = 0, pacedFrames = 0, trails = 0, fadeOutsStarted = 0, musicFrees = 0;
    long sortTablesAllocated = 0, sortTablesFreed = 0, texturesReleased = 0;
    std::vector<float> frames; // frame numbers rendered
    std::vector<std::uint32_t> positionsAtRender;
    std::uint64_t updatesAtKey = 0, updatesAtFadeOut = 0; // console updates then
    std::vector<std::uint32_t> deadlines;                 // every waitUntil
    std::vector<std::string> logs;
    std::vector<Picture> shown; // after each paced frame, when recording
    // At the start of each paced frame: the scenes played so far and the music's position.
    std::vector<std::pair<long, std::uint32_t>> pacedFramesSeen;
};

extern Script script;

// The fake clock: time moves only when the intro waits or sleeps.
struct FakeClock final : platform::ClockSource {
    std::uint32_t t = 100000;
    std::uint32_t now() override { return t; }
    void waitUntil(std::uint32_t deadline) override;
    void sleep(std::uint32_t ms) override { t += ms; }
};

extern FakeClock fakeClock;

const intro::IntroServices& fakeServices();
std::uint32_t scriptedPosition();

// A 32-bit top-row-first TGA of the given pixels (0x00RRGGBB or with the top byte set).
Bytes tga32(int width, int height, const std::vector<std::uint32_t>& pixels);
// A test pattern of width x height with key pixels in a grid (every 7th pixel).
std::vector<std::uint32_t> pattern(int width, int height, std::uint32_t seed, bool withKeys);
// A 3DS scene: one triangle, a camera of the given name, keyframer frames first..last.
Bytes sceneFile(const char* cameraName, int first, int last);

// Sets up the intro's state with the fakes and an archive holding the given entries.
class IntroFixture : public ::testing::Test {
  protected:
    datatest::ScratchDir dir;
    std::unique_ptr<DataArchive> archive;
    platform::ClockSource* realClock = nullptr;
    std::vector<std::uint32_t> logo, caption, bigLogo;

    void SetUp() override;
    void TearDown() override;
    // The default data file: pictures, and scenes of the given lengths.
    std::vector<datatest::Entry> defaultEntries(int firstSceneFrames = 5,
                                                int secondSceneFrames = 4);
    void useArchive(const std::vector<datatest::Entry>& entries);
    // Opens the console and the two frame surfaces, as the timeline does before its sequences.
    void openDisplay();
    void closeDisplay();
    void fillSurfaces(std::uint32_t frameColour, std::uint32_t previousColour);
    Picture surfacePixels(PtcSurface* s) const;
};

inline std::uint32_t sat(int v) {
    return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}
// Each colour byte less level, saturating; the top byte kept.
inline std::uint32_t darker(std::uint32_t p, int level) {
    return (p & 0xFF000000u) | sat(int(p >> 16 & 255) - level) << 16 |
           sat(int(p >> 8 & 255) - level) << 8 | sat(int(p & 255) - level);
}

} // namespace introtest
