#include "content/scenes/texture_file.h"

#include <cmath>
#include <stdexcept>

namespace scenes {

namespace {

void put16(std::vector<std::uint8_t>& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v & 255));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 255));
}

void header(std::vector<std::uint8_t>& b, int type, bool colourMap, int w, int h, int bits) {
    b.push_back(0);                 // no image ID
    b.push_back(colourMap ? 1 : 0); // colour-map type
    b.push_back(static_cast<std::uint8_t>(type));
    put16(b, 0);                     // first colour-map entry
    put16(b, colourMap ? 256 : 0);   // colour-map length
    b.push_back(colourMap ? 24 : 0); // colour-map entry size
    put16(b, 0);
    put16(b, 0);
    put16(b, w);
    put16(b, h);
    b.push_back(static_cast<std::uint8_t>(bits));
    // Top row first. A 32-bit picture's fourth byte is 0 and declared as no alpha: the engine
    // copies it into the frame, whose pixels keep 0 there.
    b.push_back(0x20);
}

} // namespace

std::array<std::uint32_t, 256> rampPalette(const std::vector<std::uint32_t>& stops) {
    if (stops.size() < 2) throw std::invalid_argument("a ramp needs two colours");
    std::array<std::uint32_t, 256> out{};
    const float spans = static_cast<float>(stops.size() - 1);
    for (int i = 0; i < 256; ++i) {
        const float at = static_cast<float>(i) / 255.0f * spans;
        const std::size_t k = std::min(static_cast<std::size_t>(at), stops.size() - 2);
        out[static_cast<std::size_t>(i)] = art::pack(
            art::mix(art::rgb(stops[k]), art::rgb(stops[k + 1]), at - static_cast<float>(k)));
    }
    return out;
}

std::vector<std::uint8_t> encodeTrueColour(const art::Image& img, int bitsPerPixel) {
    if (bitsPerPixel != 24 && bitsPerPixel != 32)
        throw std::invalid_argument("true-colour pictures have 24 or 32 bits a pixel");
    std::vector<std::uint8_t> b;
    header(b, 2, false, img.width, img.height, bitsPerPixel);
    for (std::uint32_t p : img.pixels) {
        b.push_back(static_cast<std::uint8_t>(p));
        b.push_back(static_cast<std::uint8_t>(p >> 8));
        b.push_back(static_cast<std::uint8_t>(p >> 16));
        if (bitsPerPixel == 32) b.push_back(0);
    }
    return b;
}

std::vector<std::uint8_t> encodeIndexed(const IndexedImage& img) {
    if (img.indices.size() != static_cast<std::size_t>(img.width) * img.height)
        throw std::invalid_argument("indexed picture of the wrong size");
    std::vector<std::uint8_t> b;
    header(b, 1, true, img.width, img.height, 8);
    for (std::uint32_t c : img.palette) {
        b.push_back(static_cast<std::uint8_t>(c));
        b.push_back(static_cast<std::uint8_t>(c >> 8));
        b.push_back(static_cast<std::uint8_t>(c >> 16));
    }
    b.insert(b.end(), img.indices.begin(), img.indices.end());
    return b;
}

} // namespace scenes
