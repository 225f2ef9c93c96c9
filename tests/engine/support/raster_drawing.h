#pragma once
// Draws a reference triangle with any of the seven drawers, with the textures and the previous
// frame the tests share.
#include <cstdint>
#include <random>
#include <vector>

#include "raster_reference.h"

namespace rastertest {

enum class Drawer { Gouraud, ShadedTexture, Environment, Textured, Half, Blend, Alpha };
inline constexpr Drawer ALL_DRAWERS[] = {
    Drawer::Gouraud, Drawer::ShadedTexture, Drawer::Environment, Drawer::Textured,
    Drawer::Half,    Drawer::Blend,         Drawer::Alpha};
const char* DrawerName(Drawer d);

// Pictures the drawers read: the coordinate texture (with random alpha bytes in alphaTexels),
// a palette texture with its shade table, and a 320x200 previous frame whose pixel (x, y)
// holds x | y << 12. No pixel they produce has the top byte 0xFF.
struct DrawSources {
    std::vector<std::uint32_t> texels, alphaTexels, previous;
    std::vector<std::uint8_t> palette; // 65536 indices, then 256 x 64 colours
    std::uint32_t opacity = 0x00C000C0, transparency = 0x003F003F;
    explicit DrawSources(std::uint32_t seed);
};

// Per-vertex attributes: a and b as the drawer reads them (light, or u and v), light for the
// shaded texture.
struct Attributes {
    double a[3], b[3], light[3];
};

void Draw(Drawer drawer, const Triangle& t, const Attributes& at, const DrawSources& src);

} // namespace rastertest
