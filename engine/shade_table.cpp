#include "engine/shade_table.h"

namespace engine {

namespace {

// 1/31 as the float it was kept in, applied in double precision.
constexpr double TOWARDS_COLOUR = 0.032258063554763794;
constexpr double TOWARDS_WHITE = 0.03125;

std::uint32_t component(std::uint32_t colour, int shift) {
    return (colour >> shift) & 0xFF;
}

std::uint32_t shadeComponent(std::uint32_t v, int level) {
    if (level < 31) return static_cast<std::uint32_t>(v * TOWARDS_COLOUR * level);
    if (level == 31) return v;
    const int j = level - 32;
    return static_cast<std::uint32_t>(v + (255.0 - v) * TOWARDS_WHITE * j);
}

std::uint32_t tinted(std::uint32_t colour, const AmbientTint& t) {
    auto c = [](std::uint32_t v, float f) {
        return static_cast<std::uint32_t>(static_cast<int>(static_cast<float>(v) * f));
    };
    return c(component(colour, 16), t.r) << 16 | c(component(colour, 8), t.g) << 8 |
           c(component(colour, 0), t.b);
}

} // namespace

std::uint32_t ShadeOf(std::uint32_t colour, int level) {
    if (level >= SHADE_LEVELS - 1 || level < 0) return 0;
    return shadeComponent(component(colour, 16), level) << 16 |
           shadeComponent(component(colour, 8), level) << 8 |
           shadeComponent(component(colour, 0), level);
}

void BuildShadeTable(const std::uint32_t* palette, const AmbientTint* tint, std::uint32_t* table) {
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t colour = tint ? tinted(palette[i], *tint) : palette[i] & 0xFFFFFF;
        std::uint32_t* block = table + i * SHADE_LEVELS;
        for (int level = 0; level < SHADE_LEVELS; ++level) block[level] = ShadeOf(colour, level);
    }
}

} // namespace engine
