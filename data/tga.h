#pragma once
// TGA pictures from the data file, read two ways.
//
// The player's loaders know one layout only: uncompressed 24-bit rows, bottom row first, no
// image-ID field, no colour map. The surface's size decides how many bytes are taken; the
// file's own size fields are read only by readTgaSize.
//
// The intro's TgaReader reads uncompressed colour-mapped (type 1) and true-colour (type 2)
// files of 8, 16, 24 or 32 bits per pixel with an optional colour map of up to 256 entries, in
// either row order, and hands over the file's own pixel bytes; loadImage turns that into a
// console surface in the file's format.
#include <cstddef>
#include <cstdint>

#include "console/console.h"
#include "data/archive.h"

// ---- the player's loaders (1 on success, 0 on failure) ----

// Width and height from the entry's header; outputs untouched when the entry is missing.
int readTgaSize(const char* entry, int* width, int* height);
int readTgaSize(DataArchive& archive, const char* entry, int* width, int* height);

// Fills the surface from the entry's rows, its first stored row becoming the bottom row.
// Refuses an entry that is missing or shorter than 18 + width x height x 3 bytes.
int loadTgaIntoSurface(PtcSurface* surface, const char* entry);
int loadTgaIntoSurface(DataArchive& archive, PtcSurface* surface, const char* entry);

// The same from a complete TGA file in memory of the given length (refused when shorter than
// 18 + width x height x 3 bytes).
int loadTgaIntoSurfaceFromMemory(PtcSurface* surface, const void* tga, std::size_t length);

// ---- the intro's reader ----

// Row-order codes. A file's code comes from its descriptor: TGA_ORDER_TOP_FIRST when the TGA
// top-down bit (0x20) is set, else TGA_ORDER_BOTTOM_FIRST. The caller of TgaReader::read names
// the order it wants turned over: when its code equals the file's, file row i goes to
// destination row height-1-i, otherwise to row i. So TGA_ORDER_UPRIGHT with a positive pitch
// gives top-row-first rows from files of either order.
enum : int {
    TGA_ORDER_TOP_FIRST = 20,
    TGA_ORDER_BOTTOM_FIRST = 21,
    TGA_ORDER_UPRIGHT = TGA_ORDER_BOTTOM_FIRST,
};
constexpr std::uint8_t TGA_DESCRIPTOR_TOP_DOWN = 0x20;

class TgaReader {
  public:
    // Reads the 18-byte header at the start of the entry. file is not owned; it must stay open
    // as long as the reader is used.
    explicit TgaReader(ArchiveFile* file);
    virtual ~TgaReader() = default;

    // Width, height, console format code (PTC_FORMAT_INDEX8, _ARGB1555, _RGB888, _ARGB8888, or
    // PTC_FORMAT_DIRECT for an unknown depth) and the colour-map type byte. Returns 1.
    virtual int info(int* width, int* height, int* format, int* hasColourMap);
    // Copies the file's pixel rows (file pixel format, no conversion) to pixels, rows pitch bytes
    // apart (pitch may be negative), and the colour map converted to 0x00RRGGBB values into
    // palette. Either may be null. Returns 1 on success, 0 on any refusal or short read.
    virtual int read(void* pixels, int order, int pitch, std::uint32_t* palette);
    // Writing pictures is not supported; returns 0.
    virtual int write(const void* pixels, int order, int pitch, const std::uint32_t* palette);

    const std::uint8_t* header() const { return bytes; }

  private:
    ArchiveFile* file = nullptr;
    std::uint8_t bytes[18] = {};
    bool headerComplete = false;
    int width = 0, height = 0;
    int format = PTC_FORMAT_DIRECT;
    int hasColourMap = 0;
};

// The intro's image loader: a new surface of the picture's size in the file's format (8-bit
// indexed with the colour map as its palette, ARGB1555, RGB888 or ARGB8888), rows top first.
// Null when the entry is missing or cannot be read. The caller owns the surface.
PtcSurface* loadImage(const char* entry);
PtcSurface* loadImage(DataArchive& archive, const char* entry);
