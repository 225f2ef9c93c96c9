// The player's TGA loaders: 24-bit rows, bottom row first, sized by the target surface.
#include "data/tga.h"

#include <cstring>
#include <memory>

namespace {

constexpr std::size_t HEADER_BYTES = 18;

// The file's byte order blue, green, red as the console's 24-bit format.
PtcFormat rgb24() {
    PtcFormat f;
    f.code = PTC_FORMAT_DIRECT;
    f.bits = 24;
    f.r = 0xff0000, f.g = 0xff00, f.b = 0xff, f.a = 0;
    return f;
}

std::size_t rowBytes(const PtcSurface* surface) {
    return static_cast<std::size_t>(ptc_surface_width(surface)) * 3;
}

// Hands rows stored top row first to the surface.
void loadRows(PtcSurface* surface, const std::uint8_t* rows) {
    const PtcFormat format = rgb24();
    PtcPalette empty;
    ptc_surface_load(surface, rows, ptc_surface_width(surface), ptc_surface_height(surface),
                     static_cast<int>(rowBytes(surface)), &format, &empty);
}

} // namespace

int readTgaSize(DataArchive& archive, const char* entry, int* width, int* height) {
    std::uint8_t header[HEADER_BYTES];
    // A header cut short would leave the size undefined; treat it like a missing entry.
    if (archive.readEntry(entry, header, HEADER_BYTES) != static_cast<long>(HEADER_BYTES)) return 0;
    *width = header[12] + 256 * header[13];
    *height = header[14] + 256 * header[15];
    return 1;
}

int readTgaSize(const char* entry, int* width, int* height) {
    return readTgaSize(dataArchive, entry, width, height);
}

int loadTgaIntoSurface(DataArchive& archive, PtcSurface* surface, const char* entry) {
    const std::size_t row = rowBytes(surface);
    const std::size_t height = static_cast<std::size_t>(ptc_surface_height(surface));
    const long size = archive.entrySize(entry);
    if (size < 0 || static_cast<std::size_t>(size) < HEADER_BYTES + row * height) return 0;

    std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[row * height]);
    std::uint8_t header[HEADER_BYTES];
    if (archive.readEntry(entry, header, HEADER_BYTES) != static_cast<long>(HEADER_BYTES)) return 0;
    // The file's first row is the picture's bottom row.
    for (std::size_t r = height; r-- > 0;)
        if (archive.readRaw(rows.get() + r * row, static_cast<unsigned>(row)) !=
            static_cast<long>(row))
            return 0;
    loadRows(surface, rows.get());
    return 1;
}

int loadTgaIntoSurface(PtcSurface* surface, const char* entry) {
    return loadTgaIntoSurface(dataArchive, surface, entry);
}

int loadTgaIntoSurfaceFromMemory(PtcSurface* surface, const void* tga, std::size_t length) {
    const std::size_t row = rowBytes(surface);
    const std::size_t height = static_cast<std::size_t>(ptc_surface_height(surface));
    if (!tga || length < HEADER_BYTES || (length - HEADER_BYTES) / (row ? row : 1) < height)
        return 0;
    const auto* file = static_cast<const std::uint8_t*>(tga) + HEADER_BYTES;
    std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[row * height]);
    for (std::size_t k = 0; k < height; ++k)
        std::memcpy(rows.get() + (height - 1 - k) * row, file + k * row, row);
    loadRows(surface, rows.get());
    return 1;
}
