#include "visuals/surface_fades.h"

#include "visuals/spans.h"

#include <algorithm>
#include <cstdint>

namespace visuals {

namespace {

// Keeps a surface locked for one scope, so an error on the second lock releases the first.
class LockedPixels {
  public:
    explicit LockedPixels(PtcSurface* s) : surface_(s) {
        if (ptc_surface_width(s) > 0 && s->format.bits != 32)
            throw PtcError("surface fade needs 32-bit surfaces");
        bytes_ = static_cast<std::uint8_t*>(ptc_surface_lock(s));
    }
    ~LockedPixels() { ptc_surface_unlock(surface_); }
    LockedPixels(const LockedPixels&) = delete;
    LockedPixels& operator=(const LockedPixels&) = delete;
    std::uint32_t* row(int y) const {
        return reinterpret_cast<std::uint32_t*>(bytes_ + std::size_t(y) * pitch());
    }
    int pitch() const { return ptc_surface_pitch(surface_); }

  private:
    PtcSurface* surface_;
    std::uint8_t* bytes_ = nullptr;
};

} // namespace

void fadeSurfaceFrom(PtcSurface* source, PtcSurface* target, int level) {
    if (!source || !target) return;
    const int width = std::min(ptc_surface_width(source), ptc_surface_width(target));
    const int height = std::min(ptc_surface_height(source), ptc_surface_height(target));
    if (width <= 0 || height <= 0) return;
    LockedPixels from(source);
    LockedPixels to(target);
    for (int y = 0; y < height; ++y) subtractLevelSpan(from.row(y), to.row(y), width, level);
}

void fadeSurfaceInPlace(PtcSurface* surface) {
    if (!surface) return;
    const int width = ptc_surface_width(surface), height = ptc_surface_height(surface);
    if (width <= 0 || height <= 0) return;
    LockedPixels pixels(surface);
    for (int y = 0; y < height; ++y) fadeSpan(pixels.row(y), width);
}

} // namespace visuals
