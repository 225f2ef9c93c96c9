// Build step: paints the intro's pictures into a folder.
// Usage: vrk_introart OUTDIR
// Writes vrk.tga, present.tga and fernlogo.tga (24-bit) and lens1.tga .. lens4.tga (32-bit),
// the names the data file gives them. Same sources, same bytes.
#include "content/art/intro_pictures.h"
#include "content/art/tga.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "vrk_introart: error: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrk_introart OUTDIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    using art::TgaTail;
    bool ok = save(dir + "vrk.tga", art::encodeTga(art::makeCrewLogo(), TgaTail::None)) &&
              save(dir + "present.tga", art::encodeTga(art::makePresents(), TgaTail::None)) &&
              save(dir + "fernlogo.tga", art::encodeTga(art::makeFernLogo(), TgaTail::None));
    for (int k = 1; ok && k <= art::FLARE_COUNT; ++k)
        ok = save(dir + "lens" + std::to_string(k) + ".tga", art::encodeTga32(art::makeFlare(k)));
    return ok ? 0 : 1;
}
