#include "content/music/notation.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

namespace music {
namespace {

int letterClass(char c) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'C':
        return 0;
    case 'D':
        return 2;
    case 'E':
        return 4;
    case 'F':
        return 5;
    case 'G':
        return 7;
    case 'A':
        return 9;
    case 'B':
        return 11;
    }
    return -1;
}

// Splits "X:len" and returns X; len stays unchanged when absent.
std::string splitLength(const std::string& token, int& length) {
    auto colon = token.find(':');
    if (colon == std::string::npos) return token;
    try {
        length = std::stoi(token.substr(colon + 1));
    } catch (const std::exception&) {
        throw std::runtime_error("bad length in \"" + token + "\"");
    }
    if (length <= 0) throw std::runtime_error("bad length in \"" + token + "\"");
    return token.substr(0, colon);
}

// Reads a root like "F#" or "Bb" at pos; returns its pitch class and moves pos past it.
int readRoot(const std::string& s, size_t& pos, const std::string& token) {
    int pc = pos < s.size() ? letterClass(s[pos]) : -1;
    if (pc < 0) throw std::runtime_error("bad note name in \"" + token + "\"");
    ++pos;
    if (pos < s.size() && s[pos] == '#') {
        pc += 1;
        ++pos;
    } else if (pos < s.size() && s[pos] == 'b') {
        pc += 11;
        ++pos;
    }
    return pc % 12;
}

// Bar lines only guide the reader.
std::string withoutBars(std::string text) {
    std::replace(text.begin(), text.end(), '|', ' ');
    return text;
}

} // namespace

std::vector<int> Chord::pitchClasses() const {
    std::vector<int> pcs;
    for (int t : tones) pcs.push_back((root + t) % 12);
    return pcs;
}

std::vector<Note> parseMelody(const std::string& text, int rowsPerUnit) {
    std::istringstream in(withoutBars(text));
    std::vector<Note> notes;
    std::string token;
    int row = 0, length = 4, octave = 4;
    while (in >> token) {
        std::string what = splitLength(token, length);
        int rows = length * rowsPerUnit;
        if (what == "r") {
            row += rows;
            continue;
        }
        if (what == "-") {
            if (notes.empty()) throw std::runtime_error("tie without a note");
            notes.back().length += rows;
            row += rows;
            continue;
        }
        size_t pos = 0;
        int pc = readRoot(what, pos, token);
        if (pos < what.size()) {
            if (!std::isdigit(static_cast<unsigned char>(what[pos])) || pos + 1 != what.size())
                throw std::runtime_error("bad octave in \"" + token + "\"");
            octave = what[pos] - '0';
        }
        // B#/Cb cross the octave boundary the other way round.
        int letter = letterClass(what[0]);
        int pitch = 12 * (octave + 1) + pc;
        if (letter == 0 && pc == 11) pitch -= 12;
        if (letter == 11 && pc == 0) pitch += 12;
        notes.push_back({row, rows, pitch});
        row += rows;
    }
    return notes;
}

std::vector<Chord> parseChords(const std::string& text, int rowsPerUnit) {
    std::istringstream in(withoutBars(text));
    std::vector<Chord> chords;
    std::string token;
    int row = 0, length = 16;
    while (in >> token) {
        std::string what = splitLength(token, length);
        int rows = length * rowsPerUnit;
        if (what == "-") { // hold the previous chord
            if (chords.empty()) throw std::runtime_error("hold without a chord");
            chords.back().length += rows;
            row += rows;
            continue;
        }
        Chord c;
        c.start = row;
        c.length = rows;
        size_t pos = 0;
        c.root = readRoot(what, pos, token);
        c.bass = c.root;
        std::string quality = what.substr(pos);
        auto slash = quality.find('/');
        if (slash != std::string::npos) {
            size_t bp = slash + 1;
            c.bass = readRoot(quality, bp, token);
            quality = quality.substr(0, slash);
        }
        if (quality == "")
            c.tones = {0, 4, 7};
        else if (quality == "m")
            c.tones = {0, 3, 7};
        else if (quality == "7")
            c.tones = {0, 4, 7, 10};
        else if (quality == "m7")
            c.tones = {0, 3, 7, 10};
        else if (quality == "maj7")
            c.tones = {0, 4, 7, 11};
        else if (quality == "dim")
            c.tones = {0, 3, 6};
        else if (quality == "dim7")
            c.tones = {0, 3, 6, 9};
        else if (quality == "aug")
            c.tones = {0, 4, 8};
        else if (quality == "sus4")
            c.tones = {0, 5, 7};
        else if (quality == "sus2")
            c.tones = {0, 2, 7};
        else if (quality == "6")
            c.tones = {0, 4, 7, 9};
        else if (quality == "m6")
            c.tones = {0, 3, 7, 9};
        else if (quality == "add9")
            c.tones = {0, 4, 7, 14};
        else if (quality == "madd9")
            c.tones = {0, 3, 7, 14};
        else if (quality == "9")
            c.tones = {0, 4, 7, 10, 14};
        else if (quality == "5")
            c.tones = {0, 7};
        else
            throw std::runtime_error("unknown chord \"" + token + "\"");
        chords.push_back(c);
        row += rows;
    }
    return chords;
}

int spanOf(const std::vector<Note>& notes) {
    return notes.empty() ? 0 : notes.back().start + notes.back().length;
}
int spanOf(const std::vector<Chord>& chords) {
    return chords.empty() ? 0 : chords.back().start + chords.back().length;
}

std::vector<Note> transposed(std::vector<Note> notes, int semitones) {
    for (Note& n : notes) n.pitch += semitones;
    return notes;
}
std::vector<Chord> transposed(std::vector<Chord> chords, int semitones) {
    for (Chord& c : chords) {
        c.root = ((c.root + semitones) % 12 + 12) % 12;
        c.bass = ((c.bass + semitones) % 12 + 12) % 12;
    }
    return chords;
}

} // namespace music

namespace music {

Phrase makePhrase(const std::string& melody, const std::string& chords, int rowsPerUnit) {
    Phrase p;
    p.melody = parseMelody(melody, rowsPerUnit);
    p.chords = parseChords(chords, rowsPerUnit);
    p.rows = spanOf(p.chords);
    if (spanOf(p.melody) > p.rows)
        throw std::runtime_error("melody runs past its chords (" +
                                 std::to_string(spanOf(p.melody)) + " > " + std::to_string(p.rows) +
                                 " rows)");
    return p;
}

Phrase slicePhrase(const Phrase& p, int from, int rows) {
    Phrase out;
    out.rows = rows;
    for (const Chord& c : p.chords) {
        int s = std::max(c.start, from), e = std::min(c.start + c.length, from + rows);
        if (s >= e) continue;
        Chord k = c;
        k.start = s - from;
        k.length = e - s;
        out.chords.push_back(k);
    }
    for (const Note& n : p.melody) {
        if (n.start < from || n.start >= from + rows) continue;
        out.melody.push_back({n.start - from, std::min(n.length, from + rows - n.start), n.pitch});
    }
    return out;
}

} // namespace music
