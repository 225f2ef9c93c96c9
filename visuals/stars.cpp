#include "visuals/stars.h"

#include "visuals/spans.h"

#include <algorithm>
#include <cstring>

namespace visuals {

namespace {

// Ten copies of the sprites, level m at index m; zero (black) until prepared.
std::uint32_t starLevelPixels[STAR_LEVELS * STAR_SPRITE_PIXELS];

double rand01(platform::RandomSource random) {
    return (random() & 0x7FFF) / 32767.0;
}

// c - (10 - m) * (c * 0.1) in single precision, truncated toward zero.
std::uint32_t scaleChannel(std::uint32_t c, int m) {
    const float v = static_cast<float>(c);
    const float scaled = v - static_cast<float>(10 - m) * (v * 0.1f);
    return scaled > 0.0f ? static_cast<std::uint32_t>(scaled) : 0u;
}

} // namespace

const std::uint32_t* starLevels() {
    return starLevelPixels;
}

bool prepareStarLevels(const void* sprites, std::size_t size) {
    if (!sprites || size != STAR_SPRITE_BYTES) return false;
    std::uint32_t source[STAR_SPRITE_PIXELS];
    std::memcpy(source, sprites, STAR_SPRITE_BYTES);
    for (int m = 0; m < STAR_LEVELS; ++m) {
        std::uint32_t* level = starLevelPixels + m * STAR_SPRITE_PIXELS;
        for (std::size_t i = 0; i < STAR_SPRITE_PIXELS; ++i) {
            const std::uint32_t p = source[i];
            level[i] = scaleChannel((p >> 16) & 0xFF, m) << 16 |
                       scaleChannel((p >> 8) & 0xFF, m) << 8 | scaleChannel(p & 0xFF, m);
        }
    }
    return true;
}

void releaseStarLevels() {
    std::memset(starLevelPixels, 0, sizeof starLevelPixels);
}

void placeStar(Star& star, platform::RandomSource random) {
    const int row = static_cast<int>(rand01(random) * 180.0);
    const int column = row < 49 ? static_cast<int>(rand01(random) * 180.0)
                                : static_cast<int>(rand01(random) * 86.0 + 93.0);
    star.position = row * STAR_SURFACE_WIDTH + column;
    star.shape = std::min(static_cast<int>(rand01(random) * 3.0), 2);
}

void createStar(Star& star, platform::RandomSource random) {
    star.countdown = static_cast<std::int32_t>(rand01(random) * 50.0 + 20.0);
    placeStar(star, random);
    star.fadeInStep = 10;
    star.fadingIn = 1;
    star.fadeOutStep = 0;
    star.fadingOut = 0;
}

void updateStar(Star& star, platform::RandomSource random) {
    if (--star.countdown == 0) {
        star.countdown = static_cast<std::int32_t>(rand01(random) * 350.0 + 33.0);
        star.fadeOutStep = 10;
        star.fadingOut = 1;
    }
}

int drawStar(Star& star, std::uint32_t* pixels, int pitchPixels, platform::RandomSource random) {
    int level = 9;
    if (star.fadingIn || star.fadingOut) {
        if (star.fadeInStep != 0) {
            --star.fadeInStep;
            level = 9 - star.fadeInStep;
            if (star.fadeInStep == 0) star.fadingIn = 0;
        }
        if (star.fadeOutStep != 0) {
            --star.fadeOutStep;
            level = star.fadeOutStep;
            if (star.fadeOutStep == 0) {
                star.fadingOut = 0;
                placeStar(star, random);
                star.fadingIn = 1;
                star.fadeInStep = 10;
            }
        }
    }
    level = std::clamp(level, 0, STAR_LEVELS - 1);

    // A record whose position or shape was never set by placement is kept inside the surface.
    const StarShape& shape = STAR_SHAPES[std::clamp<int>(star.shape, 0, 2)];
    const int top = star.position / STAR_SURFACE_WIDTH;
    const int left = star.position % STAR_SURFACE_WIDTH;
    if (star.position < 0) return level;
    const int width = std::min(shape.width, STAR_SURFACE_WIDTH - left);
    const int rows = std::min(shape.height, STAR_SURFACE_WIDTH - top);
    const std::uint32_t* sprite = starLevelPixels + level * STAR_SPRITE_PIXELS + shape.firstPixel;
    for (int r = 0; r < rows; ++r, sprite += shape.width)
        addHalfSpan(sprite, pixels + std::size_t(top + r) * pitchPixels + left, width);
    return level;
}

} // namespace visuals
