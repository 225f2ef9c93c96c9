#pragma once
// Writing true-colour TGA files the way the player reads them: bottom row first, no
// image ID, no colour map.
#include "content/art/image.h"

#include <cstdint>
#include <vector>

namespace art {

enum class TgaTail {
    None,      // header and pixels only
    Footer,    // plus the 26-byte TGA 2.0 footer
    Extension, // plus a 495-byte extension area and the footer
};

std::vector<std::uint8_t> encodeTga(const Image& img, TgaTail tail);

// 32-bit true colour (blue, green, red, alpha), bottom row first, no tail. The alpha byte is
// 255 where the pixel has any colour and 0 where it is black, so viewers show an additive
// picture over black as it will look; the engine takes only the colour bytes.
std::vector<std::uint8_t> encodeTga32(const Image& img);

} // namespace art
