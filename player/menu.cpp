#include "player/menu.h"

#include "audio/music.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"
#include "player/tune_control.h"
#include "visuals/aurora.h"
#include "visuals/fonts.h"
#include "visuals/spans.h"
#include "visuals/stars.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

Menu menu;

namespace {
visuals::GlyphTable menuGlyphs;
std::array<std::int32_t, 80> listFade{};

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

const MenuRow& row_at(int index) {
    // The cursor's lowest resting place is the all-zero row after the table.
    const MenuTable& t = menu_table();
    if (index < 0) index = 0;
    if (index > t.rowCount) index = t.rowCount;
    return t.rows[index];
}

int row_kind(int index) {
    return static_cast<int>(row_at(index).kind & 0xFF);
}

PtcColor magenta() {
    return PtcColor{1.0f, 0.0f, 1.0f};
}

// Hands a tune row's module to a switch; false when the row is no tune or its module is
// missing.
bool switch_to_row_tune(int index) {
    if (row_kind(index) != ROW_TUNE || !row_at(index).resource) return false;
    const bool accepted = !music_is_switching(); // else the request is dropped
    if (!start_tune(row_at(index).resource)) return false;
    if (accepted) menu.tuneRow = index;
    return true;
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
                               shell.pictures.menuList, 15 * n, MENU_SLOT * k);
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
    PtcArea column{MENU_MARKER_X, 0, MENU_MARKER_X + 14, MENU_STRIP_HEIGHT};
    ptc_surface_clear_color(shell.pictures.menuList, &key, &column);
    for (int k = 0; k < MENU_STRIP_SLOTS; ++k) {
        const std::size_t slot = static_cast<std::size_t>(top + k);
        if (slot >= strip.markers.size() || !strip.markers[slot]) continue;
        const int gx = visuals::glyphX(menuGlyphs, strip.markers[slot]);
        PtcArea from{gx, 1, gx + 14, 15};
        PtcArea to{MENU_MARKER_X, MENU_SLOT * k, MENU_MARKER_X + 14, MENU_SLOT * k + 16};
        ptc_surface_copy_area(shell.pictures.menuFont, shell.pictures.menuList, &from, &to);
    }
}

// The marker step of the list: the column is cleared over the slots around the cursor, and in
// 10 frames of every 31 the cursor row's marker is drawn beside it.
void step_marker(int q) {
    strip.markers.resize(static_cast<std::size_t>(menu_list_height() / MENU_SLOT), 0);
    for (int s = q + 1; s <= q + 13 && s < static_cast<int>(strip.markers.size()); ++s)
        strip.markers[static_cast<std::size_t>(s)] = 0;
    if (menu.markerCountdown != 0) {
        --menu.markerCountdown;
        const int kind = row_kind(q);
        const std::size_t slot = static_cast<std::size_t>(q + MENU_EMPTY_SLOTS);
        if (slot < strip.markers.size())
            strip.markers[slot] = kind == ROW_TUNE ? '?' : kind == ROW_SCROLLER ? '@' : ' ';
    }
    if (menu.markerBlink == 0) {
        menu.markerCountdown = 10;
        menu.markerBlink = 30;
    } else {
        --menu.markerBlink;
    }
}

void compose_menu_window() {
    PtcSurface* list = shell.pictures.menuList;
    PtcSurface* window = shell.pictures.menuWindow;
    PtcSurface* background = shell.pictures.menuBackground;
    const int q = menu.scroll / MENU_SLOT;
    const int ys = MENU_SLOT * (q + MENU_EMPTY_SLOTS) - menu.scroll;
    const bool selectable = row_kind(menu.selectedRow) != ROW_PLAIN;
    for (int j = 0; j < MENU_WINDOW_HEIGHT; ++j) {
        const std::uint32_t* l = surface_row(list, menu.scroll + j - MENU_SLOT * q);
        const std::uint32_t* b = surface_row(background, j);
        std::uint32_t* out = surface_row(window, j);
        if (j < 80) {
            visuals::keyedBlendSpan(b, l, out, MENU_LIST_WIDTH,
                                    static_cast<std::uint16_t>(listFade[j]),
                                    static_cast<std::uint16_t>(listFade[79 - j]));
        } else if (j < 140) {
            visuals::overlayKeyedSpan(b, l, out, MENU_LIST_WIDTH);
            if (selectable && j >= ys && j < ys + MENU_SLOT)
                for (int x = 0; x < MENU_LIST_WIDTH; ++x)
                    if (l[x] == MENU_TEXT) out[x] = MENU_HIGHLIGHT;
        } else {
            visuals::keyedBlendSpan(b, l, out, MENU_LIST_WIDTH,
                                    static_cast<std::uint16_t>(listFade[79 - (j - 140)]),
                                    static_cast<std::uint16_t>(listFade[j - 140]));
        }
    }
    // The elf sits over the window's lower left corner.
    PtcSurface* elf = shell.pictures.elfMask;
    if (elf) {
        const int rows = std::min(elf->height, 64), cols = std::min(elf->width, 104);
        for (int y = 0; y < rows && 155 + y < MENU_WINDOW_HEIGHT; ++y)
            visuals::keyedCopySpan(surface_row(elf, y), surface_row(window, 155 + y), cols);
    }
}

} // namespace

void reset_menu() {
    menu.~Menu();
    new (&menu) Menu();
}

int menu_list_height() {
    return (menu_table().rowCount + 2 * MENU_EMPTY_SLOTS) * MENU_SLOT;
}

const std::uint32_t* menu_list_row(int y) {
    const int at = y - MENU_SLOT * strip.top;
    if (strip.top < 0 || at < 0 || at >= MENU_STRIP_HEIGHT) return nullptr;
    return surface_row(shell.pictures.menuList, at);
}
int menu_scroll_limit() {
    return menu_list_height() - MENU_WINDOW_HEIGHT;
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

void play_row(int row) {
    if (!switch_to_row_tune(row)) return;
    menu.follow = 1;
    menu.playingRow = row;
}

void activate_selection() {
    switch (row_kind(menu.selectedRow)) {
    case ROW_TUNE:
        switch_to_row_tune(menu.selectedRow);
        break;
    case ROW_SCROLLER:
        if (row_at(menu.selectedRow).scrollText)
            scroller_set_text(row_at(menu.selectedRow).scrollText);
        break;
    default:
        break;
    }
}

int random_play_index(int count, platform::RandomSource random) {
    if (count <= 1) return 0;
    // Every entry with the same chance: draws from the top of the range that would favour the
    // low entries are drawn again (a few per cent of them at most; the bound only guards
    // against a source that never yields a usable draw).
    const int span = RANDOM_RANGE - RANDOM_RANGE % count;
    int r = random() & (RANDOM_RANGE - 1);
    for (int tries = 0; r >= span && tries < 64; ++tries) r = random() & (RANDOM_RANGE - 1);
    return r % count;
}

void random_play_start() {
    menu.randomStart = platform::timeGetTime();
    const MenuTable& t = menu_table();
    const int row = t.playList[random_play_index(t.playListLength, platform::libraryRandom)];
    play_row(row);
    menu.randomDuration = row_at(row).duration ? row_at(row).duration : UNKNOWN_TUNE_MS;
}

void random_play_tick() {
    if (platform::timeGetTime() - menu.randomStart > menu.randomDuration) random_play_start();
}

void menu_list_step() {
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
        menu.scroll -= 4 * dy;
        menu.follow = 0;
    } else if (menu.follow) {
        const std::int32_t target = menu.playingRow * MENU_SLOT;
        menu.scroll =
            std::clamp(menu.scroll, target - MENU_FOLLOW_GLIDE, target + MENU_FOLLOW_GLIDE);
        if (std::abs(menu.scroll - target) <= 3)
            menu.follow = 0;
        else
            menu.scroll += menu.scroll < target ? 4 : -4;
    }
    menu.scroll = std::clamp(menu.scroll, 0, menu_scroll_limit());

    const int q = menu.scroll / MENU_SLOT;
    menu.selectedRow = q;
    step_marker(q);
    draw_strip(q);
    compose_menu_window();
}

void menu_frame(PtcConsole* console, PtcSurface* workSurface) {
    const std::uint32_t deadline = platform::timeGetTime() + 33;
    if (menu.firstFrame) {
        menu.firstFrame = 0;
        play_row(menu_table().firstTuneRow);
    }
    if (menu.leaveRequest) {
        if (menu.leaveCountdown == 100)
            platform::startThread(music_fade_out_thread, &menu.fadeOutDone, 8000);
        if (menu.leaveCountdown == 0) {
            if (menu.fadeOutDone.load() == 0) {
                menu.leaveRequest = 0;
                screens.state = SCREEN_MENU_FADE_OUT;
                ptc_console_copy(console, workSurface);
                return;
            }
        } else {
            --menu.leaveCountdown;
        }
        PtcSurface* label = shell.pictures.exitLabel;
        if (menu.exitBlink) {
            copy_at(label, console, EXIT_LABEL_X, EXIT_LABEL_Y);
        } else {
            PtcColor black{0, 0, 0};
            PtcArea a{EXIT_LABEL_X, EXIT_LABEL_Y, EXIT_LABEL_X + label->width,
                      EXIT_LABEL_Y + label->height};
            ptc_console_clear_color_area(console, &black, &a);
        }
        if (menu.leaveCountdown % 10 == 0) menu.exitBlink ^= 1;
    }
    if (menu.windowRestored) {
        menu.windowRestored = 0;
        present_all_pages();
        // The repaint wiped the indicator and the meter line from every page: draw them on
        // each page again, without another random pick.
        menu.indicatorRepaint = shell.pageCount;
        if (!menu.meterOn) menu.meterRedraw = shell.pageCount;
    }
    tune_keep_random_clock();
    if (menu.indicatorRedraw != 0) {
        --menu.indicatorRedraw;
        copy_at(menu.randomPlay ? shell.pictures.indicatorOn : shell.pictures.indicatorOff, console,
                0, 0);
        if (menu.randomPlay && menu.indicatorRedraw == 0) random_play_start();
    } else {
        if (menu.indicatorRepaint != 0) {
            --menu.indicatorRepaint;
            copy_at(menu.randomPlay ? shell.pictures.indicatorOn : shell.pictures.indicatorOff,
                    console, 0, 0);
        }
        if (menu.randomPlay && !menu.paused) random_play_tick();
    }
    if (menu.meterOn) {
        level_meter_draw();
        PtcArea line{0, 0, 640, 1};
        ptc_surface_copy_area(shell.pictures.meterLine, console, &line, &meterArea);
    } else if (menu.meterRedraw != 0) {
        --menu.meterRedraw;
        PtcColor black{0, 0, 0};
        ptc_console_clear_color_area(console, &black, &meterArea);
    }
    scroller_step();
    PtcArea band{0, 0, BAND_WIDTH, BAND_HEIGHT};
    ptc_surface_copy_area(shell.pictures.scrollBand, console, &band, &scrollerArea);
    menu_list_step();
    PtcArea window{0, 0, MENU_LIST_WIDTH, MENU_WINDOW_HEIGHT};
    ptc_surface_copy_area(shell.pictures.menuWindow, console, &window, &menuArea);
    visuals::drawAuroraPanel(shell.pictures.auroraBackground, shell.pictures.auroraWork);
    PtcArea panel{0, 0, 200, 200};
    ptc_surface_copy_area(shell.pictures.auroraWork, console, &panel, &auroraArea);
    ptc_console_update(console);
    platform::waitUntil(deadline);
}
