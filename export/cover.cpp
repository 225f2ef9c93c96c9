#include "export/cover.h"

#include "console/console.h"
#include "data/archive.h"
#include "data/packed_picture.h"
#include "data/png_writer.h"
#include "data/tga.h"

#include <vector>

namespace exporter {

namespace {

constexpr const char* MAIN_PICTURE = "tex\\main.pak";
// Room for the unpacked picture: the disk's is 640 x 400 (768 kB); a larger one of a disk of
// someone's own still fits.
constexpr std::size_t UNPACKED_LIMIT = 8u << 20;
constexpr std::size_t TGA_HEADER = 18;

} // namespace

bool mainPictureCover(DataArchive& archive, Picture& out, std::string& why) {
    if (!archive.isOpen()) return why = "the data file vrk.bin is not here", false;
    const long packed = archive.entrySize(MAIN_PICTURE);
    if (packed <= 0) return why = "the data file has no main picture", false;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(packed));
    if (archive.readEntry(MAIN_PICTURE, in.data(), static_cast<unsigned>(packed)) != packed)
        return why = "the main picture cannot be read from the data file", false;
    std::vector<std::uint8_t> tga(UNPACKED_LIMIT);
    std::size_t length = 0;
    if (!tryUnpackLzo(in.data(), in.size(), tga.size(), tga.data(), &length) || length < TGA_HEADER)
        return why = "the main picture in the data file is damaged", false;
    const int width = tga[12] | tga[13] << 8, height = tga[14] | tga[15] << 8;
    if (tga[2] != 2 || tga[16] != 24 || width == 0 || height == 0)
        return why = "the main picture is not a 24-bit TGA picture", false;
    PtcFormat format; // 32 bits, 0x00RRGGBB
    PtcSurface* surface = ptc_surface_create(width, height, &format);
    const bool loaded = surface && loadTgaIntoSurfaceFromMemory(surface, tga.data(), length);
    if (loaded) {
        const auto* pixels = static_cast<const std::uint32_t*>(ptc_surface_lock(surface));
        out.png = encodePng(pixels, width, height, ptc_surface_pitch(surface));
        ptc_surface_unlock(surface);
    }
    ptc_surface_destroy(surface);
    if (!loaded) return why = "the main picture in the data file is cut short", false;
    if (out.png.empty()) return why = "the main picture could not be made a PNG", false;
    out.width = width;
    out.height = height;
    return true;
}

} // namespace exporter
