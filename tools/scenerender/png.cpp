#include "tools/scenerender/png.h"

#include "data/png_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace scenerender {

std::string WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                     int pitchBytes) {
    const std::vector<std::uint8_t> out = encodePng(pixels, width, height, pitchBytes);
    if (out.empty()) return "bad picture size";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::strerror(errno);
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) return "write failed";
    return {};
}

} // namespace scenerender
