#pragma once
// The in-memory form of a tracker module, shared by the XM and MOD writers: instruments holding
// one synthesised sample each, a linear grid of rows that the writers cut into patterns, and the
// tempo. Pitches are MIDI note numbers (60 = middle C) until a writer turns them into its own.

#include <cstdint>
#include <string>
#include <vector>

namespace music {

// Special pitches in a cell's note field.
constexpr int NOTE_NONE = 0;
constexpr int NOTE_OFF = -1; // release: key-off in XM, note cut in MOD

struct Envelope {
    std::vector<std::pair<int, int>> points; // (tick, level 0..64); empty = no envelope
    int sustain = -1;                        // point index held until key-off, -1 none
    int loopStart = -1, loopEnd = -1;        // point indexes of a loop, -1 none
};

struct Instrument {
    std::string name;
    std::vector<float> data; // -1..1, normalised by the writer
    int loopStart = 0;       // in samples
    int loopLength = 0;      // 0 = one-shot
    bool pingPong = false;
    double rate = 22050;     // samples per second at which the content has pitch baseMidi
    double baseMidi = 60;    // the pitch heard when the data plays at rate
    int volume = 64;         // default volume 0..64
    int pan = 128;           // XM only: 0 left .. 255 right
    bool wide = true;        // XM only: 16-bit sample data
    Envelope volumeEnvelope; // XM only
    int fadeout = 0;         // XM only: 0..4095 per tick after key-off
    int vibratoDepth = 0;    // XM only: automatic vibrato (sine)
    int vibratoRate = 0;
    int vibratoSweep = 0;
    Envelope panEnvelope; // XM only: 0 left .. 32 centre .. 64 right, around pan
};

struct Cell {
    int note = NOTE_NONE; // MIDI pitch, NOTE_NONE or NOTE_OFF
    int instrument = 0;   // 1-based, 0 none
    int volume = -1;      // 0..64, -1 none (XM volume column, Cxx in MOD)
    int effect = 0;       // tracker effect number (0..35), with param
    int param = 0;
    int volumeFx = 0; // XM only, when volume is -1: a volume-column effect byte 0x60..0xFF
    bool hasEffect() const { return effect != 0 || param != 0; }
    bool empty() const {
        return note == NOTE_NONE && instrument == 0 && volume < 0 && volumeFx == 0 && !hasEffect();
    }
};

enum class Format { Xm, Mod };

struct Module {
    std::string title;
    Format format = Format::Xm;
    int channels = 4;
    int speed = 6;        // ticks per row
    int bpm = 125;        // tempo: a tick lasts 2.5 / bpm seconds
    int patternRows = 64; // rows per pattern when the grid is cut up
    std::vector<Instrument> instruments;
    std::vector<std::vector<Cell>> rows; // rows[r][channel]
};

// Length of one tick at a tempo, as players count it.
double tickSeconds(int bpm);

// Playing time in seconds of the whole grid at the module's tempo, counting tempo changes (Fxx).
double playingSeconds(const Module& m);

} // namespace music
