#pragma once
// The player's pictures: the main picture with the places the player draws into, the end
// pictures, the random-play indicators, the exit label and the elf in the menu window.
#include "content/art/image.h"

#include <cstdint>
#include <vector>

namespace art {

// Screen places of the main picture (left, top, right and bottom; right and bottom exclusive).
struct Place {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};
inline constexpr Place MENU_AREA{15, 70, 405, 290};
inline constexpr Place SCROLL_AREA{110, 320, 542, 350};
inline constexpr Place AURORA_AREA{420, 50, 620, 250};
inline constexpr int METER_Y = 370;
inline constexpr int EXIT_X = 580, EXIT_Y = 370;
inline constexpr int INDICATOR_W = 80, INDICATOR_H = 18;
inline constexpr int EXIT_W = 60, EXIT_H = 30;
inline constexpr int ELF_W = 104, ELF_H = 64;
inline constexpr int ELF_WINDOW_Y = 155; // elf rows 155..218 of the menu window

Image makeMainPicture();
// frame 0 or 1 of the farewell animation
Image makeEndPicture(int frame);
// The random-play indicator drawn over the main picture's top-left corner.
Image makeIndicator(const Image& mainPicture, bool on);
// The exit label, drawn over the main picture at (EXIT_X, EXIT_Y).
Image makeExitLabel(const Image& mainPicture);
// The elf that peeks into the menu window; magenta where the window shows through.
Image makeElfMask(const Image& mainPicture);

// The window icon: 32 x 32 pixels, 0xAARRGGBB each, stored little-endian (4096 bytes).
inline constexpr int ICON_SIZE = 32;
// The window icon as 0xAARRGGBB pixels, size x size (the window takes 32; the desktop entry
// takes the sizes icon themes ask for).
std::vector<std::uint8_t> makeIcon(int size = ICON_SIZE);

} // namespace art
