#pragma once
// Texture pictures of the scenes and their TGA files: 24- or 32-bit true colour for flat and
// phong materials, 8-bit colour-mapped for gouraud materials and transparency maps.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "content/art/image.h"

namespace scenes {

constexpr int TEXTURE_SIZE = 256;

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices;        // top row first
    std::array<std::uint32_t, 256> palette{}; // 0x00RRGGBB
};

// A palette running through the given colours at evenly spaced entries.
std::array<std::uint32_t, 256> rampPalette(const std::vector<std::uint32_t>& stops);

// Uncompressed TGA files, top row first.
std::vector<std::uint8_t> encodeTrueColour(const art::Image& img, int bitsPerPixel);
std::vector<std::uint8_t> encodeIndexed(const IndexedImage& img);

struct TextureFile {
    std::string name; // the entry name, e.g. "snow.tga"
    std::vector<std::uint8_t> bytes;
};

} // namespace scenes
