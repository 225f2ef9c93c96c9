#include "raster_drawing.h"

#include "engine/raster.h"

namespace rastertest {

const char* DrawerName(Drawer d) {
    switch (d) {
    case Drawer::Gouraud:
        return "FillGouraud";
    case Drawer::ShadedTexture:
        return "FillShadedTexture";
    case Drawer::Environment:
        return "FillEnvironment";
    case Drawer::Textured:
        return "FillTextured";
    case Drawer::Half:
        return "FillTexturedHalf";
    case Drawer::Blend:
        return "FillTexturedBlend";
    case Drawer::Alpha:
        return "FillTexturedAlpha";
    }
    return "?";
}

DrawSources::DrawSources(std::uint32_t seed) : texels(CoordinateTexture()) {
    std::mt19937 rng(seed);
    alphaTexels = texels;
    for (auto& t : alphaTexels) t = (t & 0xFFFFFF) | (rng() & 0xFF) << 24;
    previous.resize(320 * 200);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x)
            previous[y * 320 + x] = static_cast<std::uint32_t>(x | y << 12);
    }
    palette.resize(65536 + 65536);
    for (int i = 0; i < 65536; ++i) palette[i] = static_cast<std::uint8_t>(rng());
    for (int i = 0; i < 256 * 64; ++i) {
        const std::uint32_t c = rng() & 0xFFFFFF;
        for (int k = 0; k < 4; ++k)
            palette[65536 + i * 4 + k] = static_cast<std::uint8_t>(c >> (8 * k));
    }
}

void Draw(Drawer drawer, const Triangle& t, const Attributes& at, const DrawSources& src) {
    engine::ScreenVertex v[3];
    engine::ShadedVertex s[3];
    for (int i = 0; i < 3; ++i) {
        const auto x = static_cast<float>(t.x[i]), y = static_cast<float>(t.y[i]);
        v[i] = {x, y, static_cast<float>(at.a[i]), static_cast<float>(at.b[i]), 0};
        s[i] = {x,
                y,
                static_cast<float>(at.a[i]),
                static_cast<float>(at.b[i]),
                static_cast<float>(at.light[i]),
                0};
    }
    const auto* texels = reinterpret_cast<const std::uint8_t*>(src.texels.data());
    switch (drawer) {
    case Drawer::Gouraud:
        engine::FillGouraud(v);
        break;
    case Drawer::ShadedTexture:
        engine::FillShadedTexture(s, src.palette.data());
        break;
    case Drawer::Environment:
        engine::FillEnvironment(v, src.previous.data(), 320, 200);
        break;
    case Drawer::Textured:
        engine::FillTextured(v, texels);
        break;
    case Drawer::Half:
        engine::FillTexturedHalf(v, texels);
        break;
    case Drawer::Blend:
        engine::FillTexturedBlend(v, texels, src.opacity, src.transparency);
        break;
    case Drawer::Alpha:
        engine::FillTexturedAlpha(v, reinterpret_cast<const std::uint8_t*>(src.alphaTexels.data()));
        break;
    }
}

} // namespace rastertest
