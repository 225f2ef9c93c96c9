// Build step: paints every picture of the data file and the player's aurora and star data.
// Usage: vrk_artgen OUTDIR
// Writes main.tga, endpfr1.tga and endpfr2.tga (packed afterwards into the .pak entries),
// lp1.tga, lp2.tga, exit.tga, scrollft.tga, menufont.tga, elfmask.tga, borealis.raw (packed
// into BOREALISPAK), stars.dat (STARSDAT), icon.argb (the window icon) and icon-N.argb (the
// desktop icon, N pixels square). Same sources, same bytes.
#include "content/art/aurora.h"
#include "content/art/font.h"
#include "content/art/pictures.h"
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
        std::fprintf(stderr, "vrk_artgen: error: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrk_artgen OUTDIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    using art::TgaTail;
    const art::Image main = art::makeMainPicture();
    bool ok =
        save(dir + "main.tga", art::encodeTga(main, TgaTail::Extension)) &&
        save(dir + "endpfr1.tga", art::encodeTga(art::makeEndPicture(0), TgaTail::Footer)) &&
        save(dir + "endpfr2.tga", art::encodeTga(art::makeEndPicture(1), TgaTail::Footer)) &&
        save(dir + "lp1.tga", art::encodeTga(art::makeIndicator(main, true), TgaTail::None)) &&
        save(dir + "lp2.tga", art::encodeTga(art::makeIndicator(main, false), TgaTail::None)) &&
        save(dir + "exit.tga", art::encodeTga(art::makeExitLabel(main), TgaTail::None)) &&
        save(dir + "scrollft.tga", art::encodeTga(art::makeScrollFont(), TgaTail::None)) &&
        save(dir + "menufont.tga", art::encodeTga(art::makeMenuFont(), TgaTail::None)) &&
        save(dir + "elfmask.tga", art::encodeTga(art::makeElfMask(main), TgaTail::None)) &&
        save(dir + "borealis.raw", art::makeAuroraFrames()) &&
        save(dir + "stars.dat", art::makeStarSprites()) && save(dir + "icon.argb", art::makeIcon());
    // The desktop entry's icon in the sizes icon themes ask for.
    for (int size : {16, 24, 48, 64, 128, 256})
        ok = ok && save(dir + "icon-" + std::to_string(size) + ".argb", art::makeIcon(size));
    return ok ? 0 : 1;
}
