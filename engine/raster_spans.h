#pragma once
// The drawers' inner loops: one routine per drawer fills one span of a row. The scalar set is
// the reference; a wider set, chosen once at start-up, must give the same pixels.
#include <cstdint>

#include "engine/raster_internal.h"

namespace engine::raster {

// What a span reads besides its attributes.
struct SpanSource {
    const std::uint32_t* texels;   // 32-bit swizzled 256x256 texture
    const std::uint8_t* indices;   // palette texture; its shade table starts 65536 bytes later
    const std::uint32_t* previous; // the previous frame, previousWidth x previousHeight
    int previousWidth, previousHeight;
    std::uint32_t opacity, transparency; // blend weights, one 16-bit weight in each half
};

// count > 0 pixels from dst; a holds the attributes at the first pixel and d their steps per
// pixel, all 16.16: light; u, v; or u, v, light.
using SpanRoutine = void (*)(std::uint32_t* dst, int count, const std::int32_t* a,
                             const std::int32_t* d, const SpanSource& src);

struct SpanRoutines {
    SpanRoutine gouraud, shadedTexture, environment, textured, half, blend, alpha;
};

const SpanRoutines& ScalarSpans();
// Null when the processor lacks AVX2.
const SpanRoutines* Avx2Spans();

// Whole faces with one set of inner loops built in: pool[0..2] hold the face (CLIP_POOL room),
// outcodes receive its three outcodes.
template <int NA>
using FaceRoutine = void (*)(ClipVertex<NA>* pool, std::uint32_t* const* outcodes,
                             const SpanSource& src);

struct FaceRoutines {
    FaceRoutine<1> gouraud;
    FaceRoutine<3> shadedTexture;
    FaceRoutine<2> environment, textured, half, blend, alpha;
};

const FaceRoutines& ScalarFaces();
const FaceRoutines* Avx2Faces();   // null when the processor lacks AVX2
const FaceRoutines& ActiveFaces(); // the widest set the processor runs

// The packed u and v registers of the swizzled textures: u >> 3 in bits 27-31, u AND 7 in
// bits 16-18, v in bits 19-26, 15 fraction bits in 0-14 of each, so that their sum >> 16 is
// the swizzled texel index.
inline namespace VRK_RASTER_ISA {
inline std::uint32_t PackU(std::uint32_t u) {
    const std::uint32_t ui = (u >> 16) & 255;
    return ((ui >> 3) << 27) | ((ui & 7) << 16) | ((u >> 1) & 0x7FFF);
}
inline std::uint32_t PackV(std::uint32_t v) {
    return (((v >> 16) & 255) << 19) | ((v >> 1) & 0x7FFF);
}
} // namespace VRK_RASTER_ISA
// Filler ones in the other coordinate's fields let carries hop over them; the masks clear them.
constexpr std::uint32_t U_STEP_FILL = 0x07F88000, V_STEP_FILL = 0xF8078000;
constexpr std::uint32_t U_MASK = 0xF8077FFF, V_MASK = 0x07F87FFF;

// The per-pixel arithmetic shared by the scalar loops.
inline namespace VRK_RASTER_ISA {
inline std::uint32_t HalfPixel(std::uint32_t texel, std::uint32_t frame) {
    return ((texel & 0xFEFEFEFEu) >> 1) + ((frame & 0xFEFEFEFEu) >> 1);
}
} // namespace VRK_RASTER_ISA
// Lanes blue and red take the low 16-bit weight, green and the top byte the high one; each
// product keeps 16 bits, and the sum saturates at 255.
std::uint32_t BlendPixel(std::uint32_t texel, std::uint32_t frame, std::uint32_t opacity,
                         std::uint32_t transparency);
std::uint32_t AlphaPixel(std::uint32_t texel, std::uint32_t frame);

} // namespace engine::raster
