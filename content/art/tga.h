#pragma once
// Writing 24-bit true-colour TGA files the way the player reads them: bottom row first, no
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

} // namespace art
