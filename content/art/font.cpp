#include "content/art/font.h"

#include <array>
#include <cctype>
#include <map>
#include <vector>

namespace art {

namespace {

// Each design is 5 columns wide; rows 0..6 are the capital height, row 7 the descender. '#' is a
// lit cell; '+' a lit cell of a diagonal stroke, joined only to its diagonal neighbours.
struct Design {
    char c;
    const char* rows[8];
};

// clang-format off
const Design DESIGNS[] = {
    {'0', {".###.", "#...#", "#...#", "#.#.#", "#...#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...+.", "..+..", ".+...", "#####"}},
    {'3', {".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..+#.", ".+.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...+.", "..+..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..+.", "#.+..", "#+...", "#.+..", "#..+.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "#+.+#", "#.+.#", "#...#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#+..#", "#.+.#", "#..+#", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.+.#", "#..+.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.+..", "#..+.", "#...#"}},
    {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".+.+.", "..+.."}},
    {'W', {"#...#", "#...#", "#...#", "#...#", "#.+.#", "#+.+#", "#...#"}},
    {'X', {"#...#", "#...#", ".+.+.", "..+..", ".+.+.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".+.+.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...+.", "..+..", ".+...", "#....", "#####"}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'>', {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."}},
    {'<', {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
    {',', {".....", ".....", ".....", ".....", ".....", "..#..", "..#..", ".#..."}},
    {':', {".....", ".....", "..#..", ".....", ".....", "..#..", "....."}},
    {';', {".....", ".....", "..#..", ".....", ".....", "..#..", "..#..", ".#..."}},
    {'"', {".#.#.", ".#.#.", ".....", ".....", ".....", ".....", "....."}},
    {'/', {"....#", "....#", "...+.", "..+..", ".+...", "#....", "#...."}},
    {'*', {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},
    {'@', {".###.", "#...#", "#.###", "#.#.#", "#.###", "#....", ".####"}},
    {'#', {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},
    {'$', {"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."}},
    {'%', {"##..#", "##..#", "...#.", "..#..", ".#...", "#..##", "#..##"}},
    {'^', {"..#..", ".#.#.", "#...#", ".....", ".....", ".....", "....."}},
    {'~', {".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."}},
    {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'=', {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};
// clang-format on

struct Segment {
    float ax, ay, bx, by; // grid units
};

// Joins lit cells into strokes: every cell is a dot, orthogonal neighbours are joined, and
// diagonal neighbours too when no orthogonal path already links them (keeps corners round).
std::vector<Segment> strokes(const Design& d) {
    auto cell = [&](int x, int y) {
        if (x < 0 || x > 4 || y < 0 || y > 7 || !d.rows[y]) return '.';
        return d.rows[y][x];
    };
    auto on = [&](int x, int y) { return cell(x, y) != '.'; };
    auto solid = [&](int x, int y) { return cell(x, y) == '#'; };
    auto diagonal = [&](int x, int y, int nx, int ny) {
        if (!on(nx, ny)) return false;
        if (cell(x, y) == '+' || cell(nx, ny) == '+') return true;
        return !on(nx, y) && !on(x, ny);
    };
    std::vector<Segment> out;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 5; ++x) {
            if (!on(x, y)) continue;
            float fx = float(x), fy = float(y);
            out.push_back({fx, fy, fx, fy});
            if (solid(x, y) && solid(x + 1, y)) out.push_back({fx, fy, fx + 1, fy});
            if (solid(x, y) && solid(x, y + 1)) out.push_back({fx, fy, fx, fy + 1});
            if (diagonal(x, y, x + 1, y + 1)) out.push_back({fx, fy, fx + 1, fy + 1});
            if (diagonal(x, y, x - 1, y + 1)) out.push_back({fx, fy, fx - 1, fy + 1});
        }
    return out;
}

const std::map<char, std::vector<Segment>>& glyphs() {
    static const std::map<char, std::vector<Segment>> table = [] {
        std::map<char, std::vector<Segment>> t;
        for (const Design& d : DESIGNS) t[d.c] = strokes(d);
        return t;
    }();
    return table;
}

const std::vector<Segment>* glyphOf(char c) {
    char u = char(std::toupper(static_cast<unsigned char>(c)));
    auto it = glyphs().find(u);
    return it == glyphs().end() ? nullptr : &it->second;
}

// Coverage of the stroke core and of the core plus rim for one pixel, 4 x 4 samples.
struct Coverage {
    float core = 0, rim = 0;
};

Coverage coverage(const std::vector<Segment>& segs, const TextStyle& s, float gx, float gy,
                  float px, float py) {
    int nCore = 0, nRim = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            float x = px + (sx + 0.5f) / 4, y = py + (sy + 0.5f) / 4;
            float best = 1e9f;
            for (const Segment& g : segs)
                best = std::min(best, distanceToSegment(x, y, gx + s.originX + g.ax * s.stepX,
                                                        gy + s.originY + g.ay * s.stepY,
                                                        gx + s.originX + g.bx * s.stepX,
                                                        gy + s.originY + g.by * s.stepY));
            nCore += best <= s.core;
            nRim += best <= s.core + s.outline;
        }
    return {nCore / 16.0f, nRim / 16.0f};
}

// The row markers of the menu font, drawn with the same rim as the letters.
void drawMarker(Image& img, int x0, int y0, bool tune, const TextStyle& s) {
    std::vector<std::pair<float, float>> poly;
    Rgb colour;
    if (tune) { // a small play arrow pointing back at the row's text
        poly = {{11.5f, 2.0f}, {11.5f, 12.0f}, {3.0f, 7.0f}};
        colour = {240, 190, 60};
    } else { // a diamond for the texts
        poly = {{7.0f, 1.5f}, {12.0f, 7.0f}, {7.0f, 12.5f}, {2.0f, 7.0f}};
        colour = {140, 220, 255};
    }
    auto inside = [&](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
            auto [xi, yi] = poly[i];
            auto [xj, yj] = poly[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
    auto edge = [&](float x, float y) {
        float best = 1e9f;
        for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
            best = std::min(best, distanceToSegment(x, y, poly[j].first, poly[j].second,
                                                    poly[i].first, poly[i].second));
        return best;
    };
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x) {
            int nCore = 0, nRim = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    float px = x + (sx + 0.5f) / 4, py = y + (sy + 0.5f) / 4;
                    bool in = inside(px, py);
                    nCore += in;
                    nRim += in || edge(px, py) <= s.outline;
                }
            if (nRim < 8 && nCore == 0) continue;
            img.at(x0 + x, y0 + y) = pack(mix(s.outlineColour, colour, nCore / 16.0f));
        }
}

TextStyle menuStyle() {
    TextStyle s;
    s.originX = 2.5f, s.originY = 1.3f, s.stepX = 2.25f, s.stepY = 1.85f;
    s.core = 0.85f, s.outline = 1.0f;
    s.outlineColour = {12, 16, 40};
    return s; // pure white letters: the player recolours exactly 0xffffff
}

TextStyle scrollStyle() {
    TextStyle s;
    s.originX = 2.3f, s.originY = 3.0f, s.stepX = 2.35f, s.stepY = 3.4f;
    s.core = 1.25f, s.outline = 1.1f;
    s.outlineColour = {8, 14, 44};
    // Frost: white at the top of the letters, through ice blue, to a deeper blue at the foot.
    s.fill = [](float y) {
        const Rgb top{255, 255, 255}, mid{170, 225, 255}, foot{90, 150, 255};
        return y < 0.45f ? mix(top, mid, y / 0.45f) : mix(mid, foot, (y - 0.45f) / 0.55f);
    };
    return s;
}

Image makeFont(std::string_view cells, int height, const TextStyle& s, bool markers) {
    Image img(int(cells.size()) * CELL_PITCH, height, MAGENTA);
    for (size_t i = 0; i < cells.size(); ++i) {
        char c = cells[i];
        int x = int(i) * CELL_PITCH;
        if (markers && (c == '?' || c == '@')) {
            drawMarker(img, x, 1, c == '?', s);
            continue;
        }
        if (c == '_') continue; // the cell no character uses stays empty
        drawKeyedGlyph(img, x, 1, 14, height - 1, c, s);
    }
    return img;
}

} // namespace

bool hasGlyph(char c) {
    return glyphOf(c) != nullptr;
}

void drawKeyedGlyph(Image& img, int x0, int y0, int w, int h, char c, const TextStyle& s) {
    const std::vector<Segment>* segs = glyphOf(c);
    if (!segs || segs->empty()) return;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Coverage cv = coverage(*segs, s, 0, 0, float(x), float(y));
            // Half-covered rim pixels belong to the glyph; the rest stay transparent, so no
            // stroke colour ever meets the key colour.
            if (cv.rim < 0.5f && cv.core == 0) continue;
            Rgb fill = s.fill((y + 0.5f) / h);
            // A pixel mostly inside the stroke is the stroke's own colour, so every glyph has
            // pixels of exactly the fill colour (the player recolours the menu font's white).
            float core = std::min(1.0f, cv.core / 0.75f);
            img.at(x0 + x, y0 + y) = pack(mix(s.outlineColour, fill, core));
        }
}

std::vector<std::array<float, 4>> glyphStrokes(char c) {
    std::vector<std::array<float, 4>> out;
    if (const std::vector<Segment>* segs = glyphOf(c))
        for (const Segment& g : *segs) out.push_back({g.ax, g.ay, g.bx, g.by});
    return out;
}

float textWidth(std::string_view text, const TextStyle& s) {
    return text.size() * s.advance;
}

void drawText(Image& img, float x, float y, std::string_view text, const TextStyle& s,
              float boxHeight) {
    for (size_t i = 0; i < text.size(); ++i) {
        const std::vector<Segment>* segs = glyphOf(text[i]);
        if (!segs || segs->empty()) continue;
        float gx = x + i * s.advance;
        float pad = s.core + s.outline + 1;
        int x0 = int(std::floor(gx + s.originX - pad)),
            x1 = int(std::ceil(gx + s.originX + 4 * s.stepX + pad));
        int y0 = int(std::floor(y + s.originY - pad)),
            y1 = int(std::ceil(y + s.originY + 7 * s.stepY + pad));
        for (int py = y0; py <= y1; ++py)
            for (int px = x0; px <= x1; ++px) {
                if (!img.inside(px, py)) continue;
                Coverage cv = coverage(*segs, s, gx, y, float(px), float(py));
                if (cv.rim == 0) continue;
                img.blend(px, py, s.outlineColour, cv.rim);
                img.blend(px, py, s.fill((py + 0.5f - y) / boxHeight), cv.core);
            }
    }
}

Image makeMenuFont() {
    return makeFont(MENU_FONT_CELLS, MENU_FONT_HEIGHT, menuStyle(), true);
}

Image makeScrollFont() {
    return makeFont(SCROLL_FONT_CELLS, SCROLL_FONT_HEIGHT, scrollStyle(), false);
}

} // namespace art
