// The intro's TGA reader and image loader on arbitrary picture entries.
#include <vector>

#include "data/tga.h"
#include "fuzz/data/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file = fuzzdata::wrapInArchive("pic.tga", data, size);
    fuzzdata::MemoryFile memory(file.data(), file.size());
    DataArchive archive(memory.path());

    PtcSurface* surface = loadImage(archive, "tex\\pic.tga");
    if (surface) {
        PtcSurface* argb = ptc_surface_convert(surface);
        ptc_surface_destroy(argb);
    }
    ptc_surface_destroy(surface);

    ArchiveFile handle("pic.tga", &archive);
    TgaReader reader(&handle);
    int width, height, format, hasMap;
    reader.info(&width, &height, &format, &hasMap);
    std::uint32_t palette[256];
    reader.read(nullptr, TGA_ORDER_UPRIGHT, 0, palette);
    // Direct reads with both order codes and both pitch signs, when the rows fit a buffer.
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    if (row * height <= (1u << 20) && height > 0) {
        std::vector<std::uint8_t> pixels(row * height);
        const int pitch = static_cast<int>(row);
        reader.read(pixels.data(), TGA_ORDER_TOP_FIRST, pitch, palette);
        reader.read(pixels.data() + (height - 1) * row, TGA_ORDER_BOTTOM_FIRST, -pitch, nullptr);
    }
    return 0;
}
