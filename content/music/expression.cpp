#include "content/music/expression.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace music {
namespace {

// One sounding note of a channel: from its row to the next note or release on the channel.
struct Event {
    int start = 0, end = 0;
    int pitch = 0, instrument = 0;
    int offRow = -1; // the release that ends it, -1 when the next note does
};

std::vector<Event> eventsOf(const Module& m, int ch) {
    std::vector<Event> out;
    const int rows = static_cast<int>(m.rows.size());
    for (int r = 0; r < rows; ++r) {
        const Cell& c = m.rows[r][ch];
        if (c.note == NOTE_NONE) continue;
        if (!out.empty() && out.back().end < 0) {
            out.back().end = r;
            if (c.note == NOTE_OFF) out.back().offRow = r;
        }
        if (c.note > 0) out.push_back({r, -1, c.note, c.instrument, -1});
    }
    if (!out.empty() && out.back().end < 0) out.back().end = rows;
    return out;
}

class Placer {
  public:
    Placer(Song& s, const Expression& e) : m_(s.module()), e_(e) {}

    bool mod() const { return m_.format == Format::Mod; }
    int rows() const { return static_cast<int>(m_.rows.size()); }
    // Row 0 and the last row stay free for the tempo and the loop jump.
    bool open(int r) const { return r > 0 && r < rows() - 1; }

    // A free effect column at (r, ch); in a MOD a set volume equal to the sample's own is
    // dropped to make one.
    bool fxFree(int r, int ch) {
        if (!open(r)) return false;
        Cell& c = m_.rows[r][ch];
        if (c.hasEffect()) return false;
        if (!mod()) return true;
        if (c.note == NOTE_OFF) return false;
        if (c.volume < 0) return true;
        if (c.instrument > 0 && c.volume == m_.instruments[c.instrument - 1].volume) {
            c.volume = -1;
            return true;
        }
        return false;
    }
    bool volFree(int r, int ch) const {
        if (mod() || !open(r)) return false;
        const Cell& c = m_.rows[r][ch];
        return c.volume < 0 && c.volumeFx == 0 && c.note != NOTE_OFF;
    }
    void fx(int r, int ch, int effect, int param) {
        m_.rows[r][ch].effect = effect;
        m_.rows[r][ch].param = param;
    }
    void vol(int r, int ch, int byte) { m_.rows[r][ch].volumeFx = byte; }
    int volumeAt(const Event& ev, int ch) const {
        int v = m_.rows[ev.start][ch].volume;
        if (v >= 0) return v;
        return ev.instrument > 0 ? m_.instruments[ev.instrument - 1].volume : 64;
    }

    void slideInto(const Event& prev, const Event& ev, int ch);
    void melodic(const ChannelStyle& cs);
    void pad(const ChannelStyle& cs);
    void drums(const ChannelStyle& cs);
    void hats(const ChannelStyle& cs);
    void crispGates(int ch);

  private:
    Module& m_;
    const Expression& e_;
};

// Tone portamento from the previous note: the note is not struck again but glides in over
// about a row, continued on the next row.
void Placer::slideInto(const Event& prev, const Event& ev, int ch) {
    if (ev.instrument != prev.instrument || !fxFree(ev.start, ch)) return;
    int semis = std::abs(ev.pitch - prev.pitch);
    int ticks = std::max(1, e_.speed - 1);
    int param = mod() ? std::min(255, semis * 12) : std::min(255, (semis * 16 + ticks - 1) / ticks);
    if (prev.offRow >= 0) m_.rows[prev.offRow][ch].note = NOTE_NONE; // slurred
    Cell& c = m_.rows[ev.start][ch];
    // XM: no instrument keeps the sounding note's volume and pan. A MOD needs the sample to
    // know the period (its instrument only restores the sample's own volume).
    if (!mod()) c.instrument = 0;
    fx(ev.start, ch, 0x3, std::max(1, param * 2 / 3));
    if (ev.start + 1 < ev.end && fxFree(ev.start + 1, ch)) fx(ev.start + 1, ch, 0x3, 0);
}

void Placer::melodic(const ChannelStyle& cs) {
    const int ch = cs.channel;
    std::vector<Event> events = eventsOf(m_, ch);
    const bool lead = cs.role == Role::Lead || cs.role == Role::Counter;
    const int maxStep = cs.role == Role::Bass ? 12 : 4;
    const int every = cs.role == Role::Bass ? 2 : e_.slideEvery;
    int vibrato = e_.vibrato;
    if (cs.role == Role::Counter && (vibrato & 15) > 1) vibrato -= 1; // a shade gentler
    int legatoSteps = 0;
    for (size_t i = 0; i < events.size(); ++i) {
        const Event& ev = events[i];
        if (i > 0 && every > 0 && (lead || e_.bassSlides)) {
            const Event& prev = events[i - 1];
            int step = std::abs(ev.pitch - prev.pitch);
            bool joined =
                prev.end == ev.start || (prev.offRow >= ev.start - 1 && prev.offRow > prev.start);
            if (joined && step >= 1 && step <= maxStep && legatoSteps++ % every == every - 1)
                slideInto(prev, ev, ch);
        }
        if (!lead) continue;
        const int len = ev.end - ev.start;
        const bool vib = vibrato && len >= e_.vibratoMinRows;
        const bool fade = e_.fade > 0 && len >= e_.fadeMinRows;
        const int tail = ev.start + std::max(2, len / 2);
        for (int r = ev.start + 1; r < ev.end; ++r) {
            bool v = vib && r >= ev.start + e_.vibratoAfter;
            bool f = fade && r >= tail && (r - tail) % 2 == 0;
            if (!mod()) {
                if (v && fxFree(r, ch)) fx(r, ch, 0x4, vibrato);
                if (f && volFree(r, ch)) vol(r, ch, 0x60 + e_.fade);
            } else if ((v || f) && fxFree(r, ch)) {
                if (v && f)
                    fx(r, ch, 0x6, e_.fade);
                else if (v)
                    fx(r, ch, 0x4, vibrato);
                else
                    fx(r, ch, 0xA, e_.fade);
            }
        }
    }
}

void Placer::pad(const ChannelStyle& cs) {
    const int ch = cs.channel;
    std::vector<Event> events = eventsOf(m_, ch);
    const int ticks = std::max(1, e_.speed - 1);
    for (size_t i = 0; i < events.size(); ++i) {
        const Event& ev = events[i];
        const int len = ev.end - ev.start;
        if (len < 6 || !open(ev.start)) continue;
        int r = ev.start + 1;
        if (e_.swell > 0) { // start softer and rise to the written level
            int full = volumeAt(ev, ch);
            int soft = full * (100 - e_.swell) / 100;
            bool canStart = mod() ? m_.rows[ev.start][ch].hasEffect() == false : true;
            if (canStart && full > 8) {
                m_.rows[ev.start][ch].volume = soft;
                for (int level = soft; level < full && r < ev.end - 1; ++r) {
                    if (!mod() && volFree(r, ch)) {
                        vol(r, ch, 0x70 + 1);
                        level += ticks;
                    } else if (mod() && fxFree(r, ch)) {
                        fx(r, ch, 0xA, 0x10);
                        level += ticks;
                    }
                }
            }
        }
        for (int k = r; k < ev.end; ++k) {
            if (e_.tremolo && k >= ev.start + 2 && fxFree(k, ch)) fx(k, ch, 0x7, e_.tremolo);
            if (e_.panDrift && volFree(k, ch) && (k - ev.start) % 2 == 0)
                vol(k, ch, ((i + ch) % 2 ? 0xD0 : 0xE0) + e_.panDrift);
        }
    }
}

void Placer::drums(const ChannelStyle& cs) {
    if (e_.rollEvery <= 0) return;
    const int ch = cs.channel;
    for (int b = e_.rollEvery; b < rows(); b += e_.rollEvery)
        for (int r = b - 1; r >= b - 4; --r) {
            const Cell& c = m_.rows[r][ch];
            if (c.note <= 0) continue;
            if (fxFree(r, ch)) fx(r, ch, 0xE, e_.roll);
            break;
        }
}

void Placer::hats(const ChannelStyle& cs) {
    if (e_.hatCut <= 0) return;
    const int ch = cs.channel;
    for (int r = 2; r < rows(); r += 4)
        if (m_.rows[r][ch].note > 0 && fxFree(r, ch)) fx(r, ch, 0xE, 0xC0 | e_.hatCut);
}

// A release at row r becomes a cut at a tick of row r - 1: crisper staccato.
void Placer::crispGates(int ch) {
    for (int r = 2; r < rows() - 1; ++r) {
        if (m_.rows[r][ch].note != NOTE_OFF || m_.rows[r][ch].hasEffect()) continue;
        if (m_.rows[r - 1][ch].note == NOTE_OFF || !fxFree(r - 1, ch)) continue;
        fx(r - 1, ch, 0xE, 0xC0 | std::clamp(e_.cutTick, 1, std::min(15, e_.speed - 1)));
        m_.rows[r][ch].note = NOTE_NONE;
    }
}

} // namespace

void placeChannels(Song& s, const std::vector<ChannelStyle>& channels) {
    Module& m = s.module();
    if (m.format == Format::Mod) return;
    // An instrument heard on one channel only takes that channel's place itself.
    std::vector<int> owner(m.instruments.size(), -2);
    for (const auto& row : m.rows)
        for (int ch = 0; ch < m.channels; ++ch) {
            int i = row[ch].instrument;
            if (i <= 0 || i > static_cast<int>(owner.size())) continue;
            owner[i - 1] = owner[i - 1] == -2 || owner[i - 1] == ch ? ch : -1;
        }
    std::vector<int> panOf(m.channels, -1);
    for (const ChannelStyle& cs : channels)
        if (cs.channel >= 0 && cs.channel < m.channels)
            panOf[cs.channel] = std::clamp(cs.pan, 0, 255);
    for (size_t i = 0; i < owner.size(); ++i)
        if (owner[i] >= 0 && panOf[owner[i]] >= 0) m.instruments[i].pan = panOf[owner[i]];
    // Shared ones are placed note by note, where the note leaves room.
    const int last = static_cast<int>(m.rows.size()) - 1;
    for (int r = 0; r < last; ++r)
        for (int ch = 0; ch < m.channels; ++ch) {
            Cell& c = m.rows[r][ch];
            if (c.instrument <= 0 || panOf[ch] < 0) continue;
            if (m.instruments[c.instrument - 1].pan == panOf[ch]) continue;
            if (!c.hasEffect()) {
                c.effect = 0x8;
                c.param = panOf[ch];
            } else if (c.volume < 0 && c.volumeFx == 0) {
                c.volumeFx = 0xC0 + panOf[ch] / 16;
            }
        }
}

void express(Song& s, const Expression& e) {
    Placer p(s, e);
    std::vector<ChannelStyle> pans;
    for (const ChannelStyle& cs : e.channels) {
        if (cs.channel < 0 || cs.channel >= s.module().channels) continue;
        switch (cs.role) {
        case Role::Lead:
        case Role::Counter:
        case Role::Bass:
            p.melodic(cs);
            if (e.crispGates) p.crispGates(cs.channel);
            break;
        case Role::Pad:
            p.pad(cs);
            break;
        case Role::Drums:
            p.drums(cs);
            break;
        case Role::Hats:
            p.hats(cs);
            break;
        case Role::Plain:
            break;
        }
    }
    placeChannels(s, e.channels);
}

} // namespace music
