// Writes the test resources BOREALISPAK (the fixture frames packed with LZO1X-1) and STARSDAT
// into the folder given as the only argument.
#include "fixture_data.h"

#include <lzo/lzo1x.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
bool writeFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || lzo_init() != LZO_E_OK) return 1;
    const std::string dir = argv[1];
    const auto frames = fixture::auroraFrames();
    std::vector<unsigned char> packed(frames.size() + frames.size() / 16 + 64 + 3);
    std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint packedSize = 0;
    if (lzo1x_1_compress(frames.data(), frames.size(), packed.data(), &packedSize, work.data()) !=
        LZO_E_OK)
        return 1;
    const auto stars = fixture::starSprites();
    if (!writeFile(dir + "/BOREALISPAK", packed.data(), packedSize)) return 1;
    if (!writeFile(dir + "/STARSDAT", stars.data(), stars.size() * 4)) return 1;
    return 0;
}
