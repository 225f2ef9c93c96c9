#pragma once
// The span rasterizers: each drawer takes exactly three screen vertices (y down), rejects,
// clips to the settings' clip rectangle, and fills with the top-left rule on pixel centres.
// Textures are in the layouts of the preparation: 32-bit 256x256 swizzled, or 8-bit indices
// with their shade table 65536 bytes after them.
#include <cstdint>

namespace engine {

// x, y, then two attributes (u, v; or the light in a), then the outcode the drawer fills.
struct ScreenVertex {
    float x, y;
    float a, b;
    std::uint32_t outcode;
};

// x, y, u, v, light (0 to 63), outcode.
struct ShadedVertex {
    float x, y;
    float u, v, light;
    std::uint32_t outcode;
};

// Where the drawers write: the frame's first pixel and its row pitch in bytes.
struct RasterTarget {
    std::uint8_t* frame;
    int pitch;
    int width, height; // the frame's size, for the safety of hostile input
};
extern RasterTarget rasterTarget;

void SetRasterTarget(std::uint8_t* frame, int pitchBytes, int width, int height);

void FillGouraud(ScreenVertex* v);
void FillShadedTexture(ShadedVertex* v, const std::uint8_t* texture);
void FillEnvironment(ScreenVertex* v, const std::uint32_t* previous, int previousWidth,
                     int previousHeight);
void FillTextured(ScreenVertex* v, const std::uint8_t* texture);
void FillTexturedHalf(ScreenVertex* v, const std::uint8_t* texture);
void FillTexturedBlend(ScreenVertex* v, const std::uint8_t* texture, std::uint32_t opacityWeights,
                       std::uint32_t transparencyWeights);
void FillTexturedAlpha(ScreenVertex* v, const std::uint8_t* texture);

// Adds the w x h picture onto the W x H frame at (x, y) with unsigned saturation, clipped.
void BlitFlare(const std::uint32_t* picture, int w, int h, int x, int y, std::uint32_t* frame,
               int W, int H);

} // namespace engine
