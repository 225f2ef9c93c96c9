// Lens flares: light that the engine adds onto the frame around a lamp, so black means no
// effect. Each is built from a hot core, a soft halo, a faint ring and thin streaks, and is
// faded out towards its border so the square of the picture never shows.
#include "content/art/intro_pictures.h"

#include <cmath>

namespace art {

namespace {

constexpr float PI = 3.14159265f;

struct FlareRecipe {
    int width, height;
    Rgb core;       // colour of the hot centre
    float coreSize; // radius of the hot centre, pixels
    Rgb halo;       // colour of the soft glow around it
    float haloSize; // its decay length, pixels
    Rgb ring;       // faint ring (a reflection in the lens); black for none
    float ringRadius, ringWidth;
    int rays;       // streaks through the centre, evenly turned
    float rayTurn;  // angle of the first streak, radians
    float rayWidth; // their half-width, pixels
    Rgb rayColour;
    float stretch; // extra length of the horizontal streak (the headlamp's), 0 for none
};

// Weight that falls smoothly to 0 over the last `band` of the distance to the border.
float borderFade(float d, float band) {
    float t = std::clamp(d / band, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Image paint(const FlareRecipe& f) {
    Image img(f.width, f.height, 0);
    const float cx = f.width / 2 + 0.5f, cy = f.height / 2 + 0.5f;
    const float reach = std::min(cx, cy) - 1; // radius at which round light must be gone
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float r = std::hypot(dx, dy);
            float round = 1 - std::clamp(r / reach, 0.0f, 1.0f);
            Rgb c = scale(f.core, std::exp(-(r * r) / (f.coreSize * f.coreSize)));
            c = add(c, scale(f.halo, std::exp(-r / f.haloSize) * round * round));
            float rr = (r - f.ringRadius) / f.ringWidth;
            c = add(c, scale(f.ring, std::exp(-rr * rr) * round));
            for (int k = 0; k < f.rays; ++k) {
                float a = f.rayTurn + k * PI / f.rays;
                float along = std::fabs(dx * std::cos(a) + dy * std::sin(a));
                float across = std::fabs(-dx * std::sin(a) + dy * std::cos(a));
                float length = reach * (k == 0 ? 1 + f.stretch : 0.8f);
                float fall = std::clamp(1 - along / length, 0.0f, 1.0f);
                c = add(c, scale(f.rayColour, std::exp(-across / f.rayWidth) * fall * fall));
            }
            // Streaks run out towards the border; nothing survives on the outermost pixels.
            float edge = std::min({x, y, f.width - 1 - x, f.height - 1 - y}) - 0.5f;
            img.at(x, y) = pack(scale(c, borderFade(edge, 10)));
        }
    return img;
}

} // namespace

Image makeFlare(int kind) {
    switch (kind) {
    case 1: // a small white star
        return paint({.width = 64,
                      .height = 64,
                      .core = {255, 255, 255},
                      .coreSize = 3,
                      .halo = {120, 130, 170},
                      .haloSize = 6,
                      .ring = {},
                      .ringRadius = 0,
                      .ringWidth = 1,
                      .rays = 4,
                      .rayTurn = PI / 4,
                      .rayWidth = 0.7f,
                      .rayColour = {200, 210, 255},
                      .stretch = 0});
    case 2: // a warm glow with a blue ring
        return paint({.width = 96,
                      .height = 96,
                      .core = {255, 240, 200},
                      .coreSize = 5,
                      .halo = {160, 110, 50},
                      .haloSize = 9,
                      .ring = {40, 60, 90},
                      .ringRadius = 34,
                      .ringWidth = 3,
                      .rays = 2,
                      .rayTurn = 0,
                      .rayWidth = 0.9f,
                      .rayColour = {180, 140, 90},
                      .stretch = 0});
    case 3: // the headlamp: white-hot core, amber halo, a long level streak and soft rays
        return paint({.width = 128,
                      .height = 96,
                      .core = {255, 250, 225},
                      .coreSize = 7,
                      .halo = {255, 140, 40},
                      .haloSize = 15,
                      .ring = {50, 30, 10},
                      .ringRadius = 30,
                      .ringWidth = 2.5f,
                      .rays = 3,
                      .rayTurn = 0,
                      .rayWidth = 1.1f,
                      .rayColour = {255, 200, 130},
                      .stretch = 0.25f});
    default: // a cold blue-white star with eight points
        return paint({.width = 112,
                      .height = 112,
                      .core = {235, 245, 255},
                      .coreSize = 4.5f,
                      .halo = {60, 100, 170},
                      .haloSize = 10,
                      .ring = {20, 40, 70},
                      .ringRadius = 22,
                      .ringWidth = 4,
                      .rays = 4,
                      .rayTurn = PI / 8,
                      .rayWidth = 0.8f,
                      .rayColour = {170, 200, 255},
                      .stretch = 0});
    }
}

} // namespace art
