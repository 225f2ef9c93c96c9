// Off-screen surfaces: our own memory, rows pitch bytes apart.
#include "console/console.h"
#include "console/convert.h"
#include "console/pages.h"

#include <algorithm>
#include <cstring>

namespace {

void requireSurface(const PtcSurface* s) {
    if (!s) throw PtcError("invalid surface");
}

void requireSameDepth(const PtcSurface* a, const PtcSurface* b) {
    if (a->format.bits != b->format.bits) throw PtcError("surface formats differ");
}

// Copies sourceArea of one pixel grid onto targetArea of another (same depth), scaling by
// nearest pixel when the sizes differ. Both areas are clipped to their grids.
void copyArea(const std::uint8_t* src, int sw, int sh, int spitch, std::uint8_t* dst, int dw,
              int dh, int dpitch, int bytes, PtcArea sa, PtcArea da) {
    const int aw = sa.width(), ah = sa.height(), bw = da.width(), bh = da.height();
    if (aw <= 0 || ah <= 0 || bw <= 0 || bh <= 0) return;
    if (aw == bw && ah == bh) {
        // Same size: clip both rectangles together, then whole rows at a time.
        int dx0 = std::max({da.left, 0, da.left + (0 - sa.left)});
        int dy0 = std::max({da.top, 0, da.top + (0 - sa.top)});
        int dx1 = std::min({da.right, dw, da.left + (sw - sa.left)});
        int dy1 = std::min({da.bottom, dh, da.top + (sh - sa.top)});
        if (dx0 >= dx1 || dy0 >= dy1) return;
        const std::size_t rowBytes = static_cast<std::size_t>(dx1 - dx0) * bytes;
        for (int y = dy0; y < dy1; ++y) {
            const std::uint8_t* s = src + static_cast<std::size_t>(sa.top + (y - da.top)) * spitch +
                                    static_cast<std::size_t>(sa.left + (dx0 - da.left)) * bytes;
            std::uint8_t* d =
                dst + static_cast<std::size_t>(y) * dpitch + static_cast<std::size_t>(dx0) * bytes;
            std::memmove(d, s, rowBytes);
        }
        return;
    }
    const int dx0 = std::max(da.left, 0), dx1 = std::min(da.right, dw);
    const int dy0 = std::max(da.top, 0), dy1 = std::min(da.bottom, dh);
    for (int y = dy0; y < dy1; ++y) {
        const int sy = sa.top + static_cast<int>((2LL * (y - da.top) + 1) * ah / (2LL * bh));
        if (sy < 0 || sy >= sh) continue;
        std::uint8_t* d = dst + static_cast<std::size_t>(y) * dpitch;
        const std::uint8_t* s = src + static_cast<std::size_t>(sy) * spitch;
        for (int x = dx0; x < dx1; ++x) {
            const int sx = sa.left + static_cast<int>((2LL * (x - da.left) + 1) * aw / (2LL * bw));
            if (sx < 0 || sx >= sw) continue;
            std::memcpy(d + static_cast<std::size_t>(x) * bytes,
                        s + static_cast<std::size_t>(sx) * bytes, bytes);
        }
    }
}

PtcArea whole(int w, int h) {
    return {0, 0, w, h};
}

} // namespace

PtcSurface* ptc_surface_create(int width, int height, const PtcFormat* format) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw PtcError("invalid surface size");
    auto* s = new PtcSurface;
    s->width = width;
    s->height = height;
    s->format = format ? *format : ptc_format_named(PTC_FORMAT_ARGB8888);
    s->pitch = width * ptc_format_bytes(s->format);
    s->pixels.assign(static_cast<std::size_t>(s->pitch) * height, 0);
    return s;
}

void ptc_surface_destroy(PtcSurface* surface) {
    delete surface;
}

bool ptc_surface_valid(const PtcSurface* s) {
    return s && !s->pixels.empty();
}
int ptc_surface_width(const PtcSurface* s) {
    return requireSurface(s), s->width;
}
int ptc_surface_height(const PtcSurface* s) {
    return requireSurface(s), s->height;
}
int ptc_surface_pitch(const PtcSurface* s) {
    return requireSurface(s), s->pitch;
}

void* ptc_surface_lock(PtcSurface* s) {
    requireSurface(s);
    ++s->locks;
    return s->pixels.data();
}

void ptc_surface_unlock(PtcSurface* s) {
    requireSurface(s);
    if (s->locks > 0) --s->locks;
}

void ptc_surface_copy(const PtcSurface* source, PtcSurface* target) {
    requireSurface(source);
    requireSurface(target);
    if (source->width != target->width || source->height != target->height)
        throw PtcError("surface sizes differ");
    requireSameDepth(source, target);
    if (source != target)
        std::memcpy(target->pixels.data(), source->pixels.data(), source->pixels.size());
}

void ptc_surface_copy_area(const PtcSurface* source, PtcSurface* target, const PtcArea* sourceArea,
                           const PtcArea* targetArea) {
    requireSurface(source);
    requireSurface(target);
    requireSameDepth(source, target);
    copyArea(source->pixels.data(), source->width, source->height, source->pitch,
             target->pixels.data(), target->width, target->height, target->pitch,
             ptc_format_bytes(source->format),
             sourceArea ? *sourceArea : whole(source->width, source->height),
             targetArea ? *targetArea : whole(target->width, target->height));
}

void ptc_surface_copy(const PtcSurface* source, PtcConsole* target) {
    requireSurface(source);
    console::Page page = console::drawingPage(target);
    if (source->width != page.width || source->height != page.height)
        throw PtcError("surface and console sizes differ");
    console::loadPage(page, source, whole(source->width, source->height),
                      whole(page.width, page.height));
}

void ptc_surface_copy_area(const PtcSurface* source, PtcConsole* target, const PtcArea* sourceArea,
                           const PtcArea* targetArea) {
    requireSurface(source);
    console::Page page = console::drawingPage(target);
    console::loadPage(page, source, sourceArea ? *sourceArea : whole(source->width, source->height),
                      targetArea ? *targetArea : whole(page.width, page.height));
}

void ptc_surface_clear_color(PtcSurface* s, const PtcColor* color, const PtcArea* area) {
    requireSurface(s);
    const int bytes = ptc_format_bytes(s->format);
    const std::uint32_t value =
        s->format.indexed() ? 0 : console::fromArgb(color ? color->pixel() : 0, s->format);
    PtcArea a = area ? *area : whole(s->width, s->height);
    const int x0 = std::max(a.left, 0), x1 = std::min(a.right, s->width);
    const int y0 = std::max(a.top, 0), y1 = std::min(a.bottom, s->height);
    if (x0 >= x1 || y0 >= y1) return;
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = s->pixels.data() + static_cast<std::size_t>(y) * s->pitch;
        if (bytes == 4) {
            std::fill_n(reinterpret_cast<std::uint32_t*>(row) + x0, x1 - x0, value);
        } else {
            for (int x = x0; x < x1; ++x)
                for (int i = 0; i < bytes; ++i)
                    row[static_cast<std::size_t>(x) * bytes + i] =
                        static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
}

void ptc_surface_load(PtcSurface* s, const void* pixels, int width, int height, int pitch,
                      const PtcFormat* format, const PtcPalette* palette) {
    requireSurface(s);
    if (!pixels || !format) throw PtcError("invalid pixels");
    if (width != s->width || height != s->height) throw PtcError("load size differs from surface");
    if (format->indexed() && !palette) throw PtcError("indexed pixels need a palette");
    const auto* src = static_cast<const std::uint8_t*>(pixels);
    for (int y = 0; y < height; ++y)
        console::convertRow(src + static_cast<std::ptrdiff_t>(y) * pitch, *format, palette,
                            s->pixels.data() + static_cast<std::size_t>(y) * s->pitch, s->format,
                            width);
    if (format->indexed() && s->format.indexed()) {
        // Indexed into indexed keeps the indices and the palette.
        for (int y = 0; y < height; ++y)
            std::memcpy(s->pixels.data() + static_cast<std::size_t>(y) * s->pitch,
                        src + static_cast<std::ptrdiff_t>(y) * pitch, width);
        s->palette = *palette;
    }
}

PtcSurface* ptc_surface_convert(const PtcSurface* surface, int code) {
    requireSurface(surface);
    PtcFormat f = ptc_format_named(code);
    PtcSurface* out = ptc_surface_create(surface->width, surface->height, &f);
    try {
        ptc_surface_load(out, surface->pixels.data(), surface->width, surface->height,
                         surface->pitch, &surface->format, &surface->palette);
    } catch (...) {
        ptc_surface_destroy(out);
        throw;
    }
    return out;
}

namespace console {

void loadPage(const Page& page, const PtcSurface* source, PtcArea sourceArea, PtcArea targetArea) {
    const int pitch = page.width * 4;
    auto* dst = reinterpret_cast<std::uint8_t*>(page.pixels);
    if (source->format.bits == 32 && !source->format.indexed()) {
        copyArea(source->pixels.data(), source->width, source->height, source->pitch, dst,
                 page.width, page.height, pitch, 4, sourceArea, targetArea);
        return;
    }
    PtcSurface* converted = ptc_surface_convert(source);
    copyArea(converted->pixels.data(), converted->width, converted->height, converted->pitch, dst,
             page.width, page.height, pitch, 4, sourceArea, targetArea);
    ptc_surface_destroy(converted);
}

} // namespace console
