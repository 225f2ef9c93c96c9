#pragma once
// The music player both deliverables carry: one tracker module at a time, played from a locked
// raw-data resource, looping until it is switched or faded out. Tune switches and fade-outs run
// on short-lived threads of their own so that the frame loop never waits for a fade. Failures
// are reported in a message box and the program carries on without sound.
#include <atomic>
#include <cstdint>

namespace platform {
struct Window;
}

// A caller's done flag for music_fade_out_thread: 1 before the thread starts, polled until the
// thread stores 0. Copying one copies its value, so the records that hold one stay plain values.
struct MusicFlag {
    std::atomic<std::int32_t> value;
    MusicFlag() : value(1) {}
    explicit MusicFlag(std::int32_t v) : value(v) {}
    MusicFlag(const MusicFlag& other) : value(other.load()) {}
    MusicFlag& operator=(const MusicFlag& other) {
        store(other.load());
        return *this;
    }
    MusicFlag& operator=(std::int32_t v) {
        store(v);
        return *this;
    }
    std::int32_t load() const { return value.load(); }
    void store(std::int32_t v) { value.store(v); }
};

// Remembers the window that every later initialisation is given.
void music_set_window(platform::Window* window);
// Remembers the window, then initialises the output and starts it.
void music_init(platform::Window* window);
// Initialises the output again with the remembered window, and starts it. Ends the process
// (status 0) when the output back-end is not the version this player was made for.
void music_reinit();
// Loads the module whose locked resource starts at data and plays it, looping. data must be the
// start of one of this deliverable's resources (that is how its length is known); anything else
// is refused as a module that does not load.
void music_play_memory(const void* data);
// Fades the present tune out and plays the module at data instead, on a thread of its own.
// Dropped while a switch is still running.
void music_start_switch(const void* data);
// 1 from the moment a switch is accepted until its new tune plays, else 0.
int music_is_switching();
// Thread body (for platform::startThread): fades the output to silence, releases it, and stores
// 0 into the MusicFlag that arg points to.
void music_fade_out_thread(void* arg);
// Releases the output; harmless when nothing is open, and twice.
void music_free();
// Levels heard now on a 0..128 scale: left in the low 16 bits, right in the high 16 bits.
std::uint32_t music_level();
// Nonzero while the present tune plays.
int music_is_active();
// Pauses the present tune (1) or resumes it (0): the sound fades out in about 50 ms and back in
// from the same place. A tune switched to starts unpaused.
void music_pause(int paused);
int music_is_paused();
// The song's time heard now in milliseconds, and a move to another time (the start of the row
// there); music_seek gives the time reached, or -1 when no tune is loaded.
std::uint32_t music_time_ms();
std::int64_t music_seek(std::uint32_t ms);
// The listener's volume, 0 (silent) to 1 (the tune as it is); it holds for the tunes after.
void music_set_volume(double volume);
double music_volume();
// The position heard now as order * 65536 + row, so positions compare as plain numbers.
// 0xFFFFFFFF when no tune is loaded (a timeline waiting for a position then never hangs).
std::uint32_t music_position();
