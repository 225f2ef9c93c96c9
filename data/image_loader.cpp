// The intro's image loader: a picture entry into a console surface in the file's own format.
#include "data/tga.h"

PtcSurface* loadImage(DataArchive& archive, const char* entry) {
    ArchiveFile file(entry, &archive);
    if (!file.isOpen()) return nullptr;
    TgaReader reader(&file);
    int width, height, format, hasColourMap;
    reader.info(&width, &height, &format, &hasColourMap);
    if (format == PTC_FORMAT_DIRECT || width == 0 || height == 0) return nullptr;
    // The header alone decides the surface's size; an entry too short to hold that many pixels
    // cannot be read, so it is refused before a surface of up to 1 GiB is made for it.
    const std::int64_t pixelBytes =
        static_cast<std::int64_t>(width) * height * ptc_format_bytes(ptc_format_named(format));
    if (archive.entrySize(entry) < 18 + pixelBytes) return nullptr;

    PtcSurface* surface = nullptr;
    try {
        const PtcFormat f = ptc_format_named(format);
        surface = ptc_surface_create(width, height, &f);
        std::uint32_t palette[256] = {};
        void* pixels = ptc_surface_lock(surface);
        const bool indexed = format == PTC_FORMAT_INDEX8;
        const int ok = reader.read(pixels, TGA_ORDER_UPRIGHT, ptc_surface_pitch(surface),
                                   indexed ? palette : nullptr);
        ptc_surface_unlock(surface);
        if (!ok) {
            ptc_surface_destroy(surface);
            return nullptr;
        }
        if (indexed)
            for (int i = 0; i < 256; ++i) surface->palette.entries[i] = palette[i];
        return surface;
    } catch (const PtcError&) {
        ptc_surface_destroy(surface);
        return nullptr;
    }
}

PtcSurface* loadImage(const char* entry) {
    return loadImage(dataArchive, entry);
}
