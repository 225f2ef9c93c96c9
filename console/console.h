#pragma once
// The framebuffer console: off-screen surfaces in our own memory, pixel formats and their
// conversion, and a console that shows pages of pixels in a platform window.
//
// Areas are (left, top, right, bottom) with right and bottom exclusive: the area 0,370,639,371
// is 639 x 1 pixels. Every operation that takes an area keeps to that.
//
// Failures raise PtcError (a C++ exception); the caller catches it and reports it.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {
struct Window;
}

// Format codes of the named formats.
enum : int {
    PTC_FORMAT_DIRECT = 0,
    PTC_FORMAT_ARGB8888 = 1000,
    PTC_FORMAT_RGB888 = 1004,
    PTC_FORMAT_ARGB1555 = 1008,
    PTC_FORMAT_INDEX8 = 1010,
};

struct PtcFormat {
    int code = PTC_FORMAT_DIRECT;
    int bits = 32;
    std::uint32_t r = 0xff0000, g = 0xff00, b = 0xff, a = 0;
    bool indexed() const { return bits == 8 && r == 0 && g == 0 && b == 0; }
};

struct PtcArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct PtcColor {
    float r = 0, g = 0, b = 0;
    std::uint32_t pixel() const; // 0x00RRGGBB, each channel rounded from 0.0..1.0
};

struct PtcPalette {
    std::uint32_t entries[256] = {}; // 0x00RRGGBB
};

struct PtcSurface {
    int width = 0, height = 0, pitch = 0;
    PtcFormat format;
    PtcPalette palette; // used by 8-bit indexed surfaces
    std::vector<std::uint8_t> pixels;
    int locks = 0;
};

struct PtcConsoleState;
struct PtcConsole {
    PtcConsoleState* state = nullptr;
};

class PtcError : public std::runtime_error {
  public:
    explicit PtcError(const std::string& message) : std::runtime_error(message) {}
    const char* message() const { return what(); }
};

// Formats
PtcFormat* ptc_format_create_direct(int bits, std::uint32_t r, std::uint32_t g, std::uint32_t b,
                                    std::uint32_t a);
PtcFormat ptc_format_named(int code);
void ptc_format_destroy(PtcFormat* format);
int ptc_format_bytes(const PtcFormat& format);

// Surfaces
PtcSurface* ptc_surface_create(int width, int height, const PtcFormat* format);
void ptc_surface_destroy(PtcSurface* surface); // null is fine
bool ptc_surface_valid(const PtcSurface* surface);
int ptc_surface_width(const PtcSurface* surface);
int ptc_surface_height(const PtcSurface* surface);
int ptc_surface_pitch(const PtcSurface* surface);
void* ptc_surface_lock(PtcSurface* surface);
void ptc_surface_unlock(PtcSurface* surface);
// Whole copy onto a surface of the same size and format, or onto the console's drawing page.
void ptc_surface_copy(const PtcSurface* source, PtcSurface* target);
void ptc_surface_copy(const PtcSurface* source, PtcConsole* target);
// Copies sourceArea of source onto targetArea of target, scaling by nearest pixel when the sizes
// differ: target pixel (x, y) of the area takes the source pixel under its centre,
// (sl + (2 (x - tl) + 1) sw / 2tw, st + (2 (y - tt) + 1) sh / 2th) rounded down. Both areas are
// clipped to their surfaces.
void ptc_surface_copy_area(const PtcSurface* source, PtcSurface* target, const PtcArea* sourceArea,
                           const PtcArea* targetArea);
void ptc_surface_copy_area(const PtcSurface* source, PtcConsole* target, const PtcArea* sourceArea,
                           const PtcArea* targetArea);
// Clears the whole surface, or the area clipped to it.
void ptc_surface_clear_color(PtcSurface* surface, const PtcColor* color,
                             const PtcArea* area = nullptr);
// Loads width x height pixels of the given format (rows pitch bytes apart) into the surface,
// converting to the surface's format; palette is needed for 8-bit indexed pixels.
void ptc_surface_load(PtcSurface* surface, const void* pixels, int width, int height, int pitch,
                      const PtcFormat* format, const PtcPalette* palette = nullptr);
// A new ARGB8888 surface holding the same picture (the surface's own palette for 8 bits).
PtcSurface* ptc_surface_convert(const PtcSurface* surface, int code = PTC_FORMAT_ARGB8888);

// Console
PtcConsole* ptc_console_create();
bool ptc_console_option(PtcConsole* console, const char* option);
// Opens on an existing platform window at width x height with the given format and page count.
void ptc_console_open_window_resolution(PtcConsole* console, platform::Window* window, int width,
                                        int height, const PtcFormat* format, int pages);
// Opens a window of its own, width x height, by mode name ("FUZZY32", "FUZZY16").
void ptc_console_open(PtcConsole* console, const char* title, int width, int height,
                      const char* mode);
bool ptc_console_is_open(const PtcConsole* console);
void ptc_console_title(PtcConsole* console, const char* title);
bool ptc_console_key(PtcConsole* console); // a key press waits (and is taken)
int ptc_console_pages(const PtcConsole* console);
int ptc_console_width(const PtcConsole* console);
// Copies the picture shown last into a surface of the console's size.
void ptc_console_copy(PtcConsole* console, PtcSurface* target);
// Clears an area of the drawing page.
void ptc_console_clear_color_area(PtcConsole* console, const PtcColor* color, const PtcArea* area);
// Shows the drawing page, which becomes the page shown; the next page becomes the drawing page.
void ptc_console_update(PtcConsole* console);
// Copies the surface (whole, or the area left, top, right, bottom) to the drawing page and shows
// it.
void ptc_console_present(PtcConsole* console, const PtcSurface* surface);
void ptc_console_present_area(PtcConsole* console, const PtcSurface* surface, const PtcArea* area);
void ptc_console_close(PtcConsole* console);
void ptc_console_destroy(PtcConsole* console); // closes first; null is fine

// What the console shows now: pixels of the last update (ARGB8888, width x height, no padding).
// Null before the first update. For tests and screenshots.
const std::uint32_t* ptc_console_shown(const PtcConsole* console);
// How many updates the console has shown.
std::uint64_t ptc_console_updates(const PtcConsole* console);

// Errors
PtcError ptc_error_create(const char* message);
// Closes every open console and shows the message in a box captioned "ptc error".
void ptc_error_report(const PtcError& error);
