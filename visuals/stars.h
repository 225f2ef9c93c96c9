#pragma once
// The twinkling stars of the aurora panel: three sprite shapes at ten brightness levels, and
// seven stars that fade in at a random place, shine, fade out and reappear elsewhere.
#include <cstddef>
#include <cstdint>

#include "platform/random.h"

namespace visuals {

inline constexpr std::size_t STAR_SPRITE_PIXELS = 379; // the three shapes and 20 spare pixels
inline constexpr std::size_t STAR_SPRITE_BYTES = STAR_SPRITE_PIXELS * 4;
inline constexpr int STAR_LEVELS = 10;
inline constexpr int STAR_SURFACE_WIDTH = 200; // positions count pixels in rows of this width

struct StarShape {
    int firstPixel, width, height;
};
inline constexpr StarShape STAR_SHAPES[3] = {{0, 10, 11}, {110, 9, 9}, {191, 12, 14}};

struct Star {
    std::int32_t countdown = 0;   // calls left before the fade-out starts
    std::int32_t fadeInStep = 0;  // 10 .. 0
    std::int32_t fadeOutStep = 0; // 10 .. 0
    std::int32_t fadingIn = 0, fadingOut = 0;
    std::int32_t position = 0; // row * 200 + column of the sprite's top-left corner
    std::int32_t shape = 0;    // 0, 1 or 2
};

// The sprites at brightness m/10 for m = 0 .. 9, STAR_SPRITE_PIXELS pixels per level; all black
// until prepareStarLevels has been given the sprite data. Owned by this module.
const std::uint32_t* starLevels();
// Builds the ten levels from the 1516-byte sprite data. Data of any other size is refused
// (false) and the levels stay black.
bool prepareStarLevels(const void* sprites, std::size_t size);
void releaseStarLevels();

void placeStar(Star& star, platform::RandomSource random = platform::libraryRandom);
void createStar(Star& star, platform::RandomSource random = platform::libraryRandom);
// Counts down the shine and starts the fade-out when it runs out.
void updateStar(Star& star, platform::RandomSource random = platform::libraryRandom);
// Chooses this call's level (advancing the fades) and adds the sprite at half strength onto the
// pixels of a 200 x 200 surface whose rows are pitchPixels apart. Returns the level used.
int drawStar(Star& star, std::uint32_t* pixels, int pitchPixels,
             platform::RandomSource random = platform::libraryRandom);

} // namespace visuals
