#pragma once
// Builds a module's row grid from musical parts: melodies, bass lines, chords, arpeggios and
// drum patterns placed at row offsets, then fits the tempo to the tune's playing time and
// closes the loop with a jump back to the start.

#include "content/music/module.h"
#include "content/music/notation.h"

#include <map>
#include <string>
#include <vector>

namespace music {

class Song {
  public:
    Song(const std::string& title, Format format, int channels);

    Module& module() { return m_; }
    int addInstrument(Instrument in); // returns the 1-based instrument number
    int rows() const { return static_cast<int>(m_.rows.size()); }
    void ensureRows(int n);

    void note(int row, int ch, int pitch, int instrument, int volume = -1);
    void off(int row, int ch);
    void volume(int row, int ch, int vol);
    void effect(int row, int ch, int fx, int param);
    Cell& at(int row, int ch);

    // Sets the tempo so that the grid plays for targetSeconds (within a fraction of a second),
    // scales every volume by gain, and ends the last row with a jump to the first.
    void finish(double targetSeconds, int speed, double gain);

  private:
    void placeEffect(int row, int fx, int param);
    Module m_;
};

// ---- parts ---------------------------------------------------------------------------------

struct Voice {
    int channel = 0;
    int instrument = 1;
    int volume = 48;
    int transpose = 0;
    double gate = 1.0;   // share of the written length the note sounds before a release
    bool release = true; // write a release at the note's end when a gap follows
};

// Places a melody; notes are pitched by transpose. Accents: the first note of each group of
// accentEvery rows gets +accent volume.
void playMelody(Song& s, int row0, const std::vector<Note>& notes, const Voice& v,
                int accentEvery = 0, int accent = 0);

// A delayed, softer copy of a melody on another channel (echo / canon).
void playEcho(Song& s, int row0, const std::vector<Note>& notes, const Voice& v, int delayRows,
              int endRow);

enum class BassStyle {
    Held,
    RootFifth,
    Eighths,
    Octaves,
    Walking,
    OffbeatOctaves,
    Gallop,
    Pumping16
};
void playBass(Song& s, int row0, const std::vector<Chord>& chords, const Voice& v, BassStyle style,
              int beatRows, int lowest = 36);

// Chords on several channels, voice-led inside [low, high]; restruck on every change and, when
// strikeRows > 0, every strikeRows rows (comping).
void playChords(Song& s, int row0, const std::vector<Chord>& chords,
                const std::vector<int>& channels, int instrument, int volume, int low, int high,
                int strikeRows = 0, double gate = 1.0, bool release = true);

// Broken chords on one channel: notes of the chord cycling upwards every stepRows rows over
// `octaves` octaves from `low`, in the given order pattern (indexes into the chord's notes).
void playArpeggio(Song& s, int row0, const std::vector<Chord>& chords, const Voice& v, int stepRows,
                  int low, const std::vector<int>& order);

// Tracker arpeggio (effect 0xy) held through each chord: the chip sound.
void playChipArp(Song& s, int row0, const std::vector<Chord>& chords, const Voice& v, int low);

// Drum pattern: one string per bar layout, one character a row ('.' nothing); the kit maps a
// character to an instrument and volume. The pattern repeats to fill `rows`.
struct Hit {
    int instrument;
    int volume;
    int pitch = 60;
};
void playDrums(Song& s, int row0, int rows, int ch, const std::string& pattern,
               const std::map<char, Hit>& kit);

// Plays rows [row0, row0 + rows) at a share of their written level: every note there gets
// an explicit volume, its own or its instrument's, times factor (in a MOD, notes whose
// effect column is taken keep theirs). Quieter verses give a tune its rise and fall.
void scaleLevels(Song& s, int row0, int rows, double factor);

// Pitch helpers
int nearestAbove(int pitchClass, int low); // lowest pitch of the class at or above low

} // namespace music
