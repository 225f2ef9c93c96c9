#pragma once
// The span routines per instruction set, and the table the public ones in spans.h go through.
// The plain set is built for every processor and is the yardstick the others are held to, bit
// for bit; the SSE2 and AVX2 sets exist on x86 only.
#include <cstdint>

#define VRK_SPAN_ROUTINES                                                                          \
    void subtractLevelSpan(const std::uint32_t* source, std::uint32_t* destination, int count,     \
                           int level);                                                             \
    void fadeSpan(std::uint32_t* destination, int count);                                          \
    void addHalfSpan(const std::uint32_t* source, std::uint32_t* destination, int count);          \
    void addBlueSpan(const std::uint8_t* source, std::uint32_t* destination, int count);           \
    void keyedCopySpan(const std::uint32_t* source, std::uint32_t* destination, int count);        \
    void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b,                            \
                        std::uint32_t* destination, int count, std::uint16_t weightA,              \
                        std::uint16_t weightB);                                                    \
    void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b,                          \
                          std::uint32_t* destination, int count);                                  \
    void fillKeyedSpan(const std::uint32_t* source, std::uint32_t* destination, int count);

namespace visuals {

// One byte at a time, as simply as the arithmetic allows.
namespace plain {
VRK_SPAN_ROUTINES
} // namespace plain

#if defined(__i386__) || defined(__x86_64__)
#define VRK_SPANS_X86 1
namespace sse2 {
VRK_SPAN_ROUTINES
} // namespace sse2
// 256-bit versions: eight pixels at a time, the rest of a run handed to the SSE2 ones. Call
// them only where the processor has AVX2.
namespace avx2 {
VRK_SPAN_ROUTINES
} // namespace avx2
// AVX-512 (F, BW, VL and VBMI) helps the keyed blend alone; the set takes the rest from AVX2.
// Call it only where the processor has those extensions.
namespace avx512 {
void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB);
} // namespace avx512
#endif

struct SpanRoutines {
    decltype(&plain::subtractLevelSpan) subtractLevel;
    decltype(&plain::fadeSpan) fade;
    decltype(&plain::addHalfSpan) addHalf;
    decltype(&plain::addBlueSpan) addBlue;
    decltype(&plain::keyedCopySpan) keyedCopy;
    decltype(&plain::keyedBlendSpan) keyedBlend;
    decltype(&plain::overlayKeyedSpan) overlayKeyed;
    decltype(&plain::fillKeyedSpan) fillKeyed;
};

// The widest set the processor runs, chosen once.
const SpanRoutines& chosenSpans();

} // namespace visuals

#undef VRK_SPAN_ROUTINES
