#pragma once
// The span routines per instruction set. The public ones in spans.h choose the widest set the
// processor has; the tests hold each set to the scalar reference.
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
namespace sse2 {
VRK_SPAN_ROUTINES
} // namespace sse2
// 256-bit versions: eight pixels at a time, the rest of a run handed to the SSE2 ones. Call
// them only where avx2Available() is true.
namespace avx2 {
VRK_SPAN_ROUTINES
} // namespace avx2
bool avx2Available();
} // namespace visuals

#undef VRK_SPAN_ROUTINES
