#pragma once
// The disk as a media player of the desktop: the MPRIS 2 interfaces on the session bus, through
// which desktops route media keys, "now playing" panels and phone or lock-screen controls. This
// layer speaks the protocol only; every request goes to the player through MediaControl, and
// what the player shows comes back through it once a step, on the player's own thread.
#include <cstdint>
#include <string>

namespace desktop {

// What the player shows now.
struct MediaState {
    std::string status = "Stopped"; // "Playing", "Paused" or "Stopped"
    std::string trackId;            // an object path; empty when no tune plays
    std::string title, artist, album, artUrl;
    std::int64_t lengthUs = 0; // 0 when unknown
    double volume = 1.0;
    bool shuffle = false;
    std::string loopStatus = "None";
    bool operator==(const MediaState&) const = default;
};

// What the desktop may ask of the player. Every member must be set.
struct MediaControl {
    MediaState (*state)();
    std::int64_t (*positionUs)(); // the position heard now
    void (*raise)();
    void (*quit)();
    void (*play)();
    void (*pause)();
    void (*playPause)();
    void (*stop)();
    void (*next)();
    void (*previous)();
    // Moves to a position; the position reached, or -1 when the tune cannot be moved in.
    std::int64_t (*seekTo)(std::int64_t us);
    void (*setVolume)(double volume);
    void (*setShuffle)(bool on);
    void (*setLoopStatus)(const std::string& status);
};

inline constexpr const char* MPRIS_NAME = "org.mpris.MediaPlayer2.tinselwave";

// Connects to the session bus and takes the name; false, with nothing else done, when there is
// no session bus or the name is taken.
bool mprisStart(const MediaControl& control, const char* busName = MPRIS_NAME);
// Answers the requests that wait, then tells the bus what changed (PropertiesChanged, and
// Seeked when the position jumped). Cheap when nothing happens; safe to call when not started.
void mprisStep();
void mprisStop();
bool mprisRunning();

} // namespace desktop
