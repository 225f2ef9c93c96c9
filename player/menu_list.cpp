// The menu's tune list: the rows of the table drawn into a strip of the slots the window can
// show, the blinking row marker beside the cursor, and the menu window composed over its
// background with the fading edges, the highlight and the elf. Reads the menu's list state,
// the table (menu_table()) and the shell's list pictures.
#include "player/menu.h"

#include "player/menu_table.h"
#include "player/shell.h"
#include "visuals/fonts.h"
#include "visuals/spans.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The window's rows: the list fades in over the first LIST_FADE_ROWS, shows plainly in the
// middle, and fades out over as many at the bottom.
constexpr int LIST_FADE_ROWS = 80;
constexpr int PLAIN_ROWS_END = MENU_WINDOW_HEIGHT - LIST_FADE_ROWS; // 140
// The elf's picture over the window's lower left corner.
constexpr int ELF_Y = 155, ELF_WIDTH = 104, ELF_HEIGHT = 64;
// Each step clears the marker column over the slots below the cursor's: 13 of them.
constexpr int MARKER_CLEARED_SLOTS = 13;
// The marker shows for 10 frames of every 31.
constexpr int MARKER_SHOWN_FRAMES = 10, MARKER_PAUSE_FRAMES = 30;
// Mouse and arrow moves scroll 4 list rows a pixel; following the playing row glides 4 a frame.
constexpr int SCROLL_PER_PIXEL = 4, FOLLOW_STEP = 4;
constexpr int GLYPH_ROWS = 14;

visuals::GlyphTable menuGlyphs;
std::array<std::int32_t, LIST_FADE_ROWS> listFade{};

// The part of the list the window can show: slots top .. top + 14 of the list, drawn for one
// version of one table. The marker column remembers per slot the marker last drawn there (0:
// none), as one list picture of the whole table would keep it.
struct ListStrip {
    int top = -1;
    const MenuTable* table = nullptr;
    std::uint32_t version = 0;
    std::vector<std::uint8_t> markers;
};
ListStrip strip;

PtcColor magenta() {
    return PtcColor{1.0f, 0.0f, 1.0f};
}

// The text of the slots top .. top + 14 into the strip.
void draw_strip_text(int top) {
    const MenuTable& t = menu_table();
    PtcColor key = magenta();
    ptc_surface_clear_color(shell.pictures.menuList, &key);
    for (int k = 0; k < MENU_STRIP_SLOTS; ++k) {
        const int i = top + k - MENU_EMPTY_SLOTS;
        if (i < 0 || i >= t.rowCount) continue;
        const MenuRow& r = t.rows[i];
        const PtcSurface* glyphs = r.header ? shell.pictures.menuFontCopy : shell.pictures.menuFont;
        for (int n = 0; n < MENU_LINE_LENGTH && r.text && r.text[n]; ++n)
            visuals::drawGlyph(glyphs, menuGlyphs, static_cast<unsigned char>(r.text[n]),
                               shell.pictures.menuList, visuals::GLYPH_CELL * n, MENU_SLOT * k);
    }
}

// Brings the strip to slots top .. top + 14 of the table as it is, markers included.
void draw_strip(int top) {
    const MenuTable& t = menu_table();
    if (strip.top != top || strip.table != &t || strip.version != t.version) {
        draw_strip_text(top);
        strip.top = top;
        strip.table = &t;
        strip.version = t.version;
    }
    PtcColor key = magenta();
    PtcArea column{MENU_MARKER_X, 0, MENU_MARKER_X + visuals::GLYPH_WIDTH, MENU_STRIP_HEIGHT};
    ptc_surface_clear_color(shell.pictures.menuList, &key, &column);
    for (int k = 0; k < MENU_STRIP_SLOTS; ++k) {
        const std::size_t slot = static_cast<std::size_t>(top + k);
        if (slot >= strip.markers.size() || !strip.markers[slot]) continue;
        // The 14-row glyph stretched over the slot's 16 rows.
        const int gx = visuals::glyphX(menuGlyphs, strip.markers[slot]);
        PtcArea from{gx, 1, gx + visuals::GLYPH_WIDTH, 1 + GLYPH_ROWS};
        PtcArea to{MENU_MARKER_X, MENU_SLOT * k, MENU_MARKER_X + visuals::GLYPH_WIDTH,
                   MENU_SLOT * (k + 1)};
        ptc_surface_copy_area(shell.pictures.menuFont, shell.pictures.menuList, &from, &to);
    }
}

// The marker step of the list: the column is cleared over the slots around the cursor, and in
// 10 frames of every 31 the cursor row's marker is drawn beside it.
void step_marker(int q) {
    strip.markers.resize(static_cast<std::size_t>(menu_list_height() / MENU_SLOT), 0);
    for (int s = q + 1; s <= q + MARKER_CLEARED_SLOTS && s < static_cast<int>(strip.markers.size());
         ++s)
        strip.markers[static_cast<std::size_t>(s)] = 0;
    if (menu.markerCountdown != 0) {
        --menu.markerCountdown;
        const int kind = menu_row_kind(q);
        const std::size_t slot = static_cast<std::size_t>(q + MENU_EMPTY_SLOTS);
        if (slot < strip.markers.size())
            strip.markers[slot] = kind == ROW_TUNE ? '?' : kind == ROW_SCROLLER ? '@' : ' ';
    }
    if (menu.markerBlink == 0) {
        menu.markerCountdown = MARKER_SHOWN_FRAMES;
        menu.markerBlink = MARKER_PAUSE_FRAMES;
    } else {
        --menu.markerBlink;
    }
}

// One window row: faded, plain with the highlight, or faded out.
void compose_row(int j, const std::uint32_t* l, const std::uint32_t* b, std::uint32_t* out,
                 bool highlighted) {
    if (j < LIST_FADE_ROWS) {
        visuals::keyedBlendSpan(b, l, out, MENU_LIST_WIDTH, static_cast<std::uint16_t>(listFade[j]),
                                static_cast<std::uint16_t>(listFade[LIST_FADE_ROWS - 1 - j]));
    } else if (j < PLAIN_ROWS_END) {
        visuals::overlayKeyedSpan(b, l, out, MENU_LIST_WIDTH);
        if (highlighted)
            for (int x = 0; x < MENU_LIST_WIDTH; ++x)
                if (l[x] == MENU_TEXT) out[x] = MENU_HIGHLIGHT;
    } else {
        const int k = j - PLAIN_ROWS_END;
        visuals::keyedBlendSpan(b, l, out, MENU_LIST_WIDTH,
                                static_cast<std::uint16_t>(listFade[LIST_FADE_ROWS - 1 - k]),
                                static_cast<std::uint16_t>(listFade[k]));
    }
}

void compose_menu_window() {
    PtcSurface* window = shell.pictures.menuWindow;
    const int q = menu.scroll / MENU_SLOT;
    // The cursor row's top in the window: 97 .. 112.
    const int ys = MENU_SLOT * (q + MENU_EMPTY_SLOTS) - menu.scroll;
    const bool selectable = menu_row_kind(menu.selectedRow) != ROW_PLAIN;
    for (int j = 0; j < MENU_WINDOW_HEIGHT; ++j)
        compose_row(j, surface_row(shell.pictures.menuList, menu.scroll + j - MENU_SLOT * q),
                    surface_row(shell.pictures.menuBackground, j), surface_row(window, j),
                    selectable && j >= ys && j < ys + MENU_SLOT);
    PtcSurface* elf = shell.pictures.elfMask;
    if (elf) {
        const int rows = std::min(elf->height, ELF_HEIGHT), cols = std::min(elf->width, ELF_WIDTH);
        for (int y = 0; y < rows && ELF_Y + y < MENU_WINDOW_HEIGHT; ++y)
            visuals::keyedCopySpan(surface_row(elf, y), surface_row(window, ELF_Y + y), cols);
    }
}

// The list's own moves: Page keys and Home and End, the mouse and arrows, or the glide towards
// the playing row; then the clamp to the list's ends.
void move_list() {
    if (!menu.mouseSeen) {
        menu.previousMouseY = menu.mouseY;
        menu.mouseSeen = true;
    }
    const std::int32_t dy = menu.previousMouseY - menu.mouseY;
    menu.previousMouseY = menu.mouseY;
    if (menu.scrollBy != 0) {
        menu.scroll = std::clamp(menu.scroll + menu.scrollBy, 0, menu_scroll_limit());
        menu.scrollBy = 0;
        menu.follow = 0;
    }
    if (dy != 0) {
        menu.scroll -= SCROLL_PER_PIXEL * dy;
        menu.follow = 0;
    } else if (menu.follow) {
        const std::int32_t target = menu.playingRow * MENU_SLOT;
        menu.scroll =
            std::clamp(menu.scroll, target - MENU_FOLLOW_GLIDE, target + MENU_FOLLOW_GLIDE);
        if (std::abs(menu.scroll - target) < FOLLOW_STEP)
            menu.follow = 0;
        else
            menu.scroll += menu.scroll < target ? FOLLOW_STEP : -FOLLOW_STEP;
    }
    menu.scroll = std::clamp(menu.scroll, 0, menu_scroll_limit());
}

} // namespace

const MenuRow& menu_row(int index) {
    // The cursor's lowest resting place is the all-zero row after the table.
    const MenuTable& t = menu_table();
    return t.rows[std::clamp(index, 0, t.rowCount)];
}

int menu_row_kind(int index) {
    return static_cast<int>(menu_row(index).kind & 0xFF);
}

int menu_list_height() {
    return (menu_table().rowCount + 2 * MENU_EMPTY_SLOTS) * MENU_SLOT;
}

int menu_scroll_limit() {
    return menu_list_height() - MENU_WINDOW_HEIGHT;
}

const std::uint32_t* menu_list_row(int y) {
    const int at = y - MENU_SLOT * strip.top;
    if (strip.top < 0 || at < 0 || at >= MENU_STRIP_HEIGHT) return nullptr;
    return surface_row(shell.pictures.menuList, at);
}

void menu_list_prerender() {
    menuGlyphs = visuals::makeMenuGlyphTable();
    listFade = visuals::makeListFadeTable();
    PtcSurface* font = shell.pictures.menuFont;
    for (int y = 0; y < font->height; ++y) {
        std::uint32_t* p = surface_row(font, y);
        for (int x = 0; x < font->width; ++x)
            if (p[x] == MENU_HEADER_TEXT) p[x] = MENU_TEXT;
    }
    strip = ListStrip{};
    PtcColor key = magenta();
    ptc_surface_clear_color(shell.pictures.menuList, &key);
}

void menu_list_step() {
    move_list();
    const int q = menu.scroll / MENU_SLOT;
    menu.selectedRow = q;
    step_marker(q);
    draw_strip(q);
    compose_menu_window();
}
