// The player's TGA loaders on arbitrary entries and in-memory files.
#include <vector>

#include "data/tga.h"
#include "fuzz/data/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file = fuzzdata::wrapInArchive("lp1.tga", data, size);
    fuzzdata::MemoryFile memory(file.data(), file.size());
    DataArchive archive(memory.path());

    // The player makes a surface of the header's size; the console refuses sides over 16384.
    int width = 0, height = 0;
    if (readTgaSize(archive, "tex\\lp1.tga", &width, &height) && width > 0 && height > 0 &&
        width <= 16384 && height <= 16384 && width * height <= (1 << 18)) {
        const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
        PtcSurface* s = ptc_surface_create(width, height, &f);
        loadTgaIntoSurface(archive, s, "tex\\lp1.tga");
        ptc_surface_destroy(s);
    }
    // A fixed surface against whatever length the input has.
    const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
    PtcSurface* fixed = ptc_surface_create(7, 5, &f);
    loadTgaIntoSurfaceFromMemory(fixed, data, size);
    loadTgaIntoSurface(archive, fixed, "lp1.tga");
    ptc_surface_destroy(fixed);
    return 0;
}
