#pragma once
// Small made-up inputs for the aurora and the stars: a frame pattern where every frame, row and
// column differ, and star sprites with known pixels. Shared by the tests and by the program
// that writes the same data as embedded resources.
#include <cstdint>
#include <vector>

namespace fixture {

// Stored aurora values run 0 .. 98 like the real frames.
inline std::uint8_t auroraByte(int frame, int row, int column) {
    return static_cast<std::uint8_t>((frame * 7 + row * 3 + column * 5 + row * column) % 99);
}

inline std::vector<std::uint8_t> auroraFrames() {
    std::vector<std::uint8_t> v(44 * 25200);
    for (int f = 0; f < 44; ++f)
        for (int r = 0; r < 140; ++r)
            for (int c = 0; c < 180; ++c) v[f * 25200 + r * 180 + c] = auroraByte(f, r, c);
    return v;
}

// 379 pixels: shape 0 white, shape 1 a ramp, shape 2 with a stray top byte, spare pixels grey.
inline std::vector<std::uint32_t> starSprites() {
    std::vector<std::uint32_t> v(379);
    for (int i = 0; i < 379; ++i) {
        if (i < 110)
            v[i] = 0x00FFFFFFu;
        else if (i < 191)
            v[i] = static_cast<std::uint32_t>(i * 3) << 16 | (i & 0xFF) << 8 | 0x40;
        else if (i < 359)
            v[i] = 0x7F102030u;
        else
            v[i] = 0x00808080u;
    }
    return v;
}

} // namespace fixture
