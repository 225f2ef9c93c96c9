#pragma once
// Measures a written module the way a listener with a tracker would: the effect kinds its
// pattern data uses, every tempo change with the time it is heard, and, from a libopenmpt
// render, its stereo spread, brightness and loudness (BS.1770, see loudness.h).

#include "loudness.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct TempoChange {
    double seconds = 0; // when the row carrying it starts
    int order = 0, row = 0;
    int speed = 0, bpm = 0; // the tempo from that row on
};

struct PatternScan {
    bool ok = false;
    std::string format;             // "xm" or "mod"
    std::set<std::string> kinds;    // every effect kind found in pattern cells
    std::vector<TempoChange> tempo; // changes after the start
    double seconds = 0;             // time to the loop jump (or the end of the order list)
    int envelopes = 0;              // XM instruments with a volume or panning envelope
    int panEnvelopes = 0;
    int tracks = 0, distinctTracks = 0; // channel columns played, and how many differ
    // The expressive kinds among `kinds` (vibrato, tremolo, portamento, volume slide,
    // panning, retrigger, note cut).
    int expressionKinds() const;
};

// Reads an XM or ProTracker M.K. module's header, order list and patterns; ok is false for
// anything it cannot follow. Never reads outside bytes.
PatternScan scanPatterns(const std::vector<uint8_t>& bytes);

struct SoundStats {
    double sideToMidDb = 0; // side energy against mid energy, dB (very negative: mono)
    double highShare = 0;   // share of the energy above 4 kHz, 0..1
    Loudness loudness;      // integrated loudness, loudness range and true peak
    double openingDb = 0;   // RMS of the first two seconds, dBFS
    int quietGaps = 0;      // 50-ms windows below -40 dBFS (near-silent moments)
};

// Stereo float at `rate`, interleaved.
SoundStats soundStats(const std::vector<float>& stereo, double rate);

// The kinds a single cell's effect and XM volume-column byte (0 none) stand for.
void classifyEffect(bool xm, int effect, int param, int volumeByte, std::set<std::string>& out);
