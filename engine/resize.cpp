#include "engine/resize.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "engine/pictures.h"

namespace engine {

namespace {

std::int64_t resizeStep(int from, int to) {
    return static_cast<std::int64_t>(from * 1024.0 / to);
}

// Both passes: along rows into width x old height, then along columns into width x height.
PtcSurface* resizeTwoPasses(const PtcSurface* source, int width, int height) {
    if (!source || width < 1 || height < 1 || source->width < 1 || source->height < 1)
        return nullptr;
    const int bytes = ptc_format_bytes(source->format);
    SurfaceHandle rows, out;
    try {
        rows.reset(ptc_surface_create(width, source->height, &source->format));
        out.reset(ptc_surface_create(width, height, &source->format));
    } catch (const PtcError&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    const std::int64_t stepX = resizeStep(source->width, width);
    for (int y = 0; y < source->height; ++y) {
        const std::uint8_t* in = IndexRow(source, y);
        std::uint8_t* to = rows->pixels.data() + static_cast<std::size_t>(y) * rows->pitch;
        std::int64_t at = 0;
        for (int k = 0; k < width; ++k, at += stepX)
            std::memcpy(to + k * bytes, in + (at >> 10) * bytes, bytes);
    }
    const std::int64_t stepY = resizeStep(source->height, height);
    std::int64_t at = 0;
    for (int k = 0; k < height; ++k, at += stepY)
        std::memcpy(out->pixels.data() + static_cast<std::size_t>(k) * out->pitch,
                    IndexRow(rows.get(), static_cast<int>(at >> 10)),
                    static_cast<std::size_t>(width) * bytes);
    out->palette = source->palette;
    return out.release();
}

} // namespace

int ResizeSource(int from, int to, int k) {
    return static_cast<int>((resizeStep(from, to) * k) >> 10);
}

PtcSurface* ResizeSurface(const PtcSurface* surface, int width, int height) {
    if (!surface || surface->format.bits != 32) return nullptr;
    return resizeTwoPasses(surface, width, height);
}

PtcSurface* ResizeIndexedSurface(const PtcSurface* surface, int width, int height) {
    if (!IsIndexed(surface)) return nullptr;
    return resizeTwoPasses(surface, width, height);
}

} // namespace engine
