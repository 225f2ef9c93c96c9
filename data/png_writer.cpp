#include "data/png_writer.h"

#include <cstdlib>
#include <zlib.h>

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

std::uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// One row with each of the five filters; keeps the one whose bytes sum smallest as signed
// values, the usual guess at what deflate packs best (painted pictures shrink to about half
// of the unfiltered size).
void filteredRow(const std::vector<std::uint8_t>& row, const std::vector<std::uint8_t>& above,
                 std::vector<std::uint8_t>& out) {
    const std::size_t n = row.size();
    std::vector<std::uint8_t> best, trial(n + 1);
    long bestCost = -1;
    for (std::uint8_t filter = 0; filter < 5; ++filter) {
        trial[0] = filter;
        long cost = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = above[i], c = i >= 3 ? above[i - 3] : 0;
            const int predicted = filter == 0   ? 0
                                  : filter == 1 ? a
                                  : filter == 2 ? b
                                  : filter == 3 ? (a + b) / 2
                                                : paeth(a, b, c);
            trial[i + 1] = static_cast<std::uint8_t>(row[i] - predicted);
            cost += std::abs(static_cast<std::int8_t>(trial[i + 1]));
        }
        if (bestCost < 0 || cost < bestCost) {
            bestCost = cost;
            best = trial;
        }
    }
    out.insert(out.end(), best.begin(), best.end());
}

} // namespace

std::vector<std::uint8_t> encodePng(const std::uint32_t* pixels, int width, int height,
                                    int pitchBytes) {
    if (!pixels || width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        pitchBytes < width * 4)
        return {};
    std::vector<std::uint8_t> raw, row(static_cast<std::size_t>(width) * 3), above(row.size());
    raw.reserve(static_cast<std::size_t>(height) * (1 + row.size()));
    for (int y = 0; y < height; ++y) {
        const auto* p =
            reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                   static_cast<std::size_t>(y) * pitchBytes);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(p[x] >> 16);
            row[3 * x + 1] = static_cast<std::uint8_t>(p[x] >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(p[x]);
        }
        filteredRow(row, above, raw);
        above.swap(row);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK)
        return {};
    packed.resize(packedSize);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, adaptive, no interlace
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}
