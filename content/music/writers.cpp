#include "content/music/writers.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

namespace music {
namespace {

void put8(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v & 0xff));
}
void put16le(std::vector<uint8_t>& out, int v) {
    put8(out, v);
    put8(out, v >> 8);
}
void put32le(std::vector<uint8_t>& out, uint32_t v) {
    put16le(out, static_cast<int>(v & 0xffff));
    put16le(out, static_cast<int>(v >> 16));
}
void put16be(std::vector<uint8_t>& out, int v) {
    put8(out, v >> 8);
    put8(out, v);
}
void putText(std::vector<uint8_t>& out, const std::string& s, size_t width, char pad = 0) {
    for (size_t i = 0; i < width; ++i) out.push_back(i < s.size() ? s[i] : pad);
}

float peakOf(const std::vector<float>& data) {
    float p = 0;
    for (float v : data) p = std::max(p, std::fabs(v));
    return p;
}

// Cuts the grid into patterns of patternRows rows (the last may be short) and shares the
// identical ones: returns the distinct patterns and the order list that plays the grid.
struct Cut {
    std::vector<std::vector<std::vector<Cell>>> patterns;
    std::vector<int> order;
};

bool sameCell(const Cell& a, const Cell& b) {
    return a.note == b.note && a.instrument == b.instrument && a.volume == b.volume &&
           a.volumeFx == b.volumeFx && a.effect == b.effect && a.param == b.param;
}

Cut cutPatterns(const Module& m) {
    Cut cut;
    if (m.rows.empty()) throw std::runtime_error(m.title + ": the module has no rows");
    for (size_t start = 0; start < m.rows.size(); start += m.patternRows) {
        size_t end = std::min(m.rows.size(), start + m.patternRows);
        std::vector<std::vector<Cell>> pat(m.rows.begin() + start, m.rows.begin() + end);
        int found = -1;
        for (size_t i = 0; i < cut.patterns.size() && found < 0; ++i) {
            const auto& other = cut.patterns[i];
            if (other.size() != pat.size()) continue;
            bool same = true;
            for (size_t r = 0; r < pat.size() && same; ++r)
                for (int c = 0; c < m.channels && same; ++c)
                    same = sameCell(pat[r][c], other[r][c]);
            if (same) found = static_cast<int>(i);
        }
        if (found < 0) {
            found = static_cast<int>(cut.patterns.size());
            cut.patterns.push_back(std::move(pat));
        }
        cut.order.push_back(found);
    }
    return cut;
}

// XM linear frequencies: note n (C-4 = 49) plays at 8363 * 2^((n - 49 + rel + fine/128) / 12)
// samples per second. Solve for rel and fine so a MIDI pitch sounds at its true frequency.
void xmTuning(const Instrument& in, int& relative, int& finetune) {
    double semis = 12.0 * std::log2(in.rate / 8363.0) + 60.0 - in.baseMidi;
    relative = static_cast<int>(std::lround(semis));
    finetune = static_cast<int>(std::lround((semis - relative) * 128.0));
    finetune = std::clamp(finetune, -128, 127);
    if (relative < -96 || relative > 95)
        throw std::runtime_error("instrument " + in.name + " is tuned out of the XM range");
}

} // namespace

std::vector<int16_t> quantise16(const std::vector<float>& data) {
    float peak = peakOf(data);
    float scale = peak > 0 ? 32767.0f / peak : 0.0f;
    std::vector<int16_t> out(data.size());
    for (size_t i = 0; i < data.size(); ++i)
        out[i] =
            static_cast<int16_t>(std::lround(std::clamp(data[i] * scale, -32767.0f, 32767.0f)));
    return out;
}

std::vector<int8_t> quantise8(const std::vector<float>& data) {
    float peak = peakOf(data);
    float scale = peak > 0 ? 127.0f / peak : 0.0f;
    std::vector<int8_t> out(data.size());
    for (size_t i = 0; i < data.size(); ++i)
        out[i] = static_cast<int8_t>(std::lround(std::clamp(data[i] * scale, -127.0f, 127.0f)));
    return out;
}

namespace {

using Pattern = std::vector<std::vector<Cell>>;

void putXmHeader(std::vector<uint8_t>& out, const Module& m, const Cut& cut) {
    putText(out, "Extended Module: ", 17);
    putText(out, m.title, 20, ' ');
    put8(out, 0x1a);
    putText(out, "vrkmusic", 20, ' ');
    put16le(out, 0x0104);
    put32le(out, 276);
    put16le(out, static_cast<int>(cut.order.size()));
    put16le(out, 0); // restart position; the last row jumps back explicitly
    put16le(out, m.channels);
    put16le(out, static_cast<int>(cut.patterns.size()));
    put16le(out, static_cast<int>(m.instruments.size()));
    put16le(out, 1); // linear frequency table
    put16le(out, m.speed);
    put16le(out, m.bpm);
    for (int i = 0; i < 256; ++i)
        put8(out, i < static_cast<int>(cut.order.size()) ? cut.order[i] : 0);
}

// One cell packed: a flag byte saying which of note, instrument, volume, effect and parameter
// follow.
void packXmCell(std::vector<uint8_t>& packed, const Module& m, const Cell& cell) {
    int note = 0;
    if (cell.note == NOTE_OFF)
        note = 97;
    else if (cell.note != NOTE_NONE) {
        note = cell.note - 11;
        if (note < 1 || note > 96)
            throw std::runtime_error(m.title + ": note " + std::to_string(cell.note) +
                                     " outside the XM range");
    }
    int vol = cell.volume >= 0 ? 0x10 + std::min(cell.volume, 64) : cell.volumeFx;
    if (vol != 0 && (vol < 0x10 || vol > 0xff || (vol > 0x50 && vol < 0x60)))
        throw std::runtime_error(m.title + ": bad volume-column byte");
    int flags = 0x80 | (note ? 1 : 0) | (cell.instrument ? 2 : 0) | (vol ? 4 : 0) |
                (cell.effect ? 8 : 0) | (cell.param ? 16 : 0);
    put8(packed, flags);
    if (note) put8(packed, note);
    if (cell.instrument) put8(packed, cell.instrument);
    if (vol) put8(packed, vol);
    if (cell.effect) put8(packed, cell.effect);
    if (cell.param) put8(packed, cell.param);
}

void putXmPattern(std::vector<uint8_t>& out, const Module& m, const Pattern& pat) {
    std::vector<uint8_t> packed;
    for (const auto& row : pat)
        for (int c = 0; c < m.channels; ++c) packXmCell(packed, m, row[c]);
    if (packed.size() > 0xffff) throw std::runtime_error(m.title + ": pattern too large");
    put32le(out, 9);
    put8(out, 0);
    put16le(out, static_cast<int>(pat.size()));
    put16le(out, static_cast<int>(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
}

void putXmEnvelopes(std::vector<uint8_t>& out, const Instrument& in) {
    const auto& env = in.volumeEnvelope.points;
    if (env.size() > 12) throw std::runtime_error(in.name + ": envelope has too many points");
    for (size_t i = 0; i < 12; ++i) {
        put16le(out, i < env.size() ? env[i].first : 0);
        put16le(out, i < env.size() ? env[i].second : 0);
    }
    const auto& pan = in.panEnvelope.points;
    if (pan.size() > 12) throw std::runtime_error(in.name + ": envelope has too many points");
    for (size_t i = 0; i < 12; ++i) {
        put16le(out, i < pan.size() ? pan[i].first : 0);
        put16le(out, i < pan.size() ? pan[i].second : 0);
    }
    put8(out, static_cast<int>(env.size()));
    put8(out, static_cast<int>(pan.size()));
    for (const Envelope* e : {&in.volumeEnvelope, &in.panEnvelope}) {
        put8(out, std::max(e->sustain, 0));
        put8(out, std::max(e->loopStart, 0));
        put8(out, std::max(e->loopEnd, 0));
    }
    for (const Envelope* e : {&in.volumeEnvelope, &in.panEnvelope})
        put8(out, e->points.empty() ? 0
                                    : (1 | (e->sustain >= 0 ? 2 : 0) |
                                       (e->loopStart >= 0 && e->loopEnd >= e->loopStart ? 4 : 0)));
}

// The sample header and the sample itself, stored as differences from one value to the next.
void putXmSample(std::vector<uint8_t>& out, const Instrument& in) {
    int bytesPer = in.wide ? 2 : 1;
    uint32_t len = static_cast<uint32_t>(in.data.size()) * bytesPer;
    int relative = 0, finetune = 0;
    xmTuning(in, relative, finetune);
    int type = in.loopLength > 0 ? (in.pingPong ? 2 : 1) : 0;
    if (in.wide) type |= 16;
    put32le(out, len);
    put32le(out, static_cast<uint32_t>(in.loopStart) * bytesPer);
    put32le(out, static_cast<uint32_t>(in.loopLength) * bytesPer);
    put8(out, in.volume);
    put8(out, finetune);
    put8(out, type);
    put8(out, in.pan);
    put8(out, relative);
    put8(out, 0);
    putText(out, in.name, 22);
    if (in.wide) {
        int16_t old = 0;
        for (int16_t s : quantise16(in.data)) {
            put16le(out, static_cast<int16_t>(s - old));
            old = s;
        }
    } else {
        int8_t old = 0;
        for (int8_t s : quantise8(in.data)) {
            put8(out, static_cast<int8_t>(s - old));
            old = s;
        }
    }
}

void putXmInstrument(std::vector<uint8_t>& out, const Instrument& in) {
    put32le(out, 263);
    putText(out, in.name, 22);
    put8(out, 0);
    put16le(out, 1);
    put32le(out, 40);
    for (int i = 0; i < 96; ++i) put8(out, 0);
    putXmEnvelopes(out, in);
    put8(out, 0); // vibrato: sine
    put8(out, in.vibratoSweep);
    put8(out, in.vibratoDepth);
    put8(out, in.vibratoRate);
    put16le(out, in.fadeout);
    for (int i = 0; i < 22; ++i) put8(out, 0);
    putXmSample(out, in);
}

} // namespace

std::vector<uint8_t> writeXm(const Module& m) {
    if (m.channels < 2 || m.channels > 32)
        throw std::runtime_error(m.title + ": bad channel count");
    if (m.instruments.empty() || m.instruments.size() > 128)
        throw std::runtime_error(m.title + ": XM needs 1 to 128 instruments");
    Cut cut = cutPatterns(m);
    if (cut.order.size() > 256 || cut.patterns.size() > 256)
        throw std::runtime_error(m.title + ": too many patterns for XM");

    std::vector<uint8_t> out;
    putXmHeader(out, m, cut);
    for (const auto& pat : cut.patterns) putXmPattern(out, m, pat);
    for (const Instrument& in : m.instruments) putXmInstrument(out, in);
    return out;
}

namespace {

const int kPeriods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                          428, 404, 381, 360, 340, 320, 302, 285, 269, 254, 240, 226,
                          214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

// A MOD sample plays at 3546895 / period samples per second; at period 428 (C-2) that is
// about 8287 Hz. Returns the MIDI pitch heard at C-2 after finetune, and the finetune.
void modTuning(const Instrument& in, int& c2Midi, int& finetune) {
    double atC2 = in.baseMidi + 12.0 * std::log2((3546895.0 / 428.0) / in.rate);
    c2Midi = static_cast<int>(std::lround(atC2));
    finetune = std::clamp(static_cast<int>(std::lround((c2Midi - atC2) * 8.0)), -8, 7);
}

// The 31 sample headers; fills c2 (each sample's pitch at C-2) and bytes (the samples as
// stored).
void putModSamples(std::vector<uint8_t>& out, const Module& m, std::vector<int>& c2,
                   std::vector<std::vector<int8_t>>& bytes) {
    c2.assign(m.instruments.size(), 0);
    for (size_t i = 0; i < 31; ++i) {
        if (i >= m.instruments.size()) {
            putText(out, "", 22);
            put16be(out, 0);
            put8(out, 0);
            put8(out, 0);
            put16be(out, 0);
            put16be(out, 1);
            continue;
        }
        const Instrument& in = m.instruments[i];
        std::vector<int8_t> data = quantise8(in.data);
        int loopStart = in.loopStart, loopLength = in.loopLength;
        if (data.size() & 1) data.push_back(0);
        if (loopLength > 0 && ((loopStart | loopLength) & 1))
            throw std::runtime_error(in.name + ": MOD loops start and last an even count");
        if (loopLength == 0 && data.size() >= 2) data[0] = data[1] = 0; // silent one-shot stop
        if (data.size() > 131070) throw std::runtime_error(in.name + ": sample too long for MOD");
        int finetune = 0;
        modTuning(in, c2[i], finetune);
        putText(out, in.name, 22);
        put16be(out, static_cast<int>(data.size() / 2));
        put8(out, finetune & 15);
        put8(out, std::min(in.volume, 64));
        put16be(out, loopLength > 0 ? loopStart / 2 : 0);
        put16be(out, loopLength > 0 ? loopLength / 2 : 1);
        bytes.push_back(std::move(data));
    }
}

// One cell as four bytes: sample and period, effect and parameter. A cut and a volume become
// effect C, which is why neither may come with an effect of its own.
void putModCell(std::vector<uint8_t>& out, const Module& m, const Cell& cell,
                const std::vector<int>& c2) {
    int period = 0;
    int effect = cell.effect, param = cell.param;
    if (cell.note == NOTE_OFF) {
        if (cell.hasEffect()) throw std::runtime_error(m.title + ": cut and effect clash");
        effect = 0xC;
        param = 0;
    } else if (cell.note != NOTE_NONE) {
        int inst = cell.instrument;
        if (inst < 1) throw std::runtime_error(m.title + ": MOD note without sample");
        int idx = cell.note - c2[inst - 1] + 12;
        if (idx < 0 || idx > 35)
            throw std::runtime_error(m.title + ": note " + std::to_string(cell.note) +
                                     " outside the range of " + m.instruments[inst - 1].name);
        period = kPeriods[idx];
    }
    if (cell.volumeFx != 0) throw std::runtime_error(m.title + ": MOD has no volume column");
    if (cell.volume >= 0) {
        if (cell.hasEffect())
            throw std::runtime_error(m.title + ": volume and effect in one MOD cell");
        effect = 0xC;
        param = std::min(cell.volume, 64);
    }
    if (effect > 0xF) throw std::runtime_error(m.title + ": effect not in MOD");
    put8(out, (cell.instrument & 0xf0) | (period >> 8));
    put8(out, period & 0xff);
    put8(out, ((cell.instrument & 0x0f) << 4) | effect);
    put8(out, param);
}

} // namespace

std::vector<uint8_t> writeMod(const Module& m) {
    if (m.channels != 4) throw std::runtime_error(m.title + ": MOD modules have 4 channels");
    if (m.instruments.empty() || m.instruments.size() > 31)
        throw std::runtime_error(m.title + ": MOD needs 1 to 31 samples");
    if (m.patternRows != 64) throw std::runtime_error(m.title + ": MOD patterns have 64 rows");
    Cut cut = cutPatterns(m);
    if (cut.order.size() > 128 || cut.patterns.size() > 64)
        throw std::runtime_error(m.title + ": too many patterns for MOD");

    std::vector<uint8_t> out;
    putText(out, m.title, 20);
    std::vector<int> c2;
    std::vector<std::vector<int8_t>> bytes;
    putModSamples(out, m, c2, bytes);
    put8(out, static_cast<int>(cut.order.size()));
    put8(out, 127);
    for (int i = 0; i < 128; ++i)
        put8(out, i < static_cast<int>(cut.order.size()) ? cut.order[i] : 0);
    putText(out, "M.K.", 4);

    for (const auto& pat : cut.patterns)
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < 4; ++c)
                putModCell(out, m, r < static_cast<int>(pat.size()) ? pat[r][c] : Cell{}, c2);
    for (const auto& d : bytes)
        for (int8_t s : d) put8(out, s);
    return out;
}

double tickSeconds(int bpm) {
    // Players count a tick in whole samples at 48 kHz (2.5 / bpm seconds, rounded down); over
    // a two-minute tune the rounding adds up to a tenth of a second.
    return std::floor(120000.0 / bpm) / 48000.0;
}

double playingSeconds(const Module& m) {
    double seconds = 0;
    int speed = m.speed, bpm = m.bpm;
    for (const auto& row : m.rows) {
        bool jump = false;
        for (const Cell& c : row) {
            if (c.effect == 0xF && c.param > 0) {
                if (c.param < 32)
                    speed = c.param;
                else
                    bpm = c.param;
            }
            if (c.effect == 0xB || c.effect == 0xD) jump = true;
        }
        seconds += speed * tickSeconds(bpm);
        if (jump) break;
    }
    return seconds;
}

} // namespace music
