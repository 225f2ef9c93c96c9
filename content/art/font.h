#pragma once
// Our pixel font: each glyph is a 5 x 7 design whose lit cells are joined into strokes, then
// drawn smooth at any size. Used for the two font pictures and for lettering in the pictures.
#include "content/art/image.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace art {

struct TextStyle {
    float originX = 2.5f, originY = 1.5f; // where grid cell (0,0) lies inside the glyph box
    float stepX = 2.25f, stepY = 1.85f;   // pixels between grid cells
    float core = 0.85f;                   // stroke radius
    float outline = 1.0f;                 // dark rim beyond the stroke; 0 for none
    Rgb outlineColour{10, 14, 36};
    std::function<Rgb(float y)> fill = [](float) { return Rgb{255, 255, 255}; }; // y: 0..1 down
    float advance = 15; // pixels from one character to the next
};

// True when the font has a design for the character (letters in either case share one).
bool hasGlyph(char c);

// Draws one glyph into a font picture cell at (x, y): stroke pixels blend only with the outline
// colour, never with what lies around, and untouched pixels keep their value (the key colour).
void drawKeyedGlyph(Image& img, int x, int y, int w, int h, char c, const TextStyle& s);

// Draws text onto a picture with smooth edges all round, glyph boxes of the given height.
void drawText(Image& img, float x, float y, std::string_view text, const TextStyle& s,
              float boxHeight);
float textWidth(std::string_view text, const TextStyle& s);

// The strokes of a glyph in grid units (x 0..4, y 0..7), each {ax, ay, bx, by}; a single lit
// cell is a stroke of length 0. Empty for a character without a design.
std::vector<std::array<float, 4>> glyphStrokes(char c);

// The two font pictures the player loads: one row of 14-pixel cells 15 pixels apart, row 0
// unused, magenta background.
Image makeMenuFont();
Image makeScrollFont();

// Cell order of the two fonts: the characters in the order of their cells ('_' marks the scroll
// font's cell that belongs to no character). In the menu font '@' and '?' hold the row markers.
inline constexpr std::string_view MENU_FONT_CELLS = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ-.@ ?'";
inline constexpr std::string_view SCROLL_FONT_CELLS =
    "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ-+><!?.,:_;\"/*@#$% ^~&()='";
inline constexpr int MENU_FONT_HEIGHT = 15, SCROLL_FONT_HEIGHT = 31, CELL_PITCH = 15;

} // namespace art
