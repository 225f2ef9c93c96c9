#include "content/scenes/textures.h"

#include <cmath>

namespace scenes {

using art::Image;
using art::Rgb;
using art::rgb;

namespace {

constexpr int N = TEXTURE_SIZE;
constexpr float PI = 3.14159265358979f;

float hash(int x, int y, unsigned seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFF) / 16777215.0f;
}

float smooth(float t) {
    return t * t * (3 - 2 * t);
}

// Layers of tiled noise, 0..1.
float fractal(float x, float y, int period, unsigned seed, int octaves) {
    float sum = 0, weight = 0, amp = 1;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * tiledNoise(x * static_cast<float>(1 << o), y * static_cast<float>(1 << o),
                                period << o, seed + static_cast<unsigned>(o));
        weight += amp;
        amp *= 0.5f;
    }
    return sum / weight;
}

Image fill(std::uint32_t colour) {
    return Image(N, N, colour);
}

IndexedImage indexed(const std::array<std::uint32_t, 256>& palette) {
    IndexedImage img;
    img.width = img.height = N;
    img.indices.assign(static_cast<std::size_t>(N) * N, 0);
    img.palette = palette;
    return img;
}

std::uint8_t level(float v) {
    return static_cast<std::uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
}

// Stars scattered over rows y0..y1, wrapping in x so the picture tiles.
void stars(Image& img, int y0, int y1, int count, unsigned seed) {
    art::Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(rng.unit() * N),
                  y = y0 + static_cast<int>(rng.unit() * float(y1 - y0));
        const float b = 0.35f + 0.65f * rng.unit() * rng.unit();
        const Rgb tint = rng.unit() < 0.2f ? Rgb{255, 230, 190} : Rgb{210, 225, 255};
        img.glow(x, y, tint, b);
        if (b > 0.85f) {
            img.glow((x + 1) % N, y, tint, b * 0.4f);
            img.glow(x, y + 1 < N ? y + 1 : y, tint, b * 0.4f);
        }
    }
}

} // namespace

float tiledNoise(float x, float y, int period, unsigned seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    auto at = [&](int i, int j) {
        return hash(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

Image paintSky() {
    // Rows run from the zenith (row 0) down to 6 degrees below the horizon (row 255).
    Image img(N, N);
    for (int y = 0; y < N; ++y) {
        const float elevation = 90.0f - 96.0f * static_cast<float>(y) / 255.0f;
        const float t = std::fmin(std::fmax(elevation / 90.0f, 0.0f), 1.0f);
        const Rgb low{34, 48, 86}, high{6, 9, 26};
        for (int x = 0; x < N; ++x) {
            Rgb c = art::mix(low, high, std::pow(t, 0.6f));
            // A faint green glow between 10 and 35 degrees, waving around the sky.
            const float wave = 22 + 7 * std::sin(2 * PI * static_cast<float>(x) / N * 2);
            const float g = std::exp(-std::pow((elevation - wave) / 9.0f, 2.0f));
            c = art::add(
                c, art::scale(Rgb{20, 70, 50}, g * (0.6f + 0.4f * tiledNoise(x / 32.0f, 0, 8, 3))));
            img.at(x, y) = art::pack(c);
        }
    }
    stars(img, 0, 200, 420, 11);
    // The far forest ridge: a rolling line with fir tips, black against the glow.
    for (int x = 0; x < N; ++x) {
        const float ridge = 226 - 9 * fractal(x / 64.0f, 0.5f, 4, 21, 3);
        const float tip = std::fabs(std::fmod(static_cast<float>(x) * 0.37f + 100, 5.0f) - 2.5f);
        const float top = ridge - (hash(x / 5, 1, 9) > 0.4f ? (2.5f - tip) * 2.2f : 0);
        for (int y = static_cast<int>(top); y < N; ++y)
            img.at(x, y) = art::pack(art::mix(Rgb{16, 22, 44}, Rgb{8, 12, 26}, (y - top) / 30.0f));
    }
    return img;
}

Image paintTrackBed() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float n = fractal(x / 32.0f, y / 32.0f, 8, 5, 3);
            img.at(x, y) = art::pack(art::mix(Rgb{88, 100, 138}, Rgb{150, 164, 200}, n));
        }
    for (int s = 0; s < 8; ++s) { // sleepers peeking out of the snow
        const float x = 16.0f + 32.0f * static_cast<float>(s);
        art::fillPolygon(img, {{x - 6, 40}, {x + 6, 40}, {x + 6, 216}, {x - 6, 216}},
                         Rgb{52, 40, 36}, 0.8f);
        art::drawLine(img, x - 7, 40, x + 7, 40, 3, Rgb{170, 184, 220}, 0.8f);
    }
    for (float r : {84.0f, 172.0f}) { // the rails with their moonlit heads
        art::drawLine(img, -2, r, N + 2, r, 9, Rgb{30, 32, 40});
        art::drawLine(img, -2, r - 2, N + 2, r - 2, 2.5f, Rgb{190, 200, 225});
    }
    return img;
}

Image paintCarriage() {
    Image img = fill(0x5a1420);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float shade = 0.75f + 0.25f * std::sin(PI * y / N) + 0.05f * hash(x, y, 7);
            img.at(x, y) = art::pack(art::scale(rgb(0x6a1824), shade));
        }
    art::fillPolygon(img, {{0, 0}, {N, 0}, {N, 22}, {0, 22}}, Rgb{40, 16, 22});   // roof edge
    art::fillPolygon(img, {{0, 214}, {N, 214}, {N, N}, {0, N}}, Rgb{26, 14, 18}); // underframe
    for (float y : {30.0f, 190.0f})
        art::drawLine(img, 0, y, N, y, 3, Rgb{220, 176, 70}); // gold trim
    for (int w = 0; w < 4; ++w) {                             // four lit windows
        const float x0 = 14.0f + 62.0f * static_cast<float>(w), x1 = x0 + 44;
        art::fillPolygon(img, {{x0 - 3, 52}, {x1 + 3, 52}, {x1 + 3, 142}, {x0 - 3, 142}},
                         Rgb{30, 12, 14});
        for (int y = 56; y < 138; ++y)
            for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
                const float g = 1 - 0.5f * std::fabs((y - 97) / 41.0f);
                img.at(x, y) = art::pack(art::mix(Rgb{200, 120, 40}, Rgb{255, 226, 150}, g));
            }
        art::drawLine(img, (x0 + x1) / 2, 56, (x0 + x1) / 2, 138, 2, Rgb{60, 24, 20});
        art::drawGlow(img, (x0 + x1) / 2, 170, 30, Rgb{120, 70, 20}, 0.5f); // light on the panel
    }
    return img;
}

Image paintBoiler() {
    // Looked up by the normal: u grows with its upward part, v with its depth part. The scene
    // library's normals point into the solid, so "up" on the boiler is the low end of u.
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float up = (128 - static_cast<float>(x)) / 128,
                        side = (128 - static_cast<float>(y)) / 128;
            const float diffuse = 0.18f + 0.5f * std::fmax(up, 0.0f);
            const float sheen =
                std::pow(std::fmax(0.0f, 1 - std::hypot(up - 0.55f, side + 0.3f) * 2.2f), 2.0f);
            Rgb c = art::scale(Rgb{30, 90, 70}, diffuse);
            c = art::add(c, art::scale(Rgb{200, 225, 255}, sheen));
            img.at(x, y) = art::pack(c);
        }
    return img;
}

Image paintWheel() {
    // Polar: u runs once round the wheel, v from the hub of one face (0) out to its tyre (1/3),
    // across the tread (1/3..2/3) and in to the hub of the other face (1), as a lathe maps it.
    Image img(N, N);
    const Rgb iron{16, 14, 18}, red{150, 34, 26}, weight{196, 150, 64}, tyre{92, 94, 104};
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float v = (static_cast<float>(y) + 0.5f) / N;
            const float around = (static_cast<float>(x) + 0.5f) / N; // 0..1 round the wheel
            const float r = v < 1 / 3.0f ? v * 3 : (v > 2 / 3.0f ? (1 - v) * 3 : 1.0f);
            const float spoke = std::fabs(std::fmod(around * 10, 1.0f) - 0.5f); // 10 spokes
            // The crescent counterweight opposite the crank: one heavy side, so the turning
            // shows at a glance.
            const float fromWeight = std::fabs(around - 0.5f);
            Rgb c = iron;
            if (r > 0.9f)
                c = tyre;
            else if (r > 0.78f || r < 0.24f || spoke > 0.34f)
                c = red;
            if (r > 0.4f && r <= 0.8f && fromWeight < 0.16f) c = weight;
            if (r < 0.1f) c = iron; // the axle's end
            const float fromCrank = std::fmin(around, 1 - around);
            if (r > 0.5f && r < 0.64f && fromCrank < 0.04f) c = Rgb{200, 190, 170}; // crank pin
            img.at(x, y) = art::pack(art::scale(c, 0.85f + 0.15f * hash(x, y, 41)));
        }
    return img;
}

Image paintSteam() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float n = fractal(x / 48.0f, y / 48.0f, 6, 31, 4);
            img.at(x, y) = art::pack(art::mix(Rgb{90, 100, 130}, Rgb{235, 238, 248}, n));
        }
    return img;
}

Image paintWarmLight() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float d = std::fmax(std::fabs(x - 127.5f), std::fabs(y - 127.5f)) / 128;
            img.at(x, y) = art::pack(art::mix(Rgb{255, 196, 110}, Rgb{150, 90, 50}, d * d));
        }
    return img;
}

Image paintLamp() {
    Image img(N, N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float d = std::hypot(x - 127.5f, y - 40.0f) / 220;
            img.at(x, y) =
                art::pack(art::mix(Rgb{255, 250, 225}, Rgb{255, 200, 120}, std::fmin(d, 1.0f)));
        }
    return img;
}

IndexedImage paintLampKey() {
    // Index 0 shows the texture, 255 the scene behind. The beam is densest at the lamp (the top
    // rows, where the cone starts) and thins out ahead, with a little haze in it.
    IndexedImage img = indexed(rampPalette({0x000000, 0xFFFFFF}));
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float along = static_cast<float>(y) / 255.0f;
            const float haze = 0.8f + 0.2f * fractal(x / 32.0f, y / 32.0f, 8, 13, 2);
            const float density = std::pow(1 - along, 1.6f) * 0.8f * haze;
            img.indices[static_cast<std::size_t>(y * N + x)] = level(1 - density);
        }
    return img;
}

} // namespace scenes
