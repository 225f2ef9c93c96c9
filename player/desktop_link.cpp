// The MPRIS side of the player, on its tune control.
#include "player/desktop_link.h"

#include "audio/music.h"
#include "desktop/mpris.h"
#include "platform/window.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/shell.h"
#include "player/tune_control.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The installed icon as a file URL, found from where the program lies (share/icons beside
// lib/tinselwave); empty when the program does not run from an installation.
std::string iconUrl() {
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "";
    std::string path(exe, static_cast<std::size_t>(n));
    for (int up = 0; up < 3 && path.rfind('/') != std::string::npos; ++up)
        path.resize(path.rfind('/'));
    path += "/share/icons/hicolor/256x256/apps/tinselwave.png";
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return "";
    std::string url = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            url += hex;
        }
    }
    return url;
}

desktop::MediaState state() {
    static const std::string art = iconUrl();
    const NowPlaying n = now_playing();
    desktop::MediaState s;
    if (n.row >= 0) {
        s.status = n.status == NowPlaying::Playing  ? "Playing"
                   : n.status == NowPlaying::Paused ? "Paused"
                                                    : "Stopped";
        s.trackId = "/org/tinselwave/track/" + std::to_string(n.row);
        s.title = n.title;
        s.artist = n.group;
        s.album = menu_table().title ? menu_table().title : "";
        s.lengthUs = static_cast<std::int64_t>(n.lengthMs) * 1000;
        s.artUrl = art;
    }
    s.volume = music_volume();
    s.shuffle = menu.randomPlay != 0;
    // A tune chosen by hand repeats; random play goes on from tune to tune.
    s.loopStatus = menu.randomPlay ? "Playlist" : "Track";
    return s;
}

std::int64_t positionUs() {
    return now_playing().row >= 0 ? static_cast<std::int64_t>(music_time_ms()) * 1000 : 0;
}

const desktop::MediaControl control{
    state,
    positionUs,
    [] { platform::bringToFront(shell.window); },
    tune_quit,
    tune_play,
    [] { tune_pause(true); },
    [] { now_playing().status == NowPlaying::Playing ? tune_pause(true) : tune_play(); },
    tune_stop,
    [] { tune_step(1); },
    [] { tune_step(-1); },
    [](std::int64_t us) {
        const std::int64_t ms = tune_seek(static_cast<std::uint32_t>(us / 1000));
        return ms < 0 ? -1 : ms * 1000;
    },
    music_set_volume,
    tune_set_random,
    // Playlist: tune after tune, as random play does; Track (or None): the tune repeats.
    [](const std::string& status) { tune_set_random(status == "Playlist"); },
};

} // namespace

void desktop_link_start() {
    desktop::mprisStart(control);
}

void desktop_link_step() {
    desktop::mprisStep();
}

void desktop_link_stop() {
    desktop::mprisStop();
}
