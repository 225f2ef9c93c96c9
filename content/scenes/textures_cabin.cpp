// Textures of the snow, the firs, the cabin and the sky above it, and the list of all files.
#include <cmath>

#include "content/scenes/textures.h"

namespace scenes {

using art::Image;
using art::Rgb;

namespace {

constexpr int N = TEXTURE_SIZE;
constexpr float PI = 3.14159265358979f;

std::uint8_t level(float v) {
    return static_cast<std::uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
}

IndexedImage blank(const std::array<std::uint32_t, 256>& palette) {
    IndexedImage img;
    img.width = img.height = N;
    img.indices.assign(static_cast<std::size_t>(N) * N, 0);
    img.palette = palette;
    return img;
}

float noise(float x, float y, int period, unsigned seed, int octaves) {
    float sum = 0, weight = 0, amp = 1;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * tiledNoise(x * float(1 << o), y * float(1 << o), period << o,
                                seed + static_cast<unsigned>(o));
        weight += amp;
        amp *= 0.5f;
    }
    return sum / weight;
}

} // namespace

IndexedImage paintSnow() {
    // Shade tables fade each entry from black through the colour (at light 31) to white, so the
    // palette holds snow as it looks in half light: blue shadow to pale moonlit crust.
    IndexedImage img = blank(rampPalette({0x26335e, 0x4f6196, 0x8294c8, 0xc4d2f4}));
    art::Rng rng(77);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float drift = noise(x / 64.0f, y / 64.0f, 4, 41, 4);
            img.indices[static_cast<std::size_t>(y * N + x)] = level(0.15f + 0.7f * drift);
        }
    for (int i = 0; i < 300; ++i) // sparkles
        img.indices[static_cast<std::size_t>(rng.next() % (N * N))] = 255;
    return img;
}

IndexedImage paintPine() {
    // Entries 0..191: needles from black-green to moss; 192..255: snow on the branches.
    std::array<std::uint32_t, 256> pal{};
    const auto greens = rampPalette({0x02080a, 0x0d2a20, 0x24503a, 0x4a7a52});
    const auto snow = rampPalette({0x6a7aa8, 0xdde6ff});
    for (int i = 0; i < 192; ++i)
        pal[static_cast<std::size_t>(i)] = greens[static_cast<std::size_t>(i * 255 / 191)];
    for (int i = 192; i < 256; ++i)
        pal[static_cast<std::size_t>(i)] = snow[static_cast<std::size_t>((i - 192) * 255 / 63)];
    IndexedImage img = blank(pal);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            // Branch layers: each band darkens towards its lower edge; snow sits on top.
            const float band =
                std::fmod(static_cast<float>(y) + 6 * std::sin(x * 2 * PI / 64), 32.0f) / 32.0f;
            const float needles = noise(x / 8.0f, y / 16.0f, 32, 51, 2);
            const bool snowy = band < 0.22f && needles > 0.42f;
            const float g = (0.25f + 0.55f * needles) * (1.0f - 0.6f * band);
            img.indices[static_cast<std::size_t>(y * N + x)] =
                snowy ? static_cast<std::uint8_t>(200 + 55 * needles)
                      : static_cast<std::uint8_t>(g * 191);
        }
    return img;
}

Image paintLogs() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float inLog = std::fmod(static_cast<float>(y), 32.0f) / 32.0f; // 8 logs a picture
            const float round = std::sin(inLog * PI);
            const float grain = noise(x / 32.0f, y / 4.0f, 8, 61, 3);
            Rgb c = art::scale(Rgb{96, 62, 40}, 0.35f + 0.6f * round * (0.7f + 0.3f * grain));
            if (inLog < 0.08f) c = Rgb{190, 200, 225}; // snow caught in the seams
            img.at(x, y) = art::pack(c);
        }
    return img;
}

Image paintWindow() {
    Image img(N, N, 0x2a1a10);
    for (int y = 16; y < 240; ++y)
        for (int x = 16; x < 240; ++x) {
            const float d = std::hypot(x - 128.0f, y - 150.0f) / 170;
            img.at(x, y) =
                art::pack(art::mix(Rgb{255, 236, 170}, Rgb{210, 110, 40}, std::fmin(d, 1.0f)));
        }
    // Red curtains drawn to the sides and the window's cross.
    art::fillPolygon(img, {{16, 16}, {70, 16}, {48, 240}, {16, 240}}, Rgb{150, 30, 36});
    art::fillPolygon(img, {{186, 16}, {240, 16}, {240, 240}, {208, 240}}, Rgb{150, 30, 36});
    art::drawLine(img, 128, 16, 128, 240, 12, Rgb{52, 32, 20});
    art::drawLine(img, 16, 120, 240, 120, 12, Rgb{52, 32, 20});
    art::fillPolygon(img, {{0, 0}, {N, 0}, {N, 14}, {0, 14}},
                     Rgb{220, 228, 250}); // snow on the sill
    return img;
}

Image paintDoor() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float plank = std::fmod(static_cast<float>(x), 42.67f) / 42.67f;
            const float grain = noise(x / 4.0f, y / 40.0f, 64, 71, 3);
            const float edge = plank < 0.06f ? 0.45f : 1.0f;
            img.at(x, y) = art::pack(art::scale(Rgb{110, 66, 38}, edge * (0.5f + 0.4f * grain)));
        }
    for (float y : {40.0f, 216.0f}) art::drawLine(img, 0, y, N, y, 10, Rgb{34, 34, 40});
    art::fillDisc(img, 42, 128, 9, Rgb{200, 160, 60}); // brass handle, away from the hinges
    return img;
}

Image paintBauble() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            // Normals point into the ball (see the boiler's light map): up is the low end of u.
            const float up = (128.0f - x) / 128, side = (128.0f - y) / 128;
            const float body = 0.25f + 0.55f * std::fmax(0.0f, 0.6f + 0.4f * up);
            const float sheen =
                std::pow(std::fmax(0.0f, 1 - std::hypot(up - 0.5f, side - 0.35f) * 3.0f), 1.5f);
            const float warm =
                std::pow(std::fmax(0.0f, 1 - std::hypot(up + 0.1f, side + 0.6f) * 2.5f), 2.0f);
            Rgb c = art::scale(Rgb{40, 90, 230}, body);
            c = art::add(c, art::scale(Rgb{255, 255, 255}, sheen));
            c = art::add(c, art::scale(Rgb{255, 170, 70}, warm * 0.8f));
            img.at(x, y) = art::pack(c);
        }
    return img;
}

Image paintAurora() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float h = static_cast<float>(y) / 255.0f; // 0 top, 1 lower edge
            Rgb c = art::mix(Rgb{170, 60, 170}, Rgb{60, 255, 140}, std::fmin(1.0f, h * 1.6f));
            c = art::mix(c, Rgb{200, 255, 220}, std::pow(h, 6.0f));
            img.at(x, y) = art::pack(c);
        }
    return img;
}

IndexedImage paintAuroraKey() {
    IndexedImage img = blank(rampPalette({0x000000, 0xFFFFFF}));
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float h = static_cast<float>(y) / 255.0f;
            const float rays = noise(x / 6.0f + h * 2.0f, 0.3f, 43, 81, 3);
            const float fold = 0.5f + 0.5f * std::sin(x * 2 * PI / 128 + 1.3f);
            const float edge = std::fmin(1.0f, (1 - h) * 8) * std::fmin(1.0f, h * 1.4f);
            const float density = std::fmin(1.0f, rays * rays * (0.6f + 0.8f * fold) * edge * 1.4f);
            img.indices[static_cast<std::size_t>(y * N + x)] = level(1 - 0.85f * density);
        }
    return img;
}

Image paintMoon() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float m = noise(x / 40.0f, y / 40.0f, 6, 91, 3);
            img.at(x, y) =
                art::pack(art::mix(Rgb{250, 246, 222}, Rgb{178, 178, 170}, m * m * 1.3f));
        }
    return img;
}

std::vector<TextureFile> allTextures() {
    return {
        {"sky.tga", encodeTrueColour(paintSky(), 24)},
        {"trackbed.tga", encodeTrueColour(paintTrackBed(), 24)},
        {"coach.tga", encodeTrueColour(paintCarriage(), 24)},
        {"boiler.tga", encodeTrueColour(paintBoiler(), 24)},
        {"wheel.tga", encodeTrueColour(paintWheel(), 24)},
        {"steam.tga", encodeTrueColour(paintSteam(), 24)},
        {"warmlite.tga", encodeTrueColour(paintWarmLight(), 24)},
        {"lamppool.tga", encodeTrueColour(paintLamp(), 24)},
        {"poolkey.tga", encodeIndexed(paintLampKey())},
        {"snow.tga", encodeIndexed(paintSnow())},
        {"pine.tga", encodeIndexed(paintPine())},
        {"logs.tga", encodeTrueColour(paintLogs(), 24)},
        {"window.tga", encodeTrueColour(paintWindow(), 24)},
        {"door.tga", encodeTrueColour(paintDoor(), 24)},
        {"bauble.tga", encodeTrueColour(paintBauble(), 32)},
        {"aurora.tga", encodeTrueColour(paintAurora(), 24)},
        {"aurorkey.tga", encodeIndexed(paintAuroraKey())},
        {"moon.tga", encodeTrueColour(paintMoon(), 24)},
    };
}

} // namespace scenes
