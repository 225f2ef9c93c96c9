#pragma once
// Pictures for the preparation: read from a data file through the intro's image loader into
// console surfaces, converted with the console's converter. Every surface here has one owner,
// a SurfaceHandle, so that no failure path can leave one behind.
#include <memory>

#include "console/console.h"
#include "data/archive.h"

namespace engine {

struct SurfaceRelease {
    void operator()(PtcSurface* s) const { ptc_surface_destroy(s); }
};
using SurfaceHandle = std::unique_ptr<PtcSurface, SurfaceRelease>;

// The data file the pictures come from: the deliverable's own unless a tool or a test names
// another (null restores the deliverable's).
void SetPictureArchive(DataArchive* archive);
DataArchive& PictureArchive();

// The picture in the file's own format, or null when missing or unreadable.
SurfaceHandle LoadPicture(const char* path);
// A new ARGB8888 copy, or null when the console cannot convert it.
SurfaceHandle ConvertToArgb(const PtcSurface* surface);
// A new zero-filled surface (ARGB8888 or 8-bit indexed with an all-black palette), or null.
SurfaceHandle CreateSurface(int width, int height, int formatCode);

// Pixel (x, y) of a 32-bit surface, and the index byte of an 8-bit one.
inline std::uint32_t* PixelRow(PtcSurface* s, int y) {
    return reinterpret_cast<std::uint32_t*>(s->pixels.data() +
                                            static_cast<std::size_t>(y) * s->pitch);
}
inline const std::uint32_t* PixelRow(const PtcSurface* s, int y) {
    return reinterpret_cast<const std::uint32_t*>(s->pixels.data() +
                                                  static_cast<std::size_t>(y) * s->pitch);
}
inline const std::uint8_t* IndexRow(const PtcSurface* s, int y) {
    return s->pixels.data() + static_cast<std::size_t>(y) * s->pitch;
}

inline bool IsIndexed(const PtcSurface* s) {
    return s && s->format.bits == 8;
}

} // namespace engine
