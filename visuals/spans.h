#pragma once
// The eight pixel span routines. Each works on one horizontal run of 32-bit pixels (0x00RRGGBB,
// stored blue, green, red, x); callers step rows themselves. Every routine except addHalfSpan
// works on pixel pairs, so an odd count leaves the last pixel untouched. Sources may be the
// destination itself; partly overlapping runs are not supported. A count below 1 does nothing.
#include <cstdint>

namespace visuals {

// The colour key: keyed routines compare whole pixels with it, the top byte included.
inline constexpr std::uint32_t COLOR_KEY = 0x00FF00FFu;

// blue, green, red = sat(source - level); the top byte is the source's. level is 0..255
// (values outside are clamped).
void subtractLevelSpan(const std::uint32_t* source, std::uint32_t* destination, int count,
                       int level);
// Darkens blue, green and red by 15 with saturation; the top byte stays.
void fadeSpan(std::uint32_t* destination, int count);
// Each of the four bytes = sat(destination + source / 2). Pixel by pixel: odd counts included.
void addHalfSpan(const std::uint32_t* source, std::uint32_t* destination, int count);
// blue = sat(destination blue + source byte); one source byte per pixel.
void addBlueSpan(const std::uint8_t* source, std::uint32_t* destination, int count);
// The source pixel, except where it is the key: there the destination keeps its pixel.
void keyedCopySpan(const std::uint32_t* source, std::uint32_t* destination, int count);
// Where b is the key: a. Elsewhere each of the four bytes is
// min(255, sat16((a * weightA) mod 65536 + (b * weightB) mod 65536) / 256).
void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB);
// b's pixel, except where it is the key: there a's pixel.
void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                      int count);
// Draws behind: the destination keeps its pixel unless it is the key, then takes the source's.
void fillKeyedSpan(const std::uint32_t* source, std::uint32_t* destination, int count);

} // namespace visuals
