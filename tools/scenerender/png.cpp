#include "tools/scenerender/png.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace scenerender {

namespace {

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

// A chunk: length, type, data, and the CRC of type and data.
void chunk(std::vector<std::uint8_t>& out, const char* type,
           const std::vector<std::uint8_t>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<std::uint32_t>(crc));
}

} // namespace

std::string WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                     int pitchBytes) {
    if (width <= 0 || height <= 0 || pitchBytes < width * 4) return "bad picture size";
    // Each row: filter byte 0, then red, green, blue.
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row =
            reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                   static_cast<std::size_t>(y) * pitchBytes);
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            raw.push_back(static_cast<std::uint8_t>(row[x] >> 16));
            raw.push_back(static_cast<std::uint8_t>(row[x] >> 8));
            raw.push_back(static_cast<std::uint8_t>(row[x]));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) !=
        Z_OK)
        return "compression failed";
    packed.resize(packedSize);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(),
                  {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter choice, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::strerror(errno);
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) return "write failed";
    return {};
}

} // namespace scenerender
