#include "content/art/pictures.h"

#include "content/art/font.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr float PI = 3.14159265f;

float smoothstep(float a, float b, float x) {
    float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

void fillRect(Image& img, int l, int t, int r, int b, Rgb c) {
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            if (img.inside(x, y)) img.at(x, y) = pack(c);
}

void verticalGradient(Image& img, Place p, Rgb top, Rgb bottom) {
    for (int y = p.top; y < p.bottom; ++y) {
        Rgb c = mix(top, bottom, float(y - p.top) / std::max(1, p.height() - 1));
        for (int x = p.left; x < p.right; ++x) img.at(x, y) = pack(c);
    }
}

// A fir in silhouette: stacked tiers with drooping ends, snow resting on each tier's upper edge.
void drawFir(Image& img, float cx, float base, float height, Rgb body, Rgb snow, float snowAmount) {
    const int tiers = std::max(3, int(height / 14));
    float width = height * 0.42f;
    for (int i = 0; i < tiers; ++i) {
        float t0 = float(i) / tiers, t1 = float(i + 1) / tiers;
        float top = base - height + height * t0 * 0.92f;
        float bottom = base - height + height * t1 * 0.92f + height * 0.06f;
        float half = width * (0.18f + 0.82f * t1) / 2;
        std::vector<std::pair<float, float>> poly{{cx, top},
                                                  {cx + half, bottom},
                                                  {cx + half * 0.55f, bottom - 1.5f},
                                                  {cx, bottom + 1},
                                                  {cx - half * 0.55f, bottom - 1.5f},
                                                  {cx - half, bottom}};
        fillPolygon(img, poly, body);
        if (snowAmount > 0) {
            drawLine(img, cx, top + 1, cx + half * 0.8f, bottom - 1.2f, 1.3f, snow, snowAmount);
            drawLine(img, cx, top + 1, cx - half * 0.8f, bottom - 1.2f, 1.3f, snow,
                     snowAmount * 0.6f);
        }
    }
    fillRect(img, int(cx - height * 0.03f), int(base - 2), int(cx + height * 0.03f + 1),
             int(base + 2), body);
}

// A silver frame around a place, with a gold bauble at each corner.
void drawFrame(Image& img, Place p) {
    const Rgb dark{3, 4, 12};
    for (int k = 1; k <= 4; ++k) {
        Rgb c = dark;
        if (k == 2) c = {200, 210, 235};
        if (k == 3) c = {120, 132, 168};
        for (int x = p.left - k; x < p.right + k; ++x) {
            float shine = 0.85f + 0.15f * std::sin(x * 0.09f);
            Rgb cc = k == 2 || k == 3 ? scale(c, shine) : c;
            img.at(x, p.top - k) = pack(cc);
            img.at(x, p.bottom - 1 + k) = pack(scale(cc, 0.8f));
        }
        for (int y = p.top - k; y < p.bottom + k; ++y) {
            img.at(p.left - k, y) = pack(c);
            img.at(p.right - 1 + k, y) = pack(scale(c, 0.85f));
        }
    }
    const Rgb gold{235, 180, 60};
    for (auto [x, y] : {std::pair{p.left - 3, p.top - 3},
                        {p.right + 2, p.top - 3},
                        {p.left - 3, p.bottom + 2},
                        {p.right + 2, p.bottom + 2}}) {
        fillDisc(img, x + 0.5f, y + 0.5f, 4.2f, {40, 22, 4});
        fillDisc(img, x + 0.5f, y + 0.5f, 3.4f, gold);
        fillDisc(img, x - 0.6f, y - 0.6f, 1.2f, {255, 245, 210});
    }
}

// A six-armed snow crystal.
void drawCrystal(Image& img, float cx, float cy, float r, Rgb c, float alpha) {
    for (int a = 0; a < 6; ++a) {
        float ang = a * PI / 3 + PI / 2;
        float ex = cx + r * std::cos(ang), ey = cy + r * std::sin(ang);
        drawLine(img, cx, cy, ex, ey, 1.1f, c, alpha);
        for (float f : {0.45f, 0.7f}) {
            float bx = cx + r * f * std::cos(ang), by = cy + r * f * std::sin(ang);
            float l = r * (f < 0.5f ? 0.32f : 0.22f);
            for (float side : {-1.0f, 1.0f}) {
                float ba = ang + side * PI / 4;
                drawLine(img, bx, by, bx + l * std::cos(ba), by + l * std::sin(ba), 1.0f, c, alpha);
            }
        }
    }
}

// A twinkle: a bright centre with four thin rays.
void drawSparkle(Image& img, float cx, float cy, float r, Rgb c, float strength) {
    drawGlow(img, cx, cy, r * 0.6f, c, strength);
    for (int a = 0; a < 4; ++a) {
        float ang = a * PI / 2;
        for (float t = 0; t < r; t += 0.5f)
            img.glow(int(cx + t * std::cos(ang)), int(cy + t * std::sin(ang)), c,
                     strength * (1 - t / r) * 0.8f);
    }
}

// The tinsel garland along the top edge: hanging loops of glittering strands with baubles.
void drawGarland(Image& img, Rng& rng, float x0, float x1, float y, int loops) {
    const Rgb strands[] = {{250, 215, 110}, {215, 225, 245}, {235, 90, 80}, {250, 200, 80}};
    const Rgb baubles[] = {{220, 40, 50}, {240, 185, 50}, {60, 120, 230}, {40, 170, 90}};
    float span = (x1 - x0) / loops;
    for (int l = 0; l < loops; ++l) {
        float a = x0 + l * span;
        for (float t = 0; t <= 1; t += 0.004f) {
            float x = a + t * span;
            float cy = y + 9 * std::sin(PI * t);
            for (int k = 0; k < 4; ++k) {
                float ang = rng.range(0, 2 * PI), len = rng.range(2.0f, 6.0f);
                Rgb c = strands[rng.next() % 4];
                drawLine(img, x, cy, x + len * std::cos(ang), cy + len * std::sin(ang), 0.8f, c,
                         rng.range(0.35f, 0.9f));
            }
        }
        float bx = a + span / 2, by = y + 9 + 7;
        drawLine(img, bx, y + 9, bx, by - 3, 0.8f, {200, 200, 200}, 0.7f);
        Rgb bc = baubles[l % 4];
        fillDisc(img, bx, by, 4.6f, scale(bc, 0.45f));
        fillDisc(img, bx, by, 3.9f, bc);
        fillDisc(img, bx - 1.3f, by - 1.3f, 1.3f, {255, 255, 255}, 0.8f);
    }
}

float hillLine(float x, float base, float amp, float seed) {
    return base -
           amp * (0.55f * std::sin(x * 0.011f + seed) + 0.3f * std::sin(x * 0.027f + seed * 2.1f) +
                  0.15f * std::sin(x * 0.061f + seed * 0.7f));
}

// The night over the forest inside the aurora panel: dark sky, a high ridge on the left with a
// tall fir, a low one on the right where the stars may shine, and a cabin with a lit window.
void drawAuroraScene(Image& img, Place p) {
    auto ground = [](float x) { // panel row of the ground at panel column x
        return 118 + 64 * std::pow(x / 199.0f, 0.85f) + 3 * std::sin(x * 0.09f);
    };
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            float t = y / 199.0f;
            Rgb sky = mix({1, 5, 14}, {8, 26, 46}, t * t);
            img.at(p.left + x, p.top + y) = pack(sky);
        }
    // A few faint fixed stars of the background, away from the twinkling ones' brightness.
    Rng rng(4242);
    for (int i = 0; i < 70; ++i) {
        float x = rng.range(2, 198), y = rng.range(2, 150);
        if (y > ground(x) - 4) continue;
        float b = rng.unit();
        img.glow(p.left + int(x), p.top + int(y), {170, 180, 210}, 0.15f + 0.35f * b * b);
    }
    // Snow: the ground, lit faintly blue, darker towards the bottom.
    for (int x = 0; x < p.width(); ++x) {
        float g = ground(float(x));
        for (int y = int(g); y < p.height(); ++y) {
            float depth = (y - g) / 60.0f;
            Rgb snow = mix({58, 70, 104}, {18, 22, 40}, std::min(depth, 1.0f));
            img.blend(p.left + x, p.top + y, snow, std::clamp(y + 1 - g, 0.0f, 1.0f));
        }
    }
    const Rgb firs{3, 5, 12}, rim{60, 80, 130};
    drawFir(img, p.left + 20, p.top + ground(20) + 6, 64, firs, rim, 0.5f);
    drawFir(img, p.left + 50, p.top + ground(50) + 6, 92, firs, rim, 0.6f);
    drawFir(img, p.left + 78, p.top + ground(78) + 4, 46, firs, rim, 0.45f);
    drawFir(img, p.left + 160, p.top + ground(160) + 4, 26, firs, rim, 0.4f);
    drawFir(img, p.left + 176, p.top + ground(176) + 3, 34, firs, rim, 0.45f);
    drawFir(img, p.left + 192, p.top + ground(192) + 3, 22, firs, rim, 0.4f);
    // The cabin: dark walls, a snowed roof and one warm window.
    float cx = 122, gy = ground(cx) + 3;
    float l = p.left + cx - 14, r = p.left + cx + 14, b = p.top + gy, t = b - 14;
    fillPolygon(img, {{l, t}, {r, t}, {r, b}, {l, b}}, {10, 8, 12});
    fillPolygon(img,
                {{l - 4, t + 1},
                 {p.left + cx, t - 11},
                 {r + 4, t + 1},
                 {r + 4, t + 3},
                 {p.left + cx, t - 8},
                 {l - 4, t + 3}},
                {150, 165, 200});
    fillRect(img, int(p.left + cx + 5), int(t - 12), int(p.left + cx + 9), int(t - 4), {10, 8, 12});
    drawGlow(img, p.left + cx - 4, b - 7, 16, {255, 170, 60}, 0.35f);
    fillRect(img, int(p.left + cx - 8), int(b - 10), int(p.left + cx - 1), int(b - 4),
             {255, 196, 96});
    fillRect(img, int(p.left + cx - 5), int(b - 10), int(p.left + cx - 4), int(b - 4),
             {90, 50, 20});
}

// The night sky with its stars and the moon in the top-right corner.
void paintSky(Image& img, Rng& rng) {
    // Night sky over the whole picture.
    for (int y = 0; y < 362; ++y) {
        float t = std::pow(y / 330.0f, 1.4f);
        Rgb c = mix({3, 4, 16}, {24, 32, 70}, std::min(t, 1.0f));
        for (int x = 0; x < 640; ++x) img.at(x, y) = pack(c);
    }
    for (int i = 0; i < 520; ++i) {
        float x = rng.range(0, 640), y = rng.range(0, 300), b = rng.unit();
        Rgb c = rng.unit() < 0.2f ? Rgb{255, 220, 190} : Rgb{200, 215, 255};
        img.glow(int(x), int(y), c, 0.12f + 0.6f * b * b * b);
        if (b > 0.93f) drawSparkle(img, x + 0.5f, y + 0.5f, 4, c, 0.35f);
    }
    // The moon in the top-right corner.
    drawGlow(img, 532, 30, 40, {90, 100, 140}, 0.35f);
    fillDisc(img, 532, 30, 12, {236, 234, 220});
    fillDisc(img, 528, 26, 3, {205, 203, 195}, 0.7f);
    fillDisc(img, 536, 35, 2.3f, {210, 208, 198}, 0.7f);
    fillDisc(img, 537, 23, 1.6f, {212, 210, 200}, 0.7f);
}

void paintSnowfields(Image& img) {
    // Far hills, then the near snowfields with firs on them.
    for (int x = 0; x < 640; ++x) {
        float far = hillLine(float(x), 292, 16, 1.3f);
        float near = hillLine(float(x), 322, 14, 4.1f);
        for (int y = 0; y < 362; ++y) {
            if (y >= far)
                img.blend(x, y, mix({26, 34, 66}, {16, 20, 44}, (y - far) / 40),
                          std::clamp(y + 1 - far, 0.0f, 1.0f));
            if (y >= near) {
                float d = (y - near) / 40.0f;
                Rgb snow = mix({150, 165, 205}, {70, 82, 122}, std::min(d, 1.0f));
                img.blend(x, y, snow, std::clamp(y + 1 - near, 0.0f, 1.0f));
            }
        }
    }
    const Rgb firBody{6, 10, 22}, firSnow{170, 190, 230};
    for (auto [x, h] : {std::pair{26.0f, 78.0f},
                        {58.0f, 58.0f},
                        {86.0f, 40.0f},
                        {556.0f, 46.0f},
                        {586.0f, 70.0f},
                        {618.0f, 88.0f},
                        {640.0f, 52.0f}}) {
        float base = hillLine(x, 322, 14, 4.1f) + 8;
        drawFir(img, x, base, h, firBody, firSnow, 0.55f);
    }
}

void paintSnowfall(Image& img, Rng& rng) {
    // Falling snow everywhere.
    for (int i = 0; i < 300; ++i) {
        float x = rng.range(0, 640), y = rng.range(0, 360);
        fillDisc(img, x, y, rng.range(0.5f, 1.5f), {230, 238, 255}, rng.range(0.25f, 0.8f));
    }
    drawCrystal(img, 452, 292, 9, {200, 220, 255}, 0.55f);
    drawCrystal(img, 612, 286, 6, {200, 220, 255}, 0.45f);
    drawCrystal(img, 560, 304, 5, {200, 220, 255}, 0.4f);
}

void paintBottomStrip(Image& img) {
    // The black strip at the bottom that holds the meter line and the exit label.
    for (int x = 0; x < 640; ++x) {
        img.at(x, 360) = pack({40, 50, 80});
        img.at(x, 361) = pack({12, 14, 26});
        for (int y = 362; y < 400; ++y) img.at(x, y) = 0;
    }
}

void paintTitle(Image& img, Rng& rng) {
    // The title, in gold tinsel, and the garland above it.
    drawGarland(img, rng, 96, 640, 1, 5);
    TextStyle logo;
    logo.originX = 3, logo.originY = 3, logo.stepX = 5.4f, logo.stepY = 5.0f;
    logo.core = 2.5f, logo.outline = 1.7f, logo.advance = 37;
    logo.outlineColour = {26, 12, 2};
    logo.fill = [](float y) {
        const Rgb top{255, 222, 110}, mid{240, 178, 56}, foot{178, 98, 18};
        return y < 0.5f ? mix(top, mid, y / 0.5f) : mix(mid, foot, (y - 0.5f) / 0.5f);
    };
    float lx = 15 + (390 - 37 * 10) / 2.0f + 3;
    drawGlow(img, 210, 36, 150, {70, 50, 20}, 0.25f);
    // A deep shadow under the letters lifts them off the sky.
    TextStyle shadow = logo;
    shadow.outlineColour = {0, 0, 6};
    shadow.fill = [](float) { return Rgb{40, 20, 4}; };
    drawText(img, lx + 3, 24, "tinselwave", shadow, 42);
    drawText(img, lx, 21, "tinselwave", logo, 42);
    // Snow settled on the letters: a soft white cap on the top edge of every stroke.
    for (int x = 15; x < 405; ++x) {
        for (int y = 14; y < 62; ++y) {
            Rgb c = rgb(img.at(x, y));
            if (c.r > 170 && c.g > 90 && c.b < 130) {
                float depth = 2.2f + 1.2f * std::sin(x * 0.37f) + 0.6f * std::sin(x * 1.3f);
                for (int k = -2; k < int(depth); ++k)
                    img.blend(x, y + k, {242, 247, 255}, k < 0 ? 0.35f * (k + 3) : 0.95f);
                break;
            }
        }
    }
    drawSparkle(img, lx + 37 * 1 + 14, 26, 9, {255, 250, 220}, 0.9f);
    drawSparkle(img, lx + 37 * 6 + 22, 56, 7, {255, 250, 220}, 0.7f);
    drawSparkle(img, lx + 37 * 9 + 26, 23, 8, {255, 250, 220}, 0.8f);
}

// The menu window, the scroll band, the aurora panel and the key help.
void paintPanels(Image& img) {
    // The menu window: deep blue glass with a faint crystal in it.
    verticalGradient(img, MENU_AREA, {9, 13, 36}, {14, 20, 50});
    drawCrystal(img, 300, 180, 70, {40, 56, 110}, 0.35f);
    drawFrame(img, MENU_AREA);

    // The scroll band: a darker strip so the frosty letters stand out.
    verticalGradient(img, SCROLL_AREA, {5, 8, 24}, {10, 15, 38});
    drawFrame(img, SCROLL_AREA);

    // The aurora panel: night sky over the forest.
    drawAuroraScene(img, AURORA_AREA);
    drawFrame(img, AURORA_AREA);
    TextStyle small;
    small.advance = 11;
    small.fill = [](float) { return Rgb{150, 178, 230}; };
    const char* caption = "northern lights";
    drawText(img, AURORA_AREA.left + (200 - textWidth(caption, small)) / 2 + 2, 258, caption, small,
             14);

    // Key help in the bottom strip, kept clear of the meter line and the exit label.
    TextStyle help = small;
    help.advance = 10;
    help.fill = [](float) { return Rgb{88, 104, 150}; };
    drawText(img, 6, 378, "enter play   l random   q meter   p pause   esc leave", help, 14);
}

} // namespace

Image makeMainPicture() {
    Image img(640, 400, 0);
    Rng rng(20261224);
    paintSky(img, rng);
    paintSnowfields(img);
    paintSnowfall(img, rng);
    paintBottomStrip(img);
    paintTitle(img, rng);
    paintPanels(img);
    return img;
}

Image makeIndicator(const Image& mainPicture, bool on) {
    Image img = mainPicture.crop(0, 0, INDICATOR_W, INDICATOR_H);
    // A dark plate so the label reads over the sky.
    for (int y = 0; y < INDICATOR_H; ++y)
        for (int x = 0; x < INDICATOR_W; ++x)
            img.blend(x, y, {4, 6, 18}, 0.75f * (1 - smoothstep(INDICATOR_W - 10, INDICATOR_W, x)));
    Rgb lamp = on ? Rgb{120, 255, 150} : Rgb{60, 30, 36};
    if (on) drawGlow(img, 9, 9, 9, {60, 200, 90}, 0.7f);
    fillDisc(img, 9, 9, 4.5f, {8, 10, 16});
    fillDisc(img, 9, 9, 3.6f, lamp);
    fillDisc(img, 8, 8, 1.2f, {255, 255, 255}, on ? 0.8f : 0.25f);
    TextStyle s;
    s.advance = 10;
    s.fill = [on](float) { return on ? Rgb{225, 240, 255} : Rgb{90, 100, 130}; };
    drawText(img, 16, 2, "random", s, 14);
    return img;
}

Image makeExitLabel(const Image& mainPicture) {
    Image img = mainPicture.crop(EXIT_X, EXIT_Y, EXIT_W, EXIT_H);
    TextStyle s;
    s.advance = 12;
    s.originX = 2.5f, s.stepX = 2.4f, s.stepY = 2.0f;
    s.core = 1.0f;
    s.outlineColour = {30, 6, 6};
    s.fill = [](float y) { return mix({255, 120, 100}, {200, 30, 40}, y); };
    drawText(img, (EXIT_W - 4 * 12) / 2.0f, 7, "exit", s, 16);
    return img;
}

Image makeElfMask(const Image& mainPicture) {
    const int ox = MENU_AREA.left, oy = MENU_AREA.top + ELF_WINDOW_Y;
    Image img = mainPicture.crop(ox, oy, ELF_W, ELF_H);
    Image cover(ELF_W, ELF_H, 0); // how much of each pixel the elf covers
    const Rgb full{255, 255, 255};
    auto disc = [&](float x, float y, float r, Rgb c) {
        fillDisc(img, x, y, r, c);
        fillDisc(cover, x, y, r, full);
    };
    auto poly = [&](std::vector<std::pair<float, float>> pts, Rgb c) {
        fillPolygon(img, pts, c);
        fillPolygon(cover, pts, full);
    };
    const Rgb skin{246, 200, 160}, skinShade{214, 160, 124}, hat{200, 30, 40},
        hatShade{140, 16, 28}, fur{240, 244, 250}, green{30, 140, 70};
    // Ears, then the face.
    poly({{30, 44}, {14, 30}, {22, 47}}, skinShade);
    poly({{70, 44}, {88, 30}, {78, 47}}, skinShade);
    disc(50, 48, 19, skin);
    // The hat: a red cone flopping to the right with a bell at its tip.
    poly({{30, 36}, {44, 14}, {62, 6}, {86, 8}, {70, 16}, {70, 36}}, hat);
    poly({{62, 6}, {86, 8}, {70, 16}}, hatShade);
    disc(88, 9, 5, {250, 210, 70});
    fillDisc(img, 86.5f, 7.5f, 1.6f, {255, 250, 220});
    poly({{27, 33}, {73, 33}, {74, 40}, {26, 40}}, fur);
    for (float x = 29; x < 72; x += 5) fillDisc(img, x, 40, 2.2f, fur);
    // Eyes, cheeks and a grin.
    for (float ex : {42.0f, 58.0f}) {
        fillDisc(img, ex, 49, 3.2f, {30, 20, 30});
        fillDisc(img, ex - 1, 48, 1.1f, {255, 255, 255});
    }
    drawGlow(img, 36, 56, 7, {240, 60, 60}, 0.35f);
    drawGlow(img, 64, 56, 7, {240, 60, 60}, 0.35f);
    for (float a = 0.25f; a <= 0.75f; a += 0.02f)
        fillDisc(img, 50 + 8 * std::cos(a * PI), 55 + 5 * std::sin(a * PI), 0.9f, {120, 40, 40});
    // Green mittens gripping the window's lower edge.
    disc(22, 60, 6, green);
    disc(78, 60, 6, green);
    fillDisc(img, 20, 58, 1.5f, {120, 220, 150}, 0.7f);
    fillDisc(img, 76, 58, 1.5f, {120, 220, 150}, 0.7f);
    // Where the elf covers less than half a pixel, the window shows through.
    for (int y = 0; y < ELF_H; ++y)
        for (int x = 0; x < ELF_W; ++x)
            if ((cover.at(x, y) & 0xff) < 128)
                img.at(x, y) = MAGENTA;
            else if (img.at(x, y) == MAGENTA)
                img.at(x, y) = 0xFE00FE;
    return img;
}

namespace {

// The violet night with stars twinkling by frame, the garland and the frost crystals.
void paintEndNight(Image& img, int frame) {
    Rng rng(1231);
    // Deep violet night fading to black at the foot.
    for (int y = 0; y < 400; ++y) {
        Rgb c = mix({16, 10, 40}, {0, 0, 4}, std::min(1.0f, y / 380.0f));
        for (int x = 0; x < 640; ++x) img.at(x, y) = pack(c);
    }
    for (int i = 0; i < 160; ++i) {
        float x = rng.range(0, 640), y = rng.range(0, 240), b = rng.unit();
        bool twinkle = (rng.next() & 1) == unsigned(frame);
        img.glow(int(x), int(y), {210, 215, 255}, (twinkle ? 0.9f : 0.3f) * (0.2f + 0.8f * b * b));
    }
    Rng tinsel(99);
    drawGarland(img, tinsel, 0, 640, 2, 6);
    drawCrystal(img, 70, 200, 16, {150, 170, 230}, 0.5f);
    drawCrystal(img, 575, 230, 12, {150, 170, 230}, 0.45f);
    drawCrystal(img, 140, 290, 9, {150, 170, 230}, 0.4f);
    drawCrystal(img, 505, 160, 8, {150, 170, 230}, 0.4f);
}

// The candle on its sill with the holly at its foot; `cx` is its centre line.
void paintCandle(Image& img, float cx, int frame) {
    // The last candle on a snowy sill.
    fillPolygon(img, {{0, 330}, {640, 330}, {640, 400}, {0, 400}}, {20, 22, 44});
    drawLine(img, 0, 330, 640, 330, 2, {90, 100, 150});
    drawGlow(img, cx, 208, 150, {120, 70, 20}, 0.45f);
    fillPolygon(img, {{cx - 18, 236}, {cx + 18, 236}, {cx + 18, 328}, {cx - 18, 328}},
                {220, 210, 190});
    fillPolygon(img, {{cx + 6, 236}, {cx + 18, 236}, {cx + 18, 328}, {cx + 6, 328}},
                {180, 168, 150});
    fillDisc(img, cx - 10, 246, 4, {235, 228, 210});
    fillPolygon(img, {{cx - 30, 326}, {cx + 30, 326}, {cx + 26, 334}, {cx - 26, 334}},
                {170, 130, 50});
    drawLine(img, cx, 236, cx + (frame ? 1.0f : -1.0f), 226, 1.6f, {30, 20, 20});
    // A sprig of holly at the candle's foot.
    const Rgb leaf{24, 110, 52}, leafDark{12, 64, 30}, berry{210, 30, 40};
    for (float side : {-1.0f, 1.0f}) {
        float bx = cx + side * 26;
        fillPolygon(img,
                    {{cx + side * 8, 326},
                     {bx - side * 2, 312},
                     {bx + side * 10, 316},
                     {bx + side * 4, 320},
                     {bx + side * 12, 326},
                     {bx, 328}},
                    leaf);
        drawLine(img, cx + side * 8, 326, bx + side * 10, 318, 1.0f, leafDark, 0.8f);
    }
    for (auto [bx, by] : {std::pair{cx - 6.0f, 322.0f}, {cx + 2.0f, 320.0f}, {cx + 8.0f, 323.0f}}) {
        fillDisc(img, bx, by, 3.4f, berry);
        fillDisc(img, bx - 1, by - 1, 1.0f, {255, 200, 200}, 0.8f);
    }
}

void paintFlame(Image& img, float cx, int frame) {
    // The flame leans one way, then the other.
    float lean = frame ? 3.0f : -2.5f, tall = frame ? 30.0f : 27.0f;
    drawGlow(img, cx + lean / 2, 212, 36, {255, 170, 60}, 0.6f);
    fillPolygon(img,
                {{cx - 7, 222},
                 {cx - 5, 212},
                 {cx + lean, 226 - tall},
                 {cx + 5, 212},
                 {cx + 7, 222},
                 {cx, 229}},
                {255, 190, 70});
    fillPolygon(
        img, {{cx - 3.5f, 222}, {cx + lean * 0.5f, 212 - tall * 0.4f}, {cx + 3.5f, 222}, {cx, 226}},
        {255, 250, 220});
}

void paintEndSnow(Image& img, int frame) {
    // Snow falling past, a little further on in the second frame.
    Rng snow(77);
    for (int i = 0; i < 140; ++i) {
        float x = snow.range(0, 640), y = snow.range(0, 330), r = snow.range(0.6f, 1.8f);
        y += frame * 4 * r;
        x += frame * 1.5f;
        if (y < 328) fillDisc(img, x, y, r, {225, 232, 255}, 0.8f);
    }
}

void paintEndWords(Image& img) {
    TextStyle big;
    big.originX = 3, big.originY = 3, big.stepX = 3.6f, big.stepY = 4.2f;
    big.core = 1.6f, big.outline = 1.4f, big.advance = 25;
    big.outlineColour = {20, 8, 2};
    big.fill = [](float y) { return mix({255, 244, 200}, {230, 160, 50}, y); };
    const char* line1 = "thank you for listening";
    drawText(img, (640 - textWidth(line1, big)) / 2, 48, line1, big, 34);
    TextStyle mid = big;
    mid.advance = 20, mid.stepX = 3.0f, mid.stepY = 2.8f, mid.core = 1.2f, mid.outline = 1.1f;
    mid.fill = [](float y) { return mix({235, 245, 255}, {140, 190, 255}, y); };
    const char* line2 = "and a happy new year";
    drawText(img, (640 - textWidth(line2, mid)) / 2, 104, line2, mid, 22);
    TextStyle foot = mid;
    foot.advance = 11, foot.stepX = 2.25f, foot.stepY = 1.85f, foot.core = 0.85f, foot.outline = 1;
    foot.fill = [](float) { return Rgb{110, 120, 170}; };
    const char* line3 = "tinselwave - a winter collection";
    drawText(img, (640 - textWidth(line3, foot)) / 2, 360, line3, foot, 14);
}

} // namespace

Image makeEndPicture(int frame) {
    Image img(640, 400, 0);
    const float cx = 320;
    paintEndNight(img, frame);
    paintCandle(img, cx, frame);
    paintFlame(img, cx, frame);
    paintEndSnow(img, frame);
    paintEndWords(img);
    return img;
}

std::vector<std::uint8_t> makeIcon(int size) {
    // A red glass bauble with a gold cap, drawn over a transparent ground: colour and cover are
    // painted alike, and the cover becomes the alpha. Drawn in a 32-unit square scaled to the
    // size asked for, so every size a desktop wants is painted sharp rather than stretched.
    const float s = float(size) / ICON_SIZE;
    Image img(size, size, 0), cover(size, size, 0);
    const Rgb full{255, 255, 255};
    auto disc = [&](float x, float y, float r, Rgb c) {
        fillDisc(img, x * s, y * s, r * s, c);
        fillDisc(cover, x * s, y * s, r * s, full);
    };
    disc(16, 19, 12, {120, 10, 20});
    fillDisc(img, 16 * s, 19 * s, 11 * s, {210, 30, 44});
    drawGlow(img, 12 * s, 15 * s, 9 * s, {255, 150, 150}, 0.5f);
    fillDisc(img, 11.5f * s, 14.5f * s, 2.2f * s, {255, 240, 240}, 0.9f);
    const int tinsel = std::max(1, int(s));
    for (float x = 6 * s; x <= 26 * s; x += 1) {
        const int y = int((19 + 3 * std::sin((x / s - 6) * 0.5f)) * s);
        for (int k = 0; k < tinsel; ++k) img.blend(int(x), y + k, {250, 210, 90}, 0.9f);
    }
    const std::vector<std::pair<float, float>> cap = {
        {12 * s, 4 * s}, {20 * s, 4 * s}, {20 * s, 8 * s}, {12 * s, 8 * s}};
    fillPolygon(img, cap, {230, 180, 60});
    fillPolygon(cover, cap, full);
    for (Image* layer : {&img, &cover}) {
        const Rgb c = layer == &img ? Rgb{200, 200, 210} : full;
        drawLine(*layer, 14 * s, 4 * s, 16 * s, 1 * s, 1.2f * s, c);
        drawLine(*layer, 18 * s, 4 * s, 16 * s, 1 * s, 1.2f * s, c);
    }
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint32_t a = cover.at(x, y) & 255;
            std::uint32_t p = (a << 24) | (a ? img.at(x, y) : 0);
            for (int k = 0; k < 4; ++k) out.push_back(std::uint8_t(p >> (8 * k)));
        }
    return out;
}

} // namespace art
