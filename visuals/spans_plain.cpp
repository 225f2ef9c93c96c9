// Plain versions of the span routines, one byte at a time: what a processor without SSE2 runs,
// and the yardstick the fast versions are tested against, so they stay as simple as the
// arithmetic allows.
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <algorithm>

namespace visuals::plain {

namespace {

unsigned byteOf(std::uint32_t p, int i) {
    return (p >> (8 * i)) & 0xFFu;
}
std::uint32_t withByte(std::uint32_t p, int i, unsigned v) {
    return (p & ~(0xFFu << (8 * i))) | ((v & 0xFFu) << (8 * i));
}
unsigned satAdd(unsigned x, unsigned y) {
    return std::min(x + y, 255u);
}
unsigned satSub(unsigned x, unsigned y) {
    return x > y ? x - y : 0u;
}
int pairedCount(int count) {
    return count > 0 ? count & ~1 : 0;
}

} // namespace

void subtractLevelSpan(const std::uint32_t* s, std::uint32_t* d, int count, int level) {
    unsigned l = static_cast<unsigned>(std::clamp(level, 0, 255));
    for (int i = 0; i < pairedCount(count); ++i) {
        std::uint32_t p = s[i];
        for (int c = 0; c < 3; ++c) p = withByte(p, c, satSub(byteOf(p, c), l));
        d[i] = p;
    }
}

void fadeSpan(std::uint32_t* d, int count) {
    for (int i = 0; i < pairedCount(count); ++i)
        for (int c = 0; c < 3; ++c) d[i] = withByte(d[i], c, satSub(byteOf(d[i], c), 15));
}

void addHalfSpan(const std::uint32_t* s, std::uint32_t* d, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint32_t p = d[i], q = s[i];
        for (int c = 0; c < 4; ++c) p = withByte(p, c, satAdd(byteOf(p, c), byteOf(q, c) / 2));
        d[i] = p;
    }
}

void addBlueSpan(const std::uint8_t* s, std::uint32_t* d, int count) {
    for (int i = 0; i < pairedCount(count); ++i)
        d[i] = withByte(d[i], 0, satAdd(byteOf(d[i], 0), s[i]));
}

void keyedCopySpan(const std::uint32_t* s, std::uint32_t* d, int count) {
    for (int i = 0; i < pairedCount(count); ++i)
        if (s[i] != COLOR_KEY) d[i] = s[i];
}

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* d, int count,
                    std::uint16_t wa, std::uint16_t wb) {
    for (int i = 0; i < pairedCount(count); ++i) {
        std::uint32_t pa = a[i], pb = b[i];
        if (pb == COLOR_KEY) {
            d[i] = pa;
            continue;
        }
        std::uint32_t r = 0;
        for (int c = 0; c < 4; ++c) {
            unsigned x = (byteOf(pa, c) * wa) & 0xFFFFu; // 16-bit lanes keep the low half
            unsigned y = (byteOf(pb, c) * wb) & 0xFFFFu;
            unsigned sum = std::min(x + y, 65535u);
            r = withByte(r, c, std::min(sum / 256, 255u));
        }
        d[i] = r;
    }
}

void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* d, int count) {
    for (int i = 0; i < pairedCount(count); ++i) d[i] = b[i] == COLOR_KEY ? a[i] : b[i];
}

void fillKeyedSpan(const std::uint32_t* s, std::uint32_t* d, int count) {
    for (int i = 0; i < pairedCount(count); ++i)
        if (d[i] == COLOR_KEY) d[i] = s[i];
}

} // namespace visuals::plain
