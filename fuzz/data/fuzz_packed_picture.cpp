// Packed pictures: arbitrary LZO1X streams and stated sizes, unpacked into a surface. The
// loader ends the process on a broken stream, so the fuzzer drives the part below that exit,
// and the whole loader on entries whose stream is sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "data/packed_picture.h"
#include "fuzz/data/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const unsigned unpackedSize = in.ConsumeIntegralInRange<unsigned>(0, 1u << 20);
    const int width = in.ConsumeIntegralInRange<int>(1, 64);
    const int height = in.ConsumeIntegralInRange<int>(1, 64);
    const std::vector<std::uint8_t> stream = in.ConsumeRemainingBytes<std::uint8_t>();

    const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
    PtcSurface* s = ptc_surface_create(width, height, &f);
    const int result = unpackPictureInto(s, stream.data(), stream.size(), unpackedSize);
    if (result == 1) {
        // A stream that unpacks cleanly goes through the archive path as well.
        const std::vector<std::uint8_t> file =
            fuzzdata::wrapInArchive("main.pak", stream.data(), stream.size());
        fuzzdata::MemoryFile memory(file.data(), file.size());
        DataArchive archive(memory.path());
        if (loadPackedPicture(archive, s, "tex\\main.pak", 322537, unpackedSize) != 1)
            __builtin_trap();
    }
    ptc_surface_destroy(s);
    return 0;
}
