#pragma once
// The aurora panel of the menu screen: 44 pre-rendered monochrome frames and their mirror
// images, played back and forth into the blue channel of a 200 x 200 work surface over a still
// background, with seven stars twinkling underneath.
#include "console/console.h"
#include "visuals/stars.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace visuals {

inline constexpr int AURORA_WIDTH = 180;
inline constexpr int AURORA_HEIGHT = 140;
inline constexpr std::size_t AURORA_FRAME_BYTES = AURORA_WIDTH * AURORA_HEIGHT; // 25200
inline constexpr int AURORA_STORED_FRAMES = 44;
inline constexpr int AURORA_FRAMES = 2 * AURORA_STORED_FRAMES; // with the mirrored half
inline constexpr std::size_t AURORA_UNPACKED_BYTES = AURORA_STORED_FRAMES * AURORA_FRAME_BYTES;
inline constexpr std::size_t AURORA_BUFFER_BYTES = 2 * AURORA_UNPACKED_BYTES; // 2217600
inline constexpr int AURORA_HOLD = 18; // calls each frame is shown
inline constexpr int AURORA_STAR_COUNT = 7;
inline constexpr int AURORA_PANEL_SIZE = 200;

struct AuroraPlayback {
    int frame = 0;   // 0 .. 87
    int forward = 1; // 1 forward, 0 backward
    int hold = 0;    // calls left on this frame
};

// Process-wide aurora state, from set-up to release.
struct AuroraState {
    std::uint8_t* frames = nullptr; // AURORA_BUFFER_BYTES, null when not set up
    AuroraPlayback playback;
    std::array<Star, AURORA_STAR_COUNT> stars{};
};
extern AuroraState aurora;

// Set-up from the program's resources "BOREALISPAK" and "STARSDAT". A missing resource leaves
// its part black: no aurora, or stars that add nothing.
void setupAurora();
// The same from given data; packed may be null (no aurora). A stream that does not unpack ends
// the process with status 1, as every packed item does.
void setupAuroraFrom(const void* packed, std::size_t packedLength, const void* starSprites,
                     std::size_t starSpritesSize,
                     platform::RandomSource random = platform::libraryRandom);
// Fills the second half of the buffer with the first half's frames, each row reversed.
void mirrorAuroraFrames(std::uint8_t* buffer);
// Composes the panel: background, stars, the current aurora frame on blue; then advances the
// animation. Both surfaces are 200 x 200, 32 bits; a smaller work surface raises PtcError.
void drawAuroraPanel(PtcSurface* background, PtcSurface* work,
                     platform::RandomSource random = platform::libraryRandom);
// Steps the playback state as one call of drawAuroraPanel does after drawing.
void advanceAurora(AuroraPlayback& playback);
// Frees the frame buffer and the star levels and forgets the stars; the playback state stays.
void releaseAurora();

} // namespace visuals
