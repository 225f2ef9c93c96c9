// The scalar inner loops: the reference for every wider version and the fallback on
// processors without one.
#include "engine/raster_spans.h"

#include "engine/raster_fill.h"
#include "platform/cpu.h"

#include <algorithm>
#include <cstring>

namespace engine::raster {

std::uint32_t BlendPixel(std::uint32_t texel, std::uint32_t frame, std::uint32_t opacity,
                         std::uint32_t transparency) {
    std::uint32_t out = 0;
    for (int lane = 0; lane < 4; ++lane) {
        const int half = (lane & 1) * 16;
        const std::uint32_t wo = (opacity >> half) & 0xFFFF;
        const std::uint32_t wt = (transparency >> half) & 0xFFFF;
        const std::uint32_t t = (texel >> (lane * 8)) & 255;
        const std::uint32_t f = (frame >> (lane * 8)) & 255;
        const std::uint32_t sum = (((t * wo) & 0xFFFF) >> 8) + (((f * wt) & 0xFFFF) >> 8);
        out |= std::min(sum, 255u) << (lane * 8);
    }
    return out;
}

std::uint32_t AlphaPixel(std::uint32_t texel, std::uint32_t frame) {
    const std::uint32_t a = texel >> 24;
    std::uint32_t out = ((texel >> 24) * 255 >> 8) << 24;
    for (int lane = 0; lane < 3; ++lane) {
        const std::uint32_t t = (texel >> (lane * 8)) & 255;
        const std::uint32_t f = (frame >> (lane * 8)) & 255;
        out |= ((t * (255 - a) >> 8) + (f * a >> 8)) << (lane * 8);
    }
    return out;
}

namespace {

// Light values can stray a step beyond 0 or 255 through 16.16 rounding; they saturate
// instead of wrapping into a white or black speck.
void GouraudSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                 const SpanSource&) {
    std::uint32_t light = static_cast<std::uint32_t>(a[0]);
    const std::uint32_t step = static_cast<std::uint32_t>(d[0]);
    for (int k = 0; k < count; ++k) {
        const std::int32_t i = std::clamp(static_cast<std::int32_t>(light) >> 16, 0, 255);
        dst[k] = static_cast<std::uint32_t>(i) * 0x010101u;
        light += step;
    }
}

void ShadedTextureSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                       const SpanSource& src) {
    std::uint32_t u = static_cast<std::uint32_t>(a[0]), v = static_cast<std::uint32_t>(a[1]);
    std::uint32_t light = static_cast<std::uint32_t>(a[2]);
    const std::uint8_t* shade = src.indices + 65536;
    for (int k = 0; k < count; ++k) {
        const std::uint32_t index = src.indices[((v >> 16) & 255) * 256 + ((u >> 16) & 255)];
        std::memcpy(dst + k, shade + index * 256 + ((light >> 16) & 63) * 4, 4);
        u += static_cast<std::uint32_t>(d[0]);
        v += static_cast<std::uint32_t>(d[1]);
        light += static_cast<std::uint32_t>(d[2]);
    }
}

// Inside the picture the pixel offset is stepped directly, one addition and the carries of
// the two fractions per pixel; a span that leaves the picture reads its nearest edge pixel.
void EnvironmentSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                     const SpanSource& src) {
    const std::int64_t w = src.previousWidth, h = src.previousHeight;
    const std::int64_t u0 = a[0], v0 = a[1];
    const std::int64_t u1 = u0 + static_cast<std::int64_t>(d[0]) * (count - 1);
    const std::int64_t v1 = v0 + static_cast<std::int64_t>(d[1]) * (count - 1);
    const bool inside = std::min(u0, u1) >= 0 && std::max(u0, u1) < (w << 16) &&
                        std::min(v0, v1) >= 0 && std::max(v0, v1) < (h << 16);
    if (!inside) {
        for (int k = 0; k < count; ++k) {
            const std::int64_t u = std::clamp((u0 + d[0] * static_cast<std::int64_t>(k)) >> 16,
                                              std::int64_t{0}, w - 1);
            const std::int64_t v = std::clamp((v0 + d[1] * static_cast<std::int64_t>(k)) >> 16,
                                              std::int64_t{0}, h - 1);
            dst[k] = src.previous[v * w + u];
        }
        return;
    }
    // Unsigned: the steps after the last pixel may leave the picture and are never used.
    const std::uint32_t row = static_cast<std::uint32_t>(w);
    std::uint32_t offset = static_cast<std::uint32_t>((v0 >> 16) * w + (u0 >> 16));
    std::uint32_t uf = static_cast<std::uint32_t>(u0) & 0xFFFF;
    std::uint32_t vf = static_cast<std::uint32_t>(v0) & 0xFFFF;
    const std::uint32_t duf = static_cast<std::uint32_t>(d[0]) & 0xFFFF;
    const std::uint32_t dvf = static_cast<std::uint32_t>(d[1]) & 0xFFFF;
    const std::uint32_t step =
        static_cast<std::uint32_t>(d[0] >> 16) + static_cast<std::uint32_t>(d[1] >> 16) * row;
    for (int k = 0; k < count; ++k) {
        dst[k] = src.previous[offset];
        uf += duf;
        vf += dvf;
        offset += step + (uf >> 16) + (vf >> 16) * row;
        uf &= 0xFFFF;
        vf &= 0xFFFF;
    }
}

// The packed u/v walk over a swizzled texture.
struct TexelWalk {
    std::uint32_t ur, vr, us, vs;
    TexelWalk(const std::int32_t* a, const std::int32_t* d)
        : ur(PackU(static_cast<std::uint32_t>(a[0]))), vr(PackV(static_cast<std::uint32_t>(a[1]))),
          us(PackU(static_cast<std::uint32_t>(d[0])) | U_STEP_FILL),
          vs(PackV(static_cast<std::uint32_t>(d[1])) | V_STEP_FILL) {}
    std::uint32_t Next(const std::uint32_t* texels) {
        const std::uint32_t texel = texels[(ur + vr) >> 16];
        ur = (ur + us) & U_MASK;
        vr = (vr + vs) & V_MASK;
        return texel;
    }
};

void TexturedSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                  const SpanSource& src) {
    TexelWalk walk(a, d);
    for (int k = 0; k < count; ++k) dst[k] = walk.Next(src.texels);
}

void HalfSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
              const SpanSource& src) {
    TexelWalk walk(a, d);
    for (int k = 0; k < count; ++k) dst[k] = HalfPixel(walk.Next(src.texels), dst[k]);
}

void BlendSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
               const SpanSource& src) {
    TexelWalk walk(a, d);
    for (int k = 0; k < count; ++k) {
        dst[k] = BlendPixel(walk.Next(src.texels), dst[k], src.opacity, src.transparency);
    }
}

void AlphaSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
               const SpanSource& src) {
    TexelWalk walk(a, d);
    for (int k = 0; k < count; ++k) dst[k] = AlphaPixel(walk.Next(src.texels), dst[k]);
}

template <int NA, SpanRoutine SPAN>
void Face(ClipVertex<NA>* pool, std::uint32_t* const* outcodes, const SpanSource& src) {
    DrawTriangle<NA>(pool, outcodes,
                     [&src](const std::int32_t* steps) { return SpansOf<SPAN>(steps, src); });
}

} // namespace

const FaceRoutines& ScalarFaces() {
    static const FaceRoutines faces = {Face<1, GouraudSpan>,     Face<3, ShadedTextureSpan>,
                                       Face<2, EnvironmentSpan>, Face<2, TexturedSpan>,
                                       Face<2, HalfSpan>,        Face<2, BlendSpan>,
                                       Face<2, AlphaSpan>};
    return faces;
}

const SpanRoutines& ScalarSpans() {
    static const SpanRoutines routines = {GouraudSpan,  ShadedTextureSpan, EnvironmentSpan,
                                          TexturedSpan, HalfSpan,          BlendSpan,
                                          AlphaSpan};
    return routines;
}

// Built for AVX2: call only after the check.
const SpanRoutines& Avx2SpanTable();
const FaceRoutines& Avx2FaceTable();

const SpanRoutines* Avx2Spans() {
    return platform::cpuHasAvx2() ? &Avx2SpanTable() : nullptr;
}
const FaceRoutines* Avx2Faces() {
    return platform::cpuHasAvx2() ? &Avx2FaceTable() : nullptr;
}

const FaceRoutines& ActiveFaces() {
    static const FaceRoutines* chosen = [] {
        const FaceRoutines* wide = Avx2Faces();
        return wide ? wide : &ScalarFaces();
    }();
    return *chosen;
}

} // namespace engine::raster
