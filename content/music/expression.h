#pragma once
// The arranger's touch on a composed grid: vibrato on held notes, slides into near notes,
// fades on long tails, swells, tremolo, panning and its slides, retriggered rolls and cut
// notes, each placed only in cells the composition left free. Run it before Song::finish.
//
// XM keeps fades and swells in the volume column so that vibrato can share the note; a MOD
// has one effect column per cell, so its fades ride on the vibrato (6xy) and a set volume that
// only repeats the sample's own is dropped to make room.

#include "content/music/song.h"

#include <vector>

namespace music {

enum class Role {
    Lead,    // melody: vibrato, slides, fading tails
    Counter, // second voice: the same, gentler
    Pad,     // held chords: swells, tremolo, drifting pan
    Bass,    // slides when the style asks for them
    Drums,   // rolls at the ends of phrases
    Hats,    // short, choked hits
    Plain    // placed in the field, otherwise left alone
};

struct ChannelStyle {
    int channel = 0;
    Role role = Role::Plain;
    int pan = 128; // XM: 0 left .. 255 right
};

struct Expression {
    std::vector<ChannelStyle> channels;
    int speed = 6;          // ticks per row, as finish will be given
    int vibrato = 0x43;     // 4xy: speed x, depth y; 0 none
    int vibratoAfter = 3;   // rows into a note before the vibrato starts
    int vibratoMinRows = 6; // only notes held this long
    int slideEvery = 3;     // every n-th legato step of 1..4 semitones slides in (0 never)
    bool bassSlides = false;
    int fade = 1; // tails of long lead/pad notes slide down this much a tick (0 none)
    int fadeMinRows = 8;
    int swell = 0;           // pads: start this share (percent) softer and slide up, 0 none
    int tremolo = 0;         // 7xy on pad notes, 0 none
    int panDrift = 0;        // XM pads: pan slide speed across long notes, alternating, 0 none
    int rollEvery = 64;      // drums: the hit just before every n-th row retriggers (0 never)
    int roll = 0x93;         // E9x used for those rolls
    int hatCut = 2;          // hats: ECx on off-beat hits (0 none)
    bool crispGates = false; // MOD: releases become note cuts in the row before
    int cutTick = 3;         // the tick of that row the cut falls on
};

void express(Song& s, const Expression& e);

// Places a channel's voice in the field without other effects (XM only; MOD pans hard).
void placeChannels(Song& s, const std::vector<ChannelStyle>& channels);

} // namespace music
