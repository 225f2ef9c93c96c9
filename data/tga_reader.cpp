// The intro's TGA reader: uncompressed colour-mapped and true-colour files, either row order.
#include "data/tga.h"

#include <memory>

#include "console/convert.h"

namespace {

int formatForDepth(int depth) {
    switch (depth) {
    case 8:
        return PTC_FORMAT_INDEX8;
    case 16:
        return PTC_FORMAT_ARGB1555;
    case 24:
        return PTC_FORMAT_RGB888;
    case 32:
        return PTC_FORMAT_ARGB8888;
    default:
        return PTC_FORMAT_DIRECT;
    }
}

} // namespace

TgaReader::TgaReader(ArchiveFile* in) : file(in) {
    if (!file) return;
    file->seek(0);
    headerComplete = file->read(bytes, sizeof bytes) == static_cast<long>(sizeof bytes);
    width = bytes[12] + 256 * bytes[13];
    height = bytes[14] + 256 * bytes[15];
    format = formatForDepth(bytes[16]);
    hasColourMap = bytes[1];
}

int TgaReader::info(int* w, int* h, int* f, int* map) {
    *w = width;
    *h = height;
    *f = format;
    *map = hasColourMap;
    return 1;
}

int TgaReader::read(void* pixels, int order, int pitch, std::uint32_t* palette) {
    if (!file || !file->isOpen() || !headerComplete) return 0;

    const long idLength = bytes[0];
    const int mapLength = bytes[5] + 256 * bytes[6];
    const int entryBits = bytes[7];
    const long mapBytes = static_cast<long>(entryBits) * mapLength / 8;

    if (palette && hasColourMap && mapLength != 0) {
        if (mapLength > 256) return 0;
        int mapFormat;
        switch (entryBits) {
        case 16:
            mapFormat = PTC_FORMAT_ARGB1555;
            break;
        case 24:
            mapFormat = PTC_FORMAT_RGB888;
            break;
        case 32:
            mapFormat = PTC_FORMAT_ARGB8888;
            break;
        default:
            return 0; // no converter for such entries
        }
        std::unique_ptr<std::uint8_t[]> map(new std::uint8_t[mapBytes]);
        file->seek(18 + idLength);
        if (file->read(map.get(), static_cast<unsigned>(mapBytes)) != mapBytes) return 0;
        std::uint8_t converted[256 * 4];
        console::convertRow(map.get(), ptc_format_named(mapFormat), nullptr, converted,
                            ptc_format_named(PTC_FORMAT_ARGB8888), mapLength);
        for (int i = 0; i < mapLength; ++i)
            palette[i] =
                converted[4 * i] | (converted[4 * i + 1] << 8) | (converted[4 * i + 2] << 16);
    }
    if (!pixels) return 1;

    const int type = bytes[2];
    if (type != 1 && type != 2) return 0; // run-length encoded and grey-scale files are refused
    int pixelBytes;
    switch (format) {
    case PTC_FORMAT_INDEX8:
        pixelBytes = 1;
        break;
    case PTC_FORMAT_ARGB1555:
        pixelBytes = 2;
        break;
    case PTC_FORMAT_RGB888:
        pixelBytes = 3;
        break;
    case PTC_FORMAT_ARGB8888:
        pixelBytes = 4;
        break;
    default:
        return 0; // a depth we cannot size rows for
    }

    file->seek(18 + idLength + (hasColourMap ? mapBytes : 0));
    const int fileOrder =
        (bytes[17] & TGA_DESCRIPTOR_TOP_DOWN) ? TGA_ORDER_TOP_FIRST : TGA_ORDER_BOTTOM_FIRST;
    if (order != TGA_ORDER_TOP_FIRST && order != TGA_ORDER_BOTTOM_FIRST) return 0;

    const long row = static_cast<long>(width) * pixelBytes;
    auto* out = static_cast<std::uint8_t*>(pixels);
    for (int i = 0; i < height; ++i) {
        const long destinationRow = order == fileOrder ? height - 1 - i : i;
        if (file->read(out + destinationRow * pitch, static_cast<unsigned>(row)) != row) return 0;
    }
    return 1;
}

int TgaReader::write(const void*, int, int, const std::uint32_t*) {
    return 0;
}
