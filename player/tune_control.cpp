// The tune control shared by the keys and the desktop's media controls.
#include "player/tune_control.h"

#include "audio/music.h"
#include "platform/clock.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/shell.h"

namespace {

bool playing_menu_tune() {
    return screens.state == SCREEN_MENU && music_is_active();
}

// The play-list entry of a row, or -1.
int play_list_index(int row) {
    const MenuTable& t = menu_table();
    for (int i = 0; i < t.playListLength; ++i)
        if (t.playList[i] == row) return i;
    return -1;
}

// A row's title from its text: what stands before the dots and the time.
std::string title_from_row(const char* text) {
    std::string s = text ? text : "";
    std::size_t end = s.rfind('.');
    while (end != std::string::npos && end > 0 && s[end - 1] == '.') --end;
    s = s.substr(0, end == std::string::npos ? s.size() : end);
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first);
}

} // namespace

void tune_pause(bool paused) {
    if (!music_is_active()) return;
    music_pause(paused ? 1 : 0);
    if (!paused) menu.stopped = false;
    tune_keep_random_clock();
}

void tune_toggle_pause() {
    tune_pause(!music_is_paused());
}

void tune_stop() {
    if (!music_is_active()) return;
    music_pause(1);
    music_seek(0);
    menu.stopped = true;
    tune_keep_random_clock();
}

void tune_play() {
    if (music_is_active()) {
        tune_pause(false);
    } else if (screens.state == SCREEN_MENU && menu.tuneRow >= 0) {
        play_row(menu.tuneRow);
    }
}

void tune_step(int direction) {
    const MenuTable& t = menu_table();
    if (screens.state != SCREEN_MENU || t.playListLength == 0) return;
    int i = play_list_index(menu.tuneRow);
    i = i < 0 ? (direction > 0 ? 0 : t.playListLength - 1)
              : (i + direction % t.playListLength + t.playListLength) % t.playListLength;
    play_row(t.playList[i]);
}

void tune_set_random(bool on) {
    if (screens.state != SCREEN_MENU || (menu.randomPlay != 0) == on) return;
    menu.randomPlay ^= 1;
    menu.indicatorRedraw = shell.pageCount;
}

std::int64_t tune_seek(std::uint32_t ms) {
    if (!playing_menu_tune()) return -1;
    return music_seek(ms);
}

void tune_quit() {
    screens.quitRequested = true;
    if (screens.state == SCREEN_MENU) menu.leaveRequest = 1;
}

void tune_keep_random_clock() {
    const bool paused = music_is_paused() != 0;
    if (paused && !menu.paused) {
        menu.paused = true;
        menu.pausedAt = platform::timeGetTime();
    } else if (!paused && menu.paused) {
        menu.paused = false;
        menu.randomStart += platform::timeGetTime() - menu.pausedAt;
    }
    if (!paused) menu.stopped = false;
}

NowPlaying now_playing() {
    NowPlaying n;
    const MenuTable& t = menu_table();
    if (!playing_menu_tune() || menu.tuneRow < 0 || menu.tuneRow >= t.rowCount) return n;
    n.row = menu.tuneRow;
    n.title = t.tuneTitle ? t.tuneTitle(n.row) : title_from_row(t.rows[n.row].text);
    for (int r = n.row; r >= 0; --r)
        if (t.rows[r].header) {
            n.group = title_from_row(t.rows[r].text);
            break;
        }
    n.lengthMs = t.rows[n.row].duration;
    n.status = menu.stopped        ? NowPlaying::Stopped
               : music_is_paused() ? NowPlaying::Paused
                                   : NowPlaying::Playing;
    return n;
}
