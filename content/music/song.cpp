#include "content/music/song.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace music {

Song::Song(const std::string& title, Format format, int channels) {
    m_.title = title;
    m_.format = format;
    m_.channels = channels;
    m_.patternRows = 64;
}

int Song::addInstrument(Instrument in) {
    m_.instruments.push_back(std::move(in));
    return static_cast<int>(m_.instruments.size());
}

void Song::ensureRows(int n) {
    while (rows() < n) m_.rows.emplace_back(m_.channels);
}

Cell& Song::at(int row, int ch) {
    if (row < 0 || ch < 0 || ch >= m_.channels)
        throw std::runtime_error(m_.title + ": cell outside the grid");
    ensureRows(row + 1);
    return m_.rows[row][ch];
}

void Song::note(int row, int ch, int pitch, int instrument, int vol) {
    Cell& c = at(row, ch);
    c.note = pitch;
    c.instrument = instrument;
    c.volume = vol >= 0 ? std::min(vol, 64) : -1;
}

void Song::off(int row, int ch) {
    Cell& c = at(row, ch);
    if (c.note != NOTE_NONE) return; // a note starting here wins over a release
    c.note = NOTE_OFF;
    c.volume = -1;
}

void Song::volume(int row, int ch, int vol) {
    at(row, ch).volume = std::clamp(vol, 0, 64);
}

void Song::effect(int row, int ch, int fx, int param) {
    Cell& c = at(row, ch);
    c.effect = fx;
    c.param = param;
}

void Song::placeEffect(int row, int fx, int param) {
    for (int ch = m_.channels - 1; ch >= 0; --ch) {
        Cell& c = at(row, ch);
        if (c.hasEffect()) continue;
        if (m_.format == Format::Mod && (c.volume >= 0 || c.note == NOTE_OFF)) continue;
        c.effect = fx;
        c.param = param;
        return;
    }
    throw std::runtime_error(m_.title + ": no free effect column on row " + std::to_string(row));
}

void Song::finish(double target, int speed, double gain) {
    for (auto& row : m_.rows)
        for (Cell& c : row)
            if (c.volume >= 0)
                c.volume = std::clamp(static_cast<int>(std::lround(c.volume * gain)), 0, 64);
    for (Instrument& in : m_.instruments)
        in.volume = std::clamp(static_cast<int>(std::lround(in.volume * gain)), 0, 64);

    // One tempo for the whole tune: the time comes out right by the length of the ending, a
    // few rows added after the last one (the final notes ring on), never by a change of pace.
    const double tick = 2.5 * speed;
    // The shortest ending within 100 ms wins.
    const int total0 = rows();
    int total = total0, bpm = 0;
    double best = 1e9;
    for (int extra = 0; extra <= 32 && best > 0.1; ++extra) {
        int nominal = static_cast<int>(std::lround((total0 + extra) * tick / target));
        if (nominal < 33 || nominal > 254)
            throw std::runtime_error(m_.title + ": tempo " + std::to_string(nominal) +
                                     " out of range");
        for (int candidate = nominal - 1; candidate <= nominal + 1; ++candidate) {
            double err = std::fabs((total0 + extra) * speed * tickSeconds(candidate) - target);
            if (err < best) {
                best = err;
                bpm = candidate;
                total = total0 + extra;
            }
        }
    }
    if (best > 0.14) throw std::runtime_error(m_.title + ": cannot fit the playing time");
    ensureRows(total);
    if (total > total0) { // the last release of each channel moves to the new end
        for (int ch = 0; ch < m_.channels; ++ch)
            for (int r = total0 - 1; r >= 0 && r >= total0 - 32; --r) {
                Cell& c = m_.rows[r][ch];
                if (c.note == NOTE_NONE) continue;
                if (c.note == NOTE_OFF && c.volume < 0 && !c.hasEffect()) {
                    c.note = NOTE_NONE;
                    m_.rows[total - 2][ch].note = NOTE_OFF;
                }
                break;
            }
    }
    m_.speed = speed;
    m_.bpm = bpm;
    if (m_.format == Format::Mod) { // a MOD has no tempo in its header; players start at 6
        if (speed != 6) placeEffect(0, 0xF, speed);
        placeEffect(0, 0xF, bpm);
    }
    placeEffect(total - 1, 0xB, 0);
    double got = playingSeconds(m_);
    if (std::fabs(got - target) > 0.15)
        throw std::runtime_error(m_.title + ": plays " + std::to_string(got) + " s, wanted " +
                                 std::to_string(target));
}

// ---- parts ---------------------------------------------------------------------------------

int nearestAbove(int pitchClass, int low) {
    return low + ((pitchClass - low) % 12 + 12) % 12;
}

namespace {

// A part's volume moved by delta; a negative base means the instrument's own volume throughout.
int level(int base, int delta) {
    return base < 0 ? -1 : std::clamp(base + delta, 0, 64);
}

} // namespace

void playMelody(Song& s, int row0, const std::vector<Note>& notes, const Voice& v, int accentEvery,
                int accent) {
    for (size_t i = 0; i < notes.size(); ++i) {
        const Note& n = notes[i];
        int vol = level(v.volume, accentEvery > 0 && n.start % accentEvery == 0 ? accent : 0);
        s.note(row0 + n.start, v.channel, n.pitch + v.transpose, v.instrument, vol);
        if (!v.release) continue;
        int end = n.start + std::max(1, static_cast<int>(std::lround(n.length * v.gate)));
        int next = i + 1 < notes.size() ? notes[i + 1].start : 1 << 30;
        if (end < next) s.off(row0 + end, v.channel);
    }
}

void playEcho(Song& s, int row0, const std::vector<Note>& notes, const Voice& v, int delayRows,
              int endRow) {
    std::vector<Note> shifted;
    for (const Note& n : notes)
        if (n.start + delayRows < endRow)
            shifted.push_back({n.start + delayRows, n.length, n.pitch});
    playMelody(s, row0, shifted, v);
}

void playBass(Song& s, int row0, const std::vector<Chord>& chords, const Voice& v, BassStyle style,
              int beatRows, int lowest) {
    auto hit = [&](int row, int pitch, int len, int delta) {
        s.note(row0 + row, v.channel, pitch + v.transpose, v.instrument, level(v.volume, delta));
        if (v.release && v.gate < 1.0)
            s.off(row0 + row + std::max(1, static_cast<int>(std::lround(len * v.gate))), v.channel);
    };
    for (size_t ci = 0; ci < chords.size(); ++ci) {
        const Chord& c = chords[ci];
        int root = nearestAbove(c.bass, lowest);
        int fifth = nearestAbove((c.root + 7) % 12, lowest);
        int third = nearestAbove((c.root + c.tones[1]) % 12, lowest);
        int nextRoot = ci + 1 < chords.size() ? nearestAbove(chords[ci + 1].bass, lowest) : root;
        int beats = std::max(1, c.length / beatRows);
        switch (style) {
        case BassStyle::Held:
            hit(c.start, root, c.length, 0);
            break;
        case BassStyle::RootFifth:
            for (int b = 0; b < beats; ++b)
                hit(c.start + b * beatRows, (b & 1) ? fifth : root, beatRows, -(b & 1) * 6);
            break;
        case BassStyle::Eighths:
            for (int r = 0; r < c.length; r += std::max(1, beatRows / 2))
                hit(c.start + r, root, beatRows / 2, -((r % beatRows) ? 8 : 0));
            break;
        case BassStyle::Octaves:
            for (int r = 0, k = 0; r < c.length; r += std::max(1, beatRows / 2), ++k)
                hit(c.start + r, root + (k & 1) * 12, beatRows / 2, -(k & 1) * 6);
            break;
        case BassStyle::Walking:
            for (int b = 0; b < beats; ++b) {
                int p = root;
                if (b == beats - 1 && beats > 1)
                    p = nextRoot + (nextRoot > root ? -1 : 1);
                else if (b % 3 == 1)
                    p = third;
                else if (b % 3 == 2)
                    p = fifth;
                hit(c.start + b * beatRows, p, beatRows, -((b & 1) ? 5 : 0));
            }
            break;
        case BassStyle::OffbeatOctaves:
            for (int b = 0; b < beats; ++b) {
                hit(c.start + b * beatRows, root, beatRows / 2, 0);
                hit(c.start + b * beatRows + beatRows / 2, root + 12, beatRows / 2, -8);
            }
            break;
        case BassStyle::Gallop: // compound time: long-short on each dotted beat
            for (int b = 0; b < beats; ++b) {
                hit(c.start + b * beatRows, (b & 1) ? fifth : root, beatRows * 2 / 3, 0);
                hit(c.start + b * beatRows + beatRows * 2 / 3, (b & 1) ? fifth : root, beatRows / 3,
                    -10);
            }
            break;
        case BassStyle::Pumping16: {
            int step = std::max(1, beatRows / 4);
            for (int r = 0, k = 0; r < c.length; r += step, ++k) {
                int p = (k % 8 == 6) ? root + 12 : ((k % 8 == 3) ? fifth : root);
                hit(c.start + r, p, step, -((k & 1) ? 10 : 0));
            }
            break;
        }
        }
    }
    if (v.release) s.off(row0 + spanOf(chords), v.channel);
}

namespace {

// Chooses the notes of a chord for n voices inside [low, high], near the previous voicing.
std::vector<int> voiceChord(const Chord& c, int n, int low, int high,
                            const std::vector<int>& prev) {
    std::vector<int> pcs = c.pitchClasses();
    std::vector<int> cand;
    for (int p = low; p <= high; ++p)
        if (std::find(pcs.begin(), pcs.end(), p % 12) != pcs.end()) cand.push_back(p);
    if (static_cast<int>(cand.size()) < n) throw std::runtime_error("chord range too narrow");
    std::vector<int> best;
    double bestCost = 1e18;
    std::vector<int> pick;
    int want = std::min<int>(n, static_cast<int>(pcs.size()));
    int third = pcs.size() > 1 ? pcs[1] : -1;
    std::function<void(size_t)> walk = [&](size_t from) {
        if (static_cast<int>(pick.size()) == n) {
            std::vector<int> seen;
            bool hasThird = false;
            for (int p : pick) {
                if (std::find(seen.begin(), seen.end(), p % 12) == seen.end())
                    seen.push_back(p % 12);
                if (p % 12 == third) hasThird = true;
            }
            double cost = (want - static_cast<int>(seen.size())) * 40.0 + (hasThird ? 0 : 25);
            if (pick.back() - pick.front() > 14) cost += 8 * (pick.back() - pick.front() - 14);
            if (prev.size() == pick.size())
                for (size_t i = 0; i < pick.size(); ++i) cost += std::abs(pick[i] - prev[i]);
            else {
                double mid = (low + high) / 2.0, mean = 0;
                for (int p : pick) mean += p;
                cost += std::fabs(mean / n - mid);
            }
            if (cost < bestCost) {
                bestCost = cost;
                best = pick;
            }
            return;
        }
        for (size_t i = from; i < cand.size(); ++i) {
            pick.push_back(cand[i]);
            walk(i + 1);
            pick.pop_back();
        }
    };
    walk(0);
    return best;
}

} // namespace

void playChords(Song& s, int row0, const std::vector<Chord>& chords,
                const std::vector<int>& channels, int instrument, int volume, int low, int high,
                int strikeRows, double gate, bool release) {
    std::vector<int> prev;
    const int n = static_cast<int>(channels.size());
    for (const Chord& c : chords) {
        std::vector<int> voicing = voiceChord(c, n, low, high, prev);
        std::vector<int> strikes{0};
        if (strikeRows > 0)
            for (int r = strikeRows; r < c.length; r += strikeRows) strikes.push_back(r);
        for (size_t k = 0; k < strikes.size(); ++k) {
            int r = strikes[k];
            int len = (k + 1 < strikes.size() ? strikes[k + 1] : c.length) - r;
            for (int i = 0; i < n; ++i) {
                bool changed = prev.size() != voicing.size() || prev[i] != voicing[i];
                if (strikeRows == 0 && !changed && gate >= 1.0) continue; // a held common tone
                s.note(row0 + c.start + r, channels[i], voicing[i], instrument,
                       level(volume, -(k == 0 ? 0 : 6) - i * 2));
                if (release && gate < 1.0)
                    s.off(row0 + c.start + r +
                              std::max(1, static_cast<int>(std::lround(len * gate))),
                          channels[i]);
            }
        }
        prev = voicing;
    }
    if (release)
        for (int ch : channels) s.off(row0 + spanOf(chords), ch);
}

void playArpeggio(Song& s, int row0, const std::vector<Chord>& chords, const Voice& v, int stepRows,
                  int low, const std::vector<int>& order) {
    for (const Chord& c : chords) {
        int base = nearestAbove(c.root, low);
        std::vector<int> notes;
        for (int o = 0; o < 3; ++o)
            for (int t : c.tones) notes.push_back(base + (t % 12) + 12 * o + (t >= 12 ? 12 : 0));
        std::sort(notes.begin(), notes.end());
        for (int r = 0, k = 0; r < c.length; r += stepRows, ++k) {
            int idx = order[k % order.size()] % static_cast<int>(notes.size());
            s.note(row0 + c.start + r, v.channel, notes[idx] + v.transpose, v.instrument,
                   level(v.volume, (k % order.size()) ? -6 : 0));
        }
    }
    if (v.release) s.off(row0 + spanOf(chords), v.channel);
}

void playChipArp(Song& s, int row0, const std::vector<Chord>& chords, const Voice& v, int low) {
    for (const Chord& c : chords) {
        int base = nearestAbove(c.root, low);
        int a = std::min(15, c.tones.size() > 1 ? c.tones[1] : 12);
        int b = std::min(15, c.tones.size() > 2 ? c.tones[2] : 12);
        s.note(row0 + c.start, v.channel, base + v.transpose, v.instrument, v.volume);
        for (int r = 0; r < c.length; ++r)
            s.effect(row0 + c.start + r, v.channel, 0x0, (a << 4) | b);
    }
    if (v.release) s.off(row0 + spanOf(chords), v.channel);
}

void scaleLevels(Song& s, int row0, int rows, double factor) {
    Module& m = s.module();
    const int end = std::min(row0 + rows, s.rows());
    for (int r = std::max(0, row0); r < end; ++r)
        for (Cell& c : m.rows[r]) {
            if (c.note <= 0) continue;
            if (m.format == Format::Mod && c.hasEffect()) continue; // no room for a volume
            int base = c.volume >= 0 ? c.volume
                       : c.instrument > 0 && c.instrument <= static_cast<int>(m.instruments.size())
                           ? m.instruments[c.instrument - 1].volume
                           : 64;
            c.volume = std::clamp(static_cast<int>(std::lround(base * factor)), 0, 64);
        }
}

void playDrums(Song& s, int row0, int rows, int ch, const std::string& pattern,
               const std::map<char, Hit>& kit) {
    if (pattern.empty()) return;
    for (int r = 0; r < rows; ++r) {
        auto it = kit.find(pattern[r % pattern.size()]);
        if (it == kit.end()) continue;
        s.note(row0 + r, ch, it->second.pitch, it->second.instrument, it->second.volume);
    }
}

} // namespace music
