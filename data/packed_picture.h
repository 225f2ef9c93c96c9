#pragma once
// Packed pictures: a bare LZO1X stream (no header, no length, no checksum) of a complete TGA
// file. The unpacked size is not stored; the caller knows it.
#include <cstddef>

#include "console/console.h"
#include "data/archive.h"

// Unpacks packed into destination, which holds unpackedSize bytes. Any decompression error,
// including output that would pass unpackedSize, ends the process with status 1 and no
// message: the program runs full screen and has nowhere to show one. A stream that unpacks to
// fewer bytes is accepted.
void unpackLzo(const void* packed, std::size_t packedLength, std::size_t unpackedSize,
               void* destination);
// The same without ending the process: false on any decompression error. produced (when not
// null) receives the number of bytes written.
bool tryUnpackLzo(const void* packed, std::size_t packedLength, std::size_t unpackedSize,
                  void* destination, std::size_t* produced);

// Unpacks a packed TGA file held in memory into the surface: 1 on success, 0 when the unpacked
// picture is shorter than 18 + width x height x 3 bytes, -1 when the stream is broken.
int unpackPictureInto(PtcSurface* surface, const void* packed, std::size_t packedLength,
                      unsigned unpackedSize);

// Unpacks a packed TGA entry and loads its rows into the surface, whose size is the picture's.
// The packed length comes from the archive's directory; hint (the packed size the caller
// expects) is ignored. Returns 0 when the entry is missing or the unpacked picture is shorter
// than 18 + width x height x 3 bytes, else 1.
int loadPackedPicture(PtcSurface* surface, const char* entry, unsigned hint, unsigned unpackedSize);
int loadPackedPicture(DataArchive& archive, PtcSurface* surface, const char* entry, unsigned hint,
                      unsigned unpackedSize);
