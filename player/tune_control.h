#pragma once
// Control of the playing tune beyond the menu's own rows: pause, the next and previous tune,
// random play, the listener's volume, moving in the tune and quitting. The keys (P and the
// media keys) and the desktop's media controls both come here, and everything goes through the
// menu's own calls (play_row, the L key's toggle, the leave sequence).
#include <cstdint>
#include <string>

// Pauses or resumes the tune; the sound fades out and in over about 50 ms.
void tune_pause(bool paused);
void tune_toggle_pause();
// Paused back at the start of the tune; playing again starts it from there.
void tune_stop();
// Resumes a paused or stopped tune, or starts the playing row's tune when none plays.
void tune_play();
// The next (+1) or previous (-1) tune in list order after the one playing, around the ends;
// the list follows it as it follows random play.
void tune_step(int direction);
// Random play on or off, with its indicator, as the L key does.
void tune_set_random(bool on);
// Moves in the tune to ms from its start; the time reached, or -1 when no tune plays.
std::int64_t tune_seek(std::uint32_t ms);
// Leaves the menu, and the end pictures as soon as they show.
void tune_quit();
// Once a menu frame: random play's clock stands while the tune is paused, and a tune that
// started meanwhile (a switch always starts unpaused) ends the pause.
void tune_keep_random_clock();

// What is playing, for whoever shows it.
struct NowPlaying {
    int row = -1;               // its menu row, or -1 when no menu tune plays
    std::string title;          // as its module or its collection names it
    std::string group;          // the group it is listed under
    std::uint32_t lengthMs = 0; // its listed or measured time; 0 when unknown
    enum Status { Playing, Paused, Stopped } status = Stopped;
};
NowPlaying now_playing();
