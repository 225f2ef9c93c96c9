// The span routines as callers see them: each goes through the table of the widest instruction
// set at hand, chosen once.
#include "visuals/spans.h"

#include "platform/cpu.h"
#include "visuals/span_sets.h"

namespace visuals {

namespace {

#define VRK_SPAN_TABLE(set)                                                                        \
    SpanRoutines {                                                                                 \
        set::subtractLevelSpan, set::fadeSpan, set::addHalfSpan, set::addBlueSpan,                 \
            set::keyedCopySpan, set::keyedBlendSpan, set::overlayKeyedSpan, set::fillKeyedSpan     \
    }

const SpanRoutines& choose() {
#ifdef VRK_SPANS_X86
    static const SpanRoutines avx2Set = VRK_SPAN_TABLE(avx2);
    static const SpanRoutines sse2Set = VRK_SPAN_TABLE(sse2);
    static const SpanRoutines avx512Set = [] {
        SpanRoutines set = VRK_SPAN_TABLE(avx2);
        set.keyedBlend = avx512::keyedBlendSpan;
        return set;
    }();
    if (platform::cpuHasAvx512Vbmi()) return avx512Set;
    return platform::cpuHasAvx2() ? avx2Set : sse2Set;
#else
    static const SpanRoutines plainSet = VRK_SPAN_TABLE(plain);
    return plainSet;
#endif
}

#undef VRK_SPAN_TABLE

} // namespace

const SpanRoutines& chosenSpans() {
    // A static initialiser elsewhere may draw before this file's own would have run.
    static const SpanRoutines& chosen = choose();
    return chosen;
}

void subtractLevelSpan(const std::uint32_t* source, std::uint32_t* destination, int count,
                       int level) {
    chosenSpans().subtractLevel(source, destination, count, level);
}

void fadeSpan(std::uint32_t* destination, int count) {
    chosenSpans().fade(destination, count);
}

void addHalfSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    chosenSpans().addHalf(source, destination, count);
}

void addBlueSpan(const std::uint8_t* source, std::uint32_t* destination, int count) {
    chosenSpans().addBlue(source, destination, count);
}

void keyedCopySpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    chosenSpans().keyedCopy(source, destination, count);
}

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    chosenSpans().keyedBlend(a, b, destination, count, weightA, weightB);
}

void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                      int count) {
    chosenSpans().overlayKeyed(a, b, destination, count);
}

void fillKeyedSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    chosenSpans().fillKeyed(source, destination, count);
}

} // namespace visuals
