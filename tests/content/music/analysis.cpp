#include "analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

const char* const kExpression[] = {"vibrato", "tremolo",   "portamento", "volume slide",
                                   "panning", "retrigger", "note cut"};

struct Reader {
    const std::vector<uint8_t>& b;
    bool fits(size_t at, size_t n) const { return at <= b.size() && n <= b.size() - at; }
    int u8(size_t at) const { return fits(at, 1) ? b[at] : 0; }
    int u16le(size_t at) const { return u8(at) | u8(at + 1) << 8; }
    int u16be(size_t at) const { return u8(at) << 8 | u8(at + 1); }
    uint32_t u32le(size_t at) const {
        return u16le(at) | static_cast<uint32_t>(u16le(at + 2)) << 16;
    }
};

struct Cell {
    int effect = 0, param = 0, volume = 0;
    int note = 0, instrument = 0;
};
using Pattern = std::vector<std::vector<Cell>>; // [row][channel]

// Plays the order list row by row, noting tempo changes, until a jump back or the end.
void followOrder(PatternScan& s, const std::vector<Pattern>& pats, const std::vector<int>& order,
                 int speed, int bpm) {
    double t = 0;
    int startRow = 0;
    for (size_t o = 0; o < order.size(); ++o) {
        if (order[o] < 0 || order[o] >= static_cast<int>(pats.size())) break;
        const Pattern& p = pats[order[o]];
        int nextRow = 0;
        bool stop = false, brk = false;
        for (int r = startRow; r < static_cast<int>(p.size()) && !brk; ++r) {
            int newSpeed = speed, newBpm = bpm;
            for (const Cell& c : p[r]) {
                if (c.effect == 0xF && c.param > 0) (c.param < 32 ? newSpeed : newBpm) = c.param;
                if (c.effect == 0xB) {
                    stop = static_cast<size_t>(c.param) <= o;
                    brk = true;
                }
                if (c.effect == 0xD) {
                    brk = true;
                    nextRow = (c.param >> 4) * 10 + (c.param & 15);
                }
            }
            if ((newSpeed != speed || newBpm != bpm) && t > 0)
                s.tempo.push_back({t, static_cast<int>(o), r, newSpeed, newBpm});
            speed = newSpeed;
            bpm = newBpm;
            t += speed * 2.5 / bpm;
        }
        startRow = nextRow;
        if (stop) break;
    }
    s.seconds = t;
}

// Counts the channel columns the order list plays and how many of them differ.
void countTracks(PatternScan& s, const std::vector<Pattern>& pats, const std::vector<int>& order) {
    std::set<std::vector<int>> seen;
    for (int o : order) {
        if (o < 0 || o >= static_cast<int>(pats.size()) || pats[o].empty()) continue;
        for (size_t ch = 0; ch < pats[o][0].size(); ++ch) {
            std::vector<int> column;
            for (const auto& row : pats[o])
                column.insert(column.end(), {row[ch].note, row[ch].instrument, row[ch].volume,
                                             row[ch].effect, row[ch].param});
            seen.insert(column);
            ++s.tracks;
        }
    }
    s.distinctTracks = static_cast<int>(seen.size());
}

void collectKinds(PatternScan& s, const std::vector<Pattern>& pats, bool xm) {
    for (const Pattern& p : pats)
        for (const auto& row : p)
            for (const Cell& c : row) classifyEffect(xm, c.effect, c.param, c.volume, s.kinds);
}

PatternScan scanXm(const Reader& in) {
    PatternScan s;
    s.format = "xm";
    size_t headerSize = in.u32le(60);
    int length = std::min(in.u16le(64), 256), channels = in.u16le(68);
    int patterns = in.u16le(70), instruments = in.u16le(72);
    if (channels < 1 || channels > 64 || headerSize < 20) return s;
    std::vector<int> order;
    for (int i = 0; i < length; ++i) order.push_back(in.u8(80 + i));
    size_t at = 60 + headerSize;
    std::vector<Pattern> pats;
    for (int p = 0; p < patterns; ++p) {
        size_t head = in.u32le(at);
        int rows = in.u16le(at + 5);
        size_t packed = in.u16le(at + 7);
        size_t pos = at + head, end = pos + packed;
        if (!in.fits(at, head + packed) || rows < 1 || rows > 256) return s;
        Pattern pat(rows, std::vector<Cell>(channels));
        for (int r = 0; r < rows && packed; ++r)
            for (int c = 0; c < channels; ++c) {
                if (pos >= end) return s;
                int flags = in.u8(pos);
                int field[5] = {0, 0, 0, 0, 0};
                if (flags & 0x80) {
                    ++pos;
                    for (int k = 0; k < 5; ++k)
                        if (flags & (1 << k)) field[k] = in.u8(pos++);
                } else {
                    for (int k = 0; k < 5; ++k) field[k] = in.u8(pos++);
                }
                pat[r][c] = {field[3], field[4], field[2], field[0], field[1]};
            }
        pats.push_back(std::move(pat));
        at = end;
    }
    for (int i = 0; i < instruments && in.fits(at, 4); ++i) {
        size_t size = in.u32le(at);
        int samples = in.u16le(at + 27);
        if (size < 29) return s;
        if (samples > 0) {
            int type = in.u8(at + 233); // volume envelope flags, then panning's
            s.envelopes += (type & 1) || (in.u8(at + 234) & 1);
            s.panEnvelopes += in.u8(at + 234) & 1;
        }
        size_t sampleHeader = samples > 0 ? in.u32le(at + 29) : 0;
        size_t next = at + size, data = 0;
        for (int k = 0; k < samples; ++k) data += in.u32le(next + k * sampleHeader);
        at = next + samples * sampleHeader + data;
    }
    collectKinds(s, pats, true);
    countTracks(s, pats, order);
    followOrder(s, pats, order, std::max(1, in.u16le(76)), std::max(32, in.u16le(78)));
    s.ok = true;
    return s;
}

PatternScan scanMod(const Reader& in) {
    PatternScan s;
    s.format = "mod";
    int length = std::min(in.u8(950), 128);
    std::vector<int> order;
    int patterns = 0;
    for (int i = 0; i < 128; ++i) patterns = std::max(patterns, in.u8(952 + i) + 1);
    for (int i = 0; i < length; ++i) order.push_back(in.u8(952 + i));
    if (!in.fits(1084, static_cast<size_t>(patterns) * 1024)) return s;
    std::vector<Pattern> pats;
    for (int p = 0; p < patterns; ++p) {
        Pattern pat(64, std::vector<Cell>(4));
        for (int r = 0; r < 64; ++r)
            for (int c = 0; c < 4; ++c) {
                size_t at = 1084 + p * 1024 + r * 16 + c * 4;
                pat[r][c] = {in.u8(at + 2) & 15, in.u8(at + 3), 0,
                             (in.u8(at) & 15) << 8 | in.u8(at + 1),
                             (in.u8(at) & 0xf0) | in.u8(at + 2) >> 4};
            }
        pats.push_back(std::move(pat));
    }
    collectKinds(s, pats, false);
    countTracks(s, pats, order);
    followOrder(s, pats, order, 6, 125);
    s.ok = true;
    return s;
}

} // namespace

int PatternScan::expressionKinds() const {
    int n = 0;
    for (const char* k : kExpression) n += kinds.count(k) ? 1 : 0;
    return n;
}

void classifyEffect(bool xm, int fx, int param, int vol, std::set<std::string>& out) {
    if (xm && vol >= 0x60) {
        static const char* const volKinds[] = {
            "volume slide", "volume slide", "volume slide", "volume slide", "vibrato",
            "vibrato",      "panning",      "panning",      "panning",      "portamento"};
        out.insert(volKinds[(vol >> 4) - 6]);
    }
    int x = param >> 4, y = param & 15;
    switch (fx) {
    case 0x0:
        if (param) out.insert("arpeggio");
        break;
    case 0x1:
    case 0x2:
    case 0x3:
        out.insert("portamento");
        break;
    case 0x4:
        out.insert("vibrato");
        break;
    case 0x5:
        out.insert("portamento");
        out.insert("volume slide");
        break;
    case 0x6:
        out.insert("vibrato");
        out.insert("volume slide");
        break;
    case 0x7:
        out.insert("tremolo");
        break;
    case 0x8:
        out.insert("panning");
        break;
    case 0x9:
        out.insert("sample offset");
        break;
    case 0xA:
        out.insert("volume slide");
        break;
    case 0xB:
        out.insert("jump");
        break;
    case 0xC:
        break; // a plain volume
    case 0xD:
        out.insert("break");
        break;
    case 0xF:
        out.insert("tempo");
        break;
    case 0xE:
        switch (x) {
        case 0x1:
        case 0x2:
            out.insert("portamento");
            break;
        case 0x8:
            out.insert("panning");
            break;
        case 0x9:
            if (y) out.insert("retrigger");
            break;
        case 0xA:
        case 0xB:
            out.insert("volume slide");
            break;
        case 0xC:
            out.insert("note cut");
            break;
        case 0xD:
            out.insert("note delay");
            break;
        case 0xE:
            out.insert("pattern delay");
            break;
        default:
            out.insert("extended");
            break;
        }
        break;
    default:
        if (!xm) break;
        if (fx == 16 || fx == 17)
            out.insert("global volume");
        else if (fx == 20)
            out.insert("key off");
        else if (fx == 25)
            out.insert("panning");
        else if (fx == 27)
            out.insert("retrigger");
        else if (fx == 29)
            out.insert("tremolo");
        else if (fx == 33)
            out.insert("portamento");
        else
            out.insert("other");
    }
}

PatternScan scanPatterns(const std::vector<uint8_t>& bytes) {
    Reader in{bytes};
    if (bytes.size() >= 80 && std::string(bytes.begin(), bytes.begin() + 17) == "Extended Module: ")
        return scanXm(in);
    if (bytes.size() >= 1084 && std::string(bytes.begin() + 1080, bytes.begin() + 1084) == "M.K.")
        return scanMod(in);
    return {};
}

namespace {

void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> w(std::cos(-2 * M_PI / len), std::sin(-2 * M_PI / len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk(1);
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                auto u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

double db(double energy) {
    return 10.0 * std::log10(std::max(energy, 1e-20));
}

double highShareOf(const std::vector<float>& mono, double rate) {
    const size_t n = 4096;
    double high = 0, all = 0;
    size_t cut = static_cast<size_t>(4000.0 / rate * n);
    std::vector<std::complex<double>> buf(n);
    for (size_t at = 0; at + n <= mono.size(); at += n) {
        for (size_t i = 0; i < n; ++i)
            buf[i] = mono[at + i] * (0.5 - 0.5 * std::cos(2 * M_PI * i / n));
        fft(buf);
        for (size_t k = 1; k < n / 2; ++k) {
            double e = std::norm(buf[k]);
            all += e;
            if (k >= cut) high += e;
        }
    }
    return all > 0 ? high / all : 0;
}

} // namespace

SoundStats soundStats(const std::vector<float>& stereo, double rate) {
    SoundStats st;
    const size_t frames = stereo.size() / 2;
    std::vector<float> mono(frames);
    double mid = 0, side = 0;
    for (size_t i = 0; i < frames; ++i) {
        double l = stereo[2 * i], r = stereo[2 * i + 1];
        mid += (l + r) * (l + r) / 4;
        side += (l - r) * (l - r) / 4;
        mono[i] = static_cast<float>((l + r) / 2);
    }
    st.sideToMidDb = db(side) - db(mid);
    st.loudness = measureLoudness(stereo, static_cast<unsigned>(rate));
    st.highShare = highShareOf(mono, rate);
    const size_t opening = std::min(frames, static_cast<size_t>(2 * rate));
    double e = 0;
    for (size_t i = 0; i < 2 * opening; ++i) e += double(stereo[i]) * stereo[i];
    st.openingDb = db(e / std::max<size_t>(1, 2 * opening));
    const size_t gap = static_cast<size_t>(0.05 * rate);
    for (size_t at = 0; at + gap <= frames; at += gap) {
        double g = 0;
        for (size_t i = 2 * at; i < 2 * (at + gap); ++i) g += double(stereo[i]) * stereo[i];
        st.quietGaps += db(g / (2 * gap)) < -40 ? 1 : 0;
    }
    return st;
}
