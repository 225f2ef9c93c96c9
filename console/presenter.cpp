#include "console/presenter.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace console {

struct Presenter {
    SDL_Window* window = nullptr;
    int width = 0, height = 0;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
};

namespace {

// A GL renderer that draws on the CPU (Mesa's llvmpipe and friends) costs more than scaling
// the picture ourselves.
bool softwareGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return std::strcmp(info.name, "software") == 0;
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = getString ? reinterpret_cast<const char*>(getString(0x1F01)) : nullptr;
    if (!name) return true;
    return std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe") ||
           std::strstr(name, "Software") || std::strstr(name, "SWR");
}

void presentWithRenderer(Presenter& p, const std::uint32_t* pixels) {
    if (pixels) SDL_UpdateTexture(p.texture, nullptr, pixels, p.width * 4);
    SDL_SetRenderDrawColor(p.renderer, 0, 0, 0, 255);
    SDL_RenderClear(p.renderer);
    if (pixels) {
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(p.renderer, &ow, &oh);
        platform::Viewport vp = platform::fitPicture(ow, oh, p.width, p.height);
        SDL_Rect dst{vp.x, vp.y, vp.w, vp.h};
        SDL_RenderCopy(p.renderer, p.texture, nullptr, &dst);
    }
    SDL_RenderPresent(p.renderer);
}

void presentOnSurface(Presenter& p, const std::uint32_t* pixels) {
    SDL_Surface* ws = SDL_GetWindowSurface(p.window);
    if (!ws) return;
    const bool xrgb = ws->format->BytesPerPixel == 4 && ws->format->Rmask == 0xff0000 &&
                      ws->format->Gmask == 0xff00 && ws->format->Bmask == 0xff;
    platform::Viewport vp = platform::fitPicture(ws->w, ws->h, p.width, p.height);
    SDL_LockSurface(ws);
    // Black around the picture; the picture itself is written whole below.
    SDL_Rect bands[4] = {{0, 0, ws->w, vp.y},
                         {0, vp.y + vp.h, ws->w, ws->h - vp.y - vp.h},
                         {0, vp.y, vp.x, vp.h},
                         {vp.x + vp.w, vp.y, ws->w - vp.x - vp.w, vp.h}};
    SDL_UnlockSurface(ws);
    SDL_FillRects(ws, bands, 4, SDL_MapRGB(ws->format, 0, 0, 0));
    const std::uint32_t* picture = pixels;
    if (picture && xrgb) {
        SDL_LockSurface(ws);
        scalePicture(picture, p.width, p.height, static_cast<std::uint32_t*>(ws->pixels),
                     ws->pitch / 4, vp);
        SDL_UnlockSurface(ws);
    } else if (picture) {
        SDL_Surface* src =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(picture), p.width,
                                               p.height, 32, p.width * 4, SDL_PIXELFORMAT_RGB888);
        SDL_Rect dst{vp.x, vp.y, vp.w, vp.h};
        if (src) SDL_BlitScaled(src, nullptr, ws, &dst);
        SDL_FreeSurface(src);
    } else {
        SDL_Rect all{vp.x, vp.y, vp.w, vp.h};
        SDL_FillRect(ws, &all, SDL_MapRGB(ws->format, 0, 0, 0));
    }
    SDL_UpdateWindowSurface(p.window);
}

} // namespace

void scalePicture(const std::uint32_t* source, int width, int height, std::uint32_t* destination,
                  int pitch, const platform::Viewport& vp) {
    if (vp.w <= 0 || vp.h <= 0) return;
    std::vector<int> columns(vp.w);
    for (int x = 0; x < vp.w; ++x)
        columns[x] = static_cast<int>((2LL * x + 1) * width / (2LL * vp.w));
    const std::uint32_t* previousSource = nullptr;
    std::uint32_t* previousRow = nullptr;
    for (int y = 0; y < vp.h; ++y) {
        const std::uint32_t* s =
            source + static_cast<std::size_t>((2LL * y + 1) * height / (2LL * vp.h)) * width;
        std::uint32_t* d = destination + static_cast<std::size_t>(vp.y + y) * pitch + vp.x;
        if (s == previousSource) {
            std::memcpy(d, previousRow, static_cast<std::size_t>(vp.w) * 4); // a repeated row
        } else if (vp.w == 2 * width) {
            for (int x = 0; x < width; ++x) d[2 * x] = d[2 * x + 1] = s[x]; // the common 2x
        } else {
            for (int x = 0; x < vp.w; ++x) d[x] = s[columns[x]];
        }
        previousSource = s;
        previousRow = d;
    }
}

bool graphicsDeviceIn(const char* devices) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(devices, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0 ||
            name.rfind("nvidia", 0) == 0)
            return true;
    }
    return false;
}

namespace {
// On Wayland SDL has no framebuffer of its own: a window's surface is the texture of a GL
// renderer it makes behind the window (every window there is a GL window already), and with
// that renderer refused the surface cannot be had at all. Our own scaling would only add a
// larger upload to the same GL, so the renderer scales there, whatever draws its GL.
bool surfaceIsATexture() {
    return platform::onWayland();
}

// Asked once, on a hidden window of its own: a window that has had a GL renderer cannot
// simply go back to a plain surface. Without a graphics device any GL would draw on the CPU,
// so the probe is not even made: loading a software GL costs tens of megabytes that stay
// mapped after it is refused.
bool hardwareRendererAvailable() {
    static const bool available = [] {
        if (!graphicsDeviceIn("/dev/dri") && !graphicsDeviceIn("/dev")) return false;
        SDL_Window* probe = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_HIDDEN);
        if (!probe) return false;
        SDL_Renderer* r = SDL_CreateRenderer(probe, -1, SDL_RENDERER_ACCELERATED);
        const bool hardware = r && !softwareGl(r);
        if (r) SDL_DestroyRenderer(r);
        SDL_DestroyWindow(probe);
        // A refused GL goes as far as SDL lets it: the library it loaded for the probe.
        if (!hardware) SDL_GL_UnloadLibrary();
        return hardware;
    }();
    return available;
}
} // namespace

Presenter* openPresenter(SDL_Window* window, int width, int height) {
    auto* p = new Presenter{window, width, height};
    const char* forced = std::getenv("VRK_PRESENT");
    const bool useRenderer = forced ? std::strcmp(forced, "renderer") == 0
                                    : surfaceIsATexture() || hardwareRendererAvailable();
    if (useRenderer) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        p->renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (p->renderer)
            p->texture = SDL_CreateTexture(p->renderer, SDL_PIXELFORMAT_ARGB8888,
                                           SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!p->texture && p->renderer) {
            SDL_DestroyRenderer(p->renderer);
            p->renderer = nullptr;
        }
    }
    // The window's surface must be plain memory: by default SDL may back it with a GL texture,
    // which is the very cost this path avoids (where a texture is all there is, so be it).
    if (!p->renderer && !surfaceIsATexture()) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!p->renderer && !SDL_GetWindowSurface(window)) {
        delete p;
        return nullptr;
    }
    return p;
}

void present(Presenter* p, const std::uint32_t* pixels) {
    if (!p) return;
    if (p->renderer)
        presentWithRenderer(*p, pixels);
    else
        presentOnSurface(*p, pixels);
}

void closePresenter(Presenter* p) {
    if (!p) return;
    if (p->texture) SDL_DestroyTexture(p->texture);
    if (p->renderer) SDL_DestroyRenderer(p->renderer);
    delete p;
}

} // namespace console
