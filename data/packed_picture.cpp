// Packed pictures: LZO1X streams of whole TGA files.
#include "data/packed_picture.h"

#include <cstdlib>
#include <lzo/lzo1x.h>
#include <memory>

#include "data/tga.h"

bool tryUnpackLzo(const void* packed, std::size_t packedLength, std::size_t unpackedSize,
                  void* destination, std::size_t* produced) {
    static const bool ready = lzo_init() == LZO_E_OK;
    if (produced) *produced = 0;
    if (!ready) return false;
    lzo_uint outLength = unpackedSize;
    const int result =
        lzo1x_decompress_safe(static_cast<const lzo_bytep>(packed), packedLength,
                              static_cast<lzo_bytep>(destination), &outLength, nullptr);
    if (result != LZO_E_OK) return false;
    if (produced) *produced = outLength;
    return true;
}

void unpackLzo(const void* packed, std::size_t packedLength, std::size_t unpackedSize,
               void* destination) {
    if (!tryUnpackLzo(packed, packedLength, unpackedSize, destination, nullptr)) std::exit(1);
}

int unpackPictureInto(PtcSurface* surface, const void* packed, std::size_t packedLength,
                      unsigned unpackedSize) {
    std::unique_ptr<std::uint8_t[]> picture(new std::uint8_t[unpackedSize ? unpackedSize : 1]);
    std::size_t produced = 0;
    if (!tryUnpackLzo(packed, packedLength, unpackedSize, picture.get(), &produced)) return -1;
    return loadTgaIntoSurfaceFromMemory(surface, picture.get(), produced);
}

int loadPackedPicture(DataArchive& archive, PtcSurface* surface, const char* entry, unsigned,
                      unsigned unpackedSize) {
    // The directory knows the packed length; the caller's figure may be stale.
    const long packedLength = archive.entrySize(entry);
    if (packedLength < 0) return 0;
    std::unique_ptr<std::uint8_t[]> packed(new std::uint8_t[packedLength ? packedLength : 1]);
    if (archive.readEntry(entry, packed.get(), 0) != packedLength) return 0;
    const int result = unpackPictureInto(surface, packed.get(),
                                         static_cast<std::size_t>(packedLength), unpackedSize);
    if (result < 0) std::exit(1);
    return result;
}

int loadPackedPicture(PtcSurface* surface, const char* entry, unsigned hint,
                      unsigned unpackedSize) {
    return loadPackedPicture(dataArchive, surface, entry, hint, unpackedSize);
}
