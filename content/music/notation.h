#pragma once
// A small text notation for tunes, so that melodies and harmonies read like a lead sheet.
//
// Melody: whitespace-separated tokens; "|" bar lines are ignored.
//   E5:4   the note E in octave 5 (C4 = middle C), lasting 4 units
//   F#4 Bb3 sharps and flats; the octave may be left out to reuse the previous note's octave
//   r:2    a rest;  -:2  extends (ties) the previous note
//   a length left out repeats the previous token's length
// Chords: the same lengths after chord symbols: "C:8 G7:4 Am:4 F/A:8 Dm7 Bdim Gsus4 Cmaj7 E7b9".

#include <string>
#include <vector>

namespace music {

struct Note {
    int start = 0; // rows from the phrase start
    int length = 0;
    int pitch = 60;
};

struct Chord {
    int start = 0;
    int length = 0;
    int root = 0;           // pitch class 0..11
    int bass = 0;           // pitch class of the bass note (root unless a slash chord)
    std::vector<int> tones; // intervals above the root, starting with 0
    // Pitch classes of the chord.
    std::vector<int> pitchClasses() const;
};

std::vector<Note> parseMelody(const std::string& text, int rowsPerUnit);
std::vector<Chord> parseChords(const std::string& text, int rowsPerUnit);

// Total rows a parsed line covers.
int spanOf(const std::vector<Note>& notes);
int spanOf(const std::vector<Chord>& chords);

// Shifts a melody by semitones, or its timing by rows.
std::vector<Note> transposed(std::vector<Note> notes, int semitones);
std::vector<Chord> transposed(std::vector<Chord> chords, int semitones);

} // namespace music

namespace music {

// A tune's lead sheet: the melody and its chords over the same span of rows.
struct Phrase {
    std::vector<Note> melody;
    std::vector<Chord> chords;
    int rows = 0; // the chords' span (a melody may end in a rest)
};
Phrase makePhrase(const std::string& melody, const std::string& chords, int rowsPerUnit);

// The chords (and melody notes) that start inside [from, from + rows), moved to start at 0 and
// clipped to the window.
Phrase slicePhrase(const Phrase& p, int from, int rows);

} // namespace music
