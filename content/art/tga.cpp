#include "content/art/tga.h"

#include <cstring>

namespace art {

namespace {
void put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}
void putText(std::vector<std::uint8_t>& b, const char* s, size_t field) {
    size_t n = std::min(std::strlen(s), field - 1);
    b.insert(b.end(), s, s + n);
    b.insert(b.end(), field - n, 0);
}
} // namespace

std::vector<std::uint8_t> encodeTga(const Image& img, TgaTail tail) {
    std::vector<std::uint8_t> b;
    b.reserve(18 + size_t(img.width) * img.height * 3 + 521);
    b.push_back(0); // no image ID
    b.push_back(0); // no colour map
    b.push_back(2); // uncompressed true colour
    b.insert(b.end(), 5, 0);
    put16(b, 0);
    put16(b, 0);
    put16(b, img.width);
    put16(b, img.height);
    b.push_back(24);
    b.push_back(0); // bottom row first, no alpha bits
    for (int y = img.height - 1; y >= 0; --y)
        for (int x = 0; x < img.width; ++x) {
            std::uint32_t p = img.at(x, y);
            b.push_back(p & 255);
            b.push_back((p >> 8) & 255);
            b.push_back((p >> 16) & 255);
        }
    std::uint32_t extensionOffset = 0;
    if (tail == TgaTail::Extension) {
        // TGA 2.0 extension area, 495 bytes; dates and times stay zero so builds repeat exactly.
        extensionOffset = std::uint32_t(b.size());
        put16(b, 495);
        putText(b, "tinselwave", 41);                     // author
        putText(b, "a winter night, drawn by code", 324); // comments (4 lines of 81)
        b.insert(b.end(), 12, 0);                         // date and time
        putText(b, "tinselwave", 41);                     // job
        b.insert(b.end(), 6, 0);                          // job time
        putText(b, "tinselwave artgen", 41);              // software
        b.insert(b.end(), 3, 0);                          // software version
        put32(b, 0);                                      // key colour
        put16(b, 1), put16(b, 1);                         // pixel aspect ratio 1:1
        put16(b, 0), put16(b, 0);                         // gamma: not given
        put32(b, 0);                                      // colour correction table
        put32(b, 0);                                      // postage stamp
        put32(b, 0);                                      // scan line table
        b.push_back(0);                                   // no alpha
    }
    if (tail != TgaTail::None) {
        put32(b, extensionOffset);
        put32(b, 0); // no developer area
        const char sig[] = "TRUEVISION-XFILE.";
        b.insert(b.end(), sig, sig + 17);
        b.push_back(0);
    }
    return b;
}

std::vector<std::uint8_t> encodeTga32(const Image& img) {
    std::vector<std::uint8_t> b;
    b.reserve(18 + size_t(img.width) * img.height * 4);
    b.push_back(0);
    b.push_back(0);
    b.push_back(2);
    b.insert(b.end(), 5, 0);
    put16(b, 0);
    put16(b, 0);
    put16(b, img.width);
    put16(b, img.height);
    b.push_back(32);
    b.push_back(8); // bottom row first, 8 alpha bits
    for (int y = img.height - 1; y >= 0; --y)
        for (int x = 0; x < img.width; ++x) {
            std::uint32_t p = img.at(x, y) & 0xFFFFFF;
            put32(b, p | (p ? 0xFF000000u : 0u));
        }
    return b;
}

} // namespace art
