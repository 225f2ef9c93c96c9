#pragma once
// The intro tune's layout and the moments of the intro it is written for. The intro starts its
// sequences when the music reaches these positions (order, row); the tune puts a musical phrase
// boundary on each, and the durations below are the ones the sequences take, so tests can
// check that every fade ends before the position that ends its hold.

namespace intro_timeline {

// Tempo: speed 6 at 125 beats a minute gives a row of 6 x 2.5 / 125 = 0.12 s.
constexpr int SPEED = 6;
constexpr int TEMPO = 125;
constexpr int PATTERN_ROWS = 64;
constexpr double ROW_SECONDS = SPEED * 2.5 / TEMPO;
constexpr int ORDERS = 12; // the tune then starts over

struct Position {
    int order, row;
    constexpr int rows() const { return order * PATTERN_ROWS + row; }
    constexpr double seconds() const { return rows() * ROW_SECONDS; }
    // As the music player reports it: order in the high 16 bits, row in the low 16 bits.
    constexpr unsigned packed() const { return unsigned(order) << 16 | unsigned(row); }
};

constexpr Position LOGO_HOLD_END{1, 40};   // the makers' mark fades out (a bell fall)
constexpr Position FIRST_SCENE{1, 55};     // the train leaves (its whistle)
constexpr Position CAPTION_HOLD_END{6, 0}; // the caption fades out (the quiet phrase)
constexpr Position TITLE_HOLD_END{7, 16};  // the large title, the tune in full
constexpr Position SECOND_SCENE{7, 55};    // the cabin (the music box)

// Durations of the intro's sequences, in seconds.
constexpr double LOGO_FADE_IN = 3.2;  // 64 frames of 50 ms
constexpr double LOGO_FADE_OUT = 1.8; // 36 frames of 50 ms
constexpr double SCENE_LOAD = 1.0;    // reading and preparing a scene, about
constexpr double FIRST_SCENE_LENGTH = 26.1;
constexpr double CAPTION_FADE = 3.2; // in, and again out
constexpr double TITLE_FADE_IN = 3.2;
constexpr double TITLE_FADE_OUT = 1.8;
constexpr double SECOND_SCENE_LENGTH = 18.0;

constexpr double TUNE_SECONDS = ORDERS * PATTERN_ROWS * ROW_SECONDS;

} // namespace intro_timeline
