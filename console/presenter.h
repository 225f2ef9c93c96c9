#pragma once
// Shows the console's pictures in a window, scaled as large as fits with the aspect kept and
// black around. With a hardware renderer the scaling is the GPU's; where the only renderer is a
// software one (a machine without a GPU, a virtual display), our own nearest-pixel scaler into
// the window's surface is several times cheaper, so that path is taken instead.
#include "platform/window.h"

#include <cstdint>

struct SDL_Window;

namespace console {

struct Presenter;

// Null when the window can be shown neither way.
Presenter* openPresenter(SDL_Window* window, int width, int height);
// Shows width x height ARGB pixels (null: black only); also to repaint the window.
void present(Presenter* presenter, const std::uint32_t* pixels);
void closePresenter(Presenter* presenter);

// Whether a folder of device nodes (/dev/dri, /dev) holds a graphics device; without one, any
// GL the system offers draws on the CPU and is not worth probing.
bool graphicsDeviceIn(const char* devices);

// Scales a picture by nearest pixel (pixel centres, as area copies do) into the viewport of a
// destination whose rows are pitch pixels apart. Nothing outside the viewport is written.
void scalePicture(const std::uint32_t* source, int width, int height, std::uint32_t* destination,
                  int pitch, const platform::Viewport& viewport);

} // namespace console
