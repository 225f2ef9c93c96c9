// Pixel formats, colours, areas and palettes, and the conversion of pixels between formats.
#include "console/console.h"
#include "console/convert.h"

#include <cmath>

std::uint32_t PtcColor::pixel() const {
    auto channel = [](float v) -> std::uint32_t {
        if (!(v > 0.0f)) return 0;
        if (v >= 1.0f) return 255;
        return static_cast<std::uint32_t>(std::lround(v * 255.0f));
    };
    return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

PtcFormat ptc_format_named(int code) {
    PtcFormat f;
    f.code = code;
    switch (code) {
    case PTC_FORMAT_ARGB8888:
        f.bits = 32, f.r = 0xff0000, f.g = 0xff00, f.b = 0xff, f.a = 0xff000000;
        break;
    case PTC_FORMAT_RGB888:
        f.bits = 24, f.r = 0xff0000, f.g = 0xff00, f.b = 0xff, f.a = 0;
        break;
    case PTC_FORMAT_ARGB1555:
        f.bits = 16, f.r = 0x7c00, f.g = 0x3e0, f.b = 0x1f, f.a = 0x8000;
        break;
    case PTC_FORMAT_INDEX8:
        f.bits = 8, f.r = f.g = f.b = f.a = 0;
        break;
    default:
        throw PtcError("unknown pixel format");
    }
    return f;
}

PtcFormat* ptc_format_create_direct(int bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                                    std::uint32_t a) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw PtcError("unsupported pixel depth");
    auto* f = new PtcFormat;
    f->code = PTC_FORMAT_DIRECT;
    f->bits = bits;
    f->r = r, f->g = g, f->b = b, f->a = a;
    return f;
}

void ptc_format_destroy(PtcFormat* format) {
    delete format;
}
int ptc_format_bytes(const PtcFormat& format) {
    return (format.bits + 7) / 8;
}

namespace console {

namespace {
int lowBit(std::uint32_t mask) {
    return mask ? __builtin_ctz(mask) : 0;
}
int bitCount(std::uint32_t mask) {
    return __builtin_popcount(mask);
}

// Widens a channel of n bits to 8 by repeating its bits, so full scale stays full scale.
std::uint32_t widen(std::uint32_t v, int n) {
    if (n <= 0) return 0;
    if (n >= 8) return v >> (n - 8);
    std::uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += n) out = (out << n) | v;
    return (out >> ((8 + n - 1) / n * n - 8)) & 0xff;
}

std::uint32_t channelTo8(std::uint32_t value, std::uint32_t mask) {
    return widen((value & mask) >> lowBit(mask), bitCount(mask));
}

std::uint32_t channelFrom8(std::uint32_t c8, std::uint32_t mask) {
    int n = bitCount(mask);
    if (n == 0) return 0;
    std::uint32_t v = n >= 8 ? c8 << (n - 8) : c8 >> (8 - n);
    return (v << lowBit(mask)) & mask;
}

std::uint32_t readPixel(const std::uint8_t* p, int bytes) {
    switch (bytes) {
    case 1:
        return p[0];
    case 2:
        return p[0] | (p[1] << 8);
    case 3:
        return p[0] | (p[1] << 8) | (p[2] << 16);
    default:
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
}

void writePixel(std::uint8_t* p, int bytes, std::uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool isArgb8888(const PtcFormat& f) {
    return f.bits == 32 && f.r == 0xff0000 && f.g == 0xff00 && f.b == 0xff;
}
bool isRgb888(const PtcFormat& f) {
    return f.bits == 24 && f.r == 0xff0000 && f.g == 0xff00 && f.b == 0xff;
}
} // namespace

std::uint32_t toArgb(std::uint32_t value, const PtcFormat& from, const PtcPalette* palette) {
    if (from.indexed()) return palette ? palette->entries[value & 0xff] & 0xffffff : 0;
    return (channelTo8(value, from.r) << 16) | (channelTo8(value, from.g) << 8) |
           channelTo8(value, from.b);
}

std::uint32_t fromArgb(std::uint32_t argb, const PtcFormat& to) {
    return channelFrom8((argb >> 16) & 0xff, to.r) | channelFrom8((argb >> 8) & 0xff, to.g) |
           channelFrom8(argb & 0xff, to.b);
}

void convertRow(const std::uint8_t* src, const PtcFormat& from, const PtcPalette* palette,
                std::uint8_t* dst, const PtcFormat& to, int count) {
    int sb = ptc_format_bytes(from), db = ptc_format_bytes(to);
    if (isArgb8888(to) && isRgb888(from)) {
        auto* out = reinterpret_cast<std::uint32_t*>(dst);
        for (int i = 0; i < count; ++i, src += 3)
            out[i] = src[0] | (src[1] << 8) | (static_cast<std::uint32_t>(src[2]) << 16);
        return;
    }
    if (isArgb8888(to) && isArgb8888(from)) {
        auto* out = reinterpret_cast<std::uint32_t*>(dst);
        for (int i = 0; i < count; ++i, src += 4) out[i] = readPixel(src, 4) & 0xffffff;
        return;
    }
    for (int i = 0; i < count; ++i, src += sb, dst += db) {
        std::uint32_t argb = toArgb(readPixel(src, sb), from, palette);
        if (to.indexed())
            writePixel(dst, db, 0); // nothing converts into a palette; leave index 0
        else
            writePixel(dst, db, fromArgb(argb, to));
    }
}

} // namespace console
