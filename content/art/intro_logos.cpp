// The intro's lettering: the makers' mark in the gold tinsel of the player's title, the word
// "presents" in frosted silver, and the title grown from frost ferns as on a window pane.
#include "content/art/font.h"
#include "content/art/intro_pictures.h"

#include <array>
#include <cmath>
#include <vector>

namespace art {

namespace {

constexpr float PI = 3.14159265f;
const Rgb WHITE{255, 255, 255};

// A twinkle: a bright centre with four thin rays.
void twinkle(Image& img, float cx, float cy, float r, Rgb c, float strength) {
    drawGlow(img, cx, cy, r * 0.5f, c, strength);
    for (int a = 0; a < 4; ++a)
        for (float t = 0; t < r; t += 0.5f)
            img.glow(int(cx + t * std::cos(a * PI / 2)), int(cy + t * std::sin(a * PI / 2)), c,
                     strength * (1 - t / r) * 0.8f);
}

// The title's gold: pale at the top of the letters, deep amber at the foot.
Rgb gold(float y) {
    const Rgb top{255, 222, 110}, mid{240, 178, 56}, foot{178, 98, 18};
    return y < 0.5f ? mix(top, mid, y / 0.5f) : mix(mid, foot, (y - 0.5f) / 0.5f);
}

// Snow settled on gold strokes: a soft white cap on the first gold pixel of every column.
void snowCaps(Image& img, int y0, int y1) {
    for (int x = 0; x < img.width; ++x)
        for (int y = y0; y < y1; ++y) {
            Rgb c = rgb(img.at(x, y));
            if (c.r > 170 && c.g > 90 && c.b < 130) {
                float depth = 1.8f + 1.0f * std::sin(x * 0.37f) + 0.5f * std::sin(x * 1.3f);
                for (int k = -2; k < int(depth); ++k)
                    img.blend(x, y + k, {242, 247, 255}, k < 0 ? 0.35f * (k + 3) : 0.95f);
                break;
            }
        }
}

// A strand of tinsel: a wavy line bristling with short glittering threads.
void tinselStrand(Image& img, Rng& rng, float x0, float x1, float y, float wave) {
    const Rgb threads[] = {{250, 215, 110}, {215, 225, 245}, {235, 90, 80}, {250, 200, 80}};
    for (float x = x0; x <= x1; x += 0.8f) {
        float cy = y + wave * std::sin(x * 0.045f) + 0.8f * std::sin(x * 0.21f);
        for (int k = 0; k < 3; ++k) {
            float ang = rng.range(0, 2 * PI), len = rng.range(1.5f, 4.5f);
            drawLine(img, x, cy, x + len * std::cos(ang), cy + len * std::sin(ang), 0.8f,
                     threads[rng.next() % 4], rng.range(0.3f, 0.85f));
        }
    }
}

// Paints text twice: in colour onto the picture and in white onto a cover mask, so the caller
// can key out whatever the letters do not cover.
void keyedText(Image& img, Image& cover, float x, float y, std::string_view text,
               const TextStyle& s, float box) {
    drawText(img, x, y, text, s, box);
    TextStyle mask = s;
    mask.outlineColour = WHITE;
    mask.fill = [](float) { return WHITE; };
    drawText(cover, x, y, text, mask, box);
}

// Magenta where the mask covers less than the threshold; no painted pixel may equal it.
void keyOut(Image& img, const Image& cover, float threshold) {
    for (size_t i = 0; i < img.pixels.size(); ++i)
        if ((cover.pixels[i] & 255) < threshold * 255)
            img.pixels[i] = MAGENTA;
        else if (img.pixels[i] == MAGENTA)
            img.pixels[i] = 0xFE00FE;
}

// Frost being painted: its colour and how much of each pixel it covers.
struct Frost {
    Image colour, cover;
    void line(float ax, float ay, float bx, float by, float width, Rgb c, float alpha) {
        drawLine(colour, ax, ay, bx, by, width, c, alpha);
        drawLine(cover, ax, ay, bx, by, width, WHITE, alpha);
    }
};

// A fern of ice: a gently curving stem with barbs on both sides, each barb a smaller fern,
// longest near the root and shrinking towards the tip.
void fern(Frost& f, Rng& rng, float x, float y, float ang, float len, int depth, float width, Rgb c,
          float alpha) {
    const float step = 1.6f;
    const int n = std::max(1, int(len / step));
    const float curve = rng.range(-0.02f, 0.02f);
    for (int i = 0; i < n; ++i) {
        float nx = x + step * std::cos(ang), ny = y + step * std::sin(ang);
        float t = float(i) / n;
        f.line(x, y, nx, ny, width * (1 - 0.55f * t), c, alpha);
        if (depth > 0 && i > 0 && i % 2 == 0) {
            float barb = len * 0.42f * (1 - t) * rng.range(0.7f, 1.2f);
            Rgb bc = mix(c, {150, 200, 245}, 0.35f);
            if (barb > 1.2f)
                for (float side : {-1.0f, 1.0f})
                    fern(f, rng, x, y, ang + side * rng.range(0.8f, 1.05f), barb, depth - 1,
                         std::max(0.7f, width * 0.6f), bc, alpha * 0.9f);
        }
        x = nx, y = ny, ang += curve;
    }
}

// A letter stroke turned to frost: a bright spine with feathered barbs leaning along it.
void frostStroke(Frost& f, Rng& rng, float ax, float ay, float bx, float by) {
    const Rgb spine{240, 248, 255}, barbs{175, 215, 250};
    float len = std::hypot(bx - ax, by - ay);
    if (len < 0.5f) { // a lone cell: a small six-armed crystal
        for (int a = 0; a < 6; ++a) {
            float ang = a * PI / 3 + PI / 6;
            fern(f, rng, ax, ay, ang, 4.5f, 1, 1.2f, barbs, 0.95f);
        }
        f.line(ax - 0.5f, ay, ax + 0.5f, ay, 3.2f, spine, 1.0f);
        return;
    }
    float ang = std::atan2(by - ay, bx - ax);
    for (float t = 0.8f; t < len; t += 2.4f) {
        float x = ax + (bx - ax) * t / len, y = ay + (by - ay) * t / len;
        for (float side : {-1.0f, 1.0f})
            fern(f, rng, x, y, ang + side * rng.range(0.55f, 0.8f), rng.range(4.0f, 8.5f), 2, 0.9f,
                 barbs, 0.75f);
    }
    f.line(ax, ay, bx, by, 1.9f, spine, 1.0f); // the spine over its barbs
}

} // namespace

Image makeCrewLogo() {
    Image img(CREW_W, CREW_H, 0);
    Rng rng(1224);
    // A faint warm glow behind the letters, gone well before the picture's edges so that no
    // edge of it shows against the black frame.
    for (int y = 0; y < CREW_H; ++y)
        for (int x = 0; x < CREW_W; ++x) {
            float dx = (x + 0.5f - 160) / 150, dy = (y + 0.5f - 42) / 34;
            float w = 1 - (dx * dx + dy * dy);
            if (w > 0) img.glow(x, y, {60, 40, 14}, 0.22f * w * w);
        }

    TextStyle small;
    small.originX = 2, small.originY = 2, small.stepX = 2.6f, small.stepY = 2.5f;
    small.core = 1.05f, small.outline = 1.0f, small.advance = 16;
    small.outlineColour = {6, 8, 20};
    small.fill = [](float y) { return mix({250, 252, 255}, {150, 175, 220}, y); };
    drawText(img, 13, 3, "the", small, 22);

    TextStyle big;
    big.originX = 3, big.originY = 3, big.stepX = 4.0f, big.stepY = 4.4f;
    big.core = 2.2f, big.outline = 1.5f, big.advance = 27.5f;
    big.outlineColour = {26, 12, 2};
    big.fill = gold;
    TextStyle shadow = big;
    shadow.outlineColour = {0, 0, 4};
    shadow.fill = [](float) { return Rgb{40, 20, 4}; };
    const float x = (CREW_W - 11 * big.advance) / 2 + 1, y = 24;
    drawText(img, x + 2.5f, y + 2.5f, "tinsel crew", shadow, 36);
    drawText(img, x, y, "tinsel crew", big, 36);
    snowCaps(img, 22, 60);

    tinselStrand(img, rng, 8, 312, 66, 3.5f);
    for (auto [bx, c] : {std::pair{40.0f, Rgb{220, 40, 50}},
                         {160.0f, Rgb{240, 185, 50}},
                         {280.0f, Rgb{60, 120, 230}}}) {
        float by = 66 + 3.5f * std::sin(bx * 0.045f) + 4;
        fillDisc(img, bx, by, 3.6f, scale(c, 0.45f));
        fillDisc(img, bx, by, 3.0f, c);
        fillDisc(img, bx - 1, by - 1, 1.0f, WHITE, 0.8f);
    }
    twinkle(img, x + 27.5f * 1 + 12, 28, 8, {255, 250, 220}, 0.9f);
    twinkle(img, x + 27.5f * 5 + 20, 57, 6, {255, 250, 220}, 0.7f);
    twinkle(img, x + 27.5f * 10 + 20, 26, 7, {255, 250, 220}, 0.8f);
    twinkle(img, 60, 10, 5, {220, 230, 255}, 0.6f);
    return img;
}

Image makePresents() {
    Image img(PRESENTS_W, PRESENTS_H, pack({10, 14, 34})), cover(PRESENTS_W, PRESENTS_H, 0);
    TextStyle s;
    s.originX = 1.6f, s.originY = 3.2f, s.stepX = 1.85f, s.stepY = 2.3f;
    s.core = 0.9f, s.outline = 0.85f, s.advance = 10.35f;
    s.outlineColour = {10, 14, 34};
    s.fill = [](float y) { return mix({255, 255, 255}, {140, 195, 250}, y); };
    keyedText(img, cover, 1.0f, 0, "presents", s, 20);
    keyOut(img, cover, 0.5f);
    return img;
}

Image makeFernLogo() {
    Frost f{Image(FERN_W, FERN_H, pack({24, 44, 80})), Image(FERN_W, FERN_H, 0)};
    Rng rng(2512);
    // Ferns creeping up from the bottom of the pane and in from its upper corners, fainter than
    // the letters so the word stands out of them.
    const Rgb faint{120, 170, 225};
    for (int i = 0; i < 11; ++i) {
        float x = 8 + i * 30.4f + rng.range(-6, 6);
        float ang = -PI / 2 + rng.range(-0.55f, 0.55f);
        fern(f, rng, x, FERN_H + 1, ang, rng.range(34, 50), 3, 1.6f, faint, 0.75f);
    }
    fern(f, rng, -1, -1, 0.75f, 40, 3, 1.6f, faint, 0.7f);
    fern(f, rng, FERN_W + 1, -1, PI - 0.75f, 40, 3, 1.6f, faint, 0.7f);
    fern(f, rng, -1, 70, -0.2f, 22, 2, 1.3f, faint, 0.6f);
    fern(f, rng, FERN_W + 1, 64, PI + 0.2f, 22, 2, 1.3f, faint, 0.6f);

    // The word: every stroke of every letter grown as a frosted spine. The font's W keeps its
    // middle strokes low, which grown to frost read as a small "w" inside a U: the title's W
    // is four strokes, its middle point reaching two thirds of the way up.
    const char* word = "tinselwave";
    const float advance = 31, stepX = 5.0f, stepY = 10.0f, left = 10, top = 30;
    const std::vector<std::array<float, 4>> tallW = {// a little wider than the cell
                                                     {-0.5f, 0, 0.8f, 6},
                                                     {0.8f, 6, 2, 2},
                                                     {2, 2, 3.2f, 6},
                                                     {3.2f, 6, 4.5f, 0}};
    for (int i = 0; word[i]; ++i)
        for (auto [ax, ay, bx, by] : word[i] == 'w' ? tallW : glyphStrokes(word[i]))
            frostStroke(f, rng, left + i * advance + ax * stepX, top + ay * stepY,
                        left + i * advance + bx * stepX, top + by * stepY);
    // Glints where the light catches the ice.
    for (auto [gx, gy] :
         {std::pair{14.0f, 31.0f}, {112.0f, 60.0f}, {205.0f, 90.0f}, {298.0f, 32.0f}}) {
        twinkle(f.colour, gx, gy, 7, {255, 255, 255}, 0.9f);
        twinkle(f.cover, gx, gy, 4, WHITE, 1.0f);
    }
    keyOut(f.colour, f.cover, 0.4f);
    return f.colour;
}

} // namespace art
