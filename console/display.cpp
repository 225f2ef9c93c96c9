// The console: pages of pixels shown in a platform window. A console opened with n pages holds
// n pictures; each update shows the drawing page and moves on to the next, so code that redraws
// only what changed must draw on every page, as on a real flipping display.
#include "console/console.h"
#include "console/pages.h"
#include "console/presenter.h"

#include "platform/message_box.h"
#include "platform/window.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <vector>

struct PtcConsoleState {
    platform::Window* window = nullptr;
    bool ownsWindow = false;
    int width = 0, height = 0;
    std::vector<std::vector<std::uint32_t>> pages;
    int drawing = 0;
    int shown = -1;
    std::uint64_t updates = 0;
    bool keyWaiting = false;
    console::Presenter* presenter = nullptr;
};

namespace {

std::vector<PtcConsole*> openConsoles;

PtcConsoleState& stateOf(const PtcConsole* c) {
    if (!c || !c->state) throw PtcError("console is not open");
    return *c->state;
}

void show(PtcConsoleState& st) {
    if (st.presenter)
        console::present(st.presenter, st.shown >= 0 ? st.pages[st.shown].data() : nullptr);
}

void repaint(void* context) {
    auto* st = static_cast<PtcConsoleState*>(context);
    // A new drawable size may have dropped the renderer's contents: show the picture again.
    show(*st);
}

void attach(PtcConsole* console, platform::Window* window, bool ownsWindow, int width, int height,
            int pages) {
    if (console->state) ptc_console_close(console);
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192)
        throw PtcError("invalid console size");
    auto* st = new PtcConsoleState;
    st->window = window;
    st->ownsWindow = ownsWindow;
    st->width = width;
    st->height = height;
    st->pages.assign(std::max(pages, 1),
                     std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, 0));
    if (!platform::headless()) {
        st->presenter = console::openPresenter(platform::sdlWindow(window), width, height);
        if (!st->presenter) {
            if (ownsWindow) platform::destroyWindow(window);
            delete st;
            throw PtcError("could not open the display");
        }
    }
    platform::setWindowPicture(window, width, height);
    platform::setWindowRepaint(window, repaint, st);
    console->state = st;
    openConsoles.push_back(console);
    show(*st);
}

} // namespace

namespace console {
Page drawingPage(PtcConsole* c) {
    PtcConsoleState& st = stateOf(c);
    return {st.pages[st.drawing].data(), st.width, st.height};
}
} // namespace console

PtcConsole* ptc_console_create() {
    return new PtcConsole;
}

bool ptc_console_option(PtcConsole*, const char* option) {
    // The options of the old display library mean nothing here; these are known and accepted.
    static const char* known[] = {"DirectX", "fullscreen output", "windowed output",
                                  "disable key buffering", "enable key buffering"};
    for (const char* k : known)
        if (option && std::strcmp(option, k) == 0) return true;
    return false;
}

void ptc_console_open_window_resolution(PtcConsole* console, platform::Window* window, int width,
                                        int height, const PtcFormat* format, int pages) {
    if (!console) throw PtcError("invalid console");
    if (!window) throw PtcError("invalid window");
    if (format && format->bits != 32) throw PtcError("unsupported console format");
    attach(console, window, false, width, height, pages);
}

void ptc_console_open(PtcConsole* console, const char* title, int width, int height,
                      const char* mode) {
    if (!console) throw PtcError("invalid console");
    if (!mode || (std::strcmp(mode, "FUZZY32") != 0 && std::strcmp(mode, "FUZZY16") != 0))
        throw PtcError("unknown display mode");
    platform::Window* window = platform::createWindow(title ? title : "", nullptr, nullptr);
    if (!window) throw PtcError("could not create window");
    platform::showWindow(window);
    attach(console, window, true, width, height, 2);
}

bool ptc_console_is_open(const PtcConsole* console) {
    return console && console->state;
}

void ptc_console_title(PtcConsole* console, const char* title) {
    platform::setWindowTitle(stateOf(console).window, title);
}

bool ptc_console_key(PtcConsole* console) {
    PtcConsoleState& st = stateOf(console);
    platform::Message m;
    while (platform::peekMessage(m)) {
        if (m.window == st.window) {
            if (m.message == platform::WM_KEYDOWN) st.keyWaiting = true;
        } else if (m.message != platform::WM_QUIT) {
            platform::dispatchMessage(m); // another window's message is still its own
        }
    }
    bool waiting = st.keyWaiting;
    st.keyWaiting = false;
    return waiting;
}

int ptc_console_pages(const PtcConsole* c) {
    return static_cast<int>(stateOf(c).pages.size());
}
int ptc_console_width(const PtcConsole* c) {
    return stateOf(c).width;
}

void ptc_console_copy(PtcConsole* console, PtcSurface* target) {
    PtcConsoleState& st = stateOf(console);
    if (!target || target->width != st.width || target->height != st.height)
        throw PtcError("surface and console sizes differ");
    if (target->format.bits != 32) throw PtcError("unsupported surface format");
    for (int y = 0; y < st.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(target->pixels.data() +
                                                     static_cast<std::size_t>(y) * target->pitch);
        if (st.shown < 0)
            std::fill_n(row, st.width, 0u);
        else
            std::memcpy(row, st.pages[st.shown].data() + static_cast<std::size_t>(y) * st.width,
                        static_cast<std::size_t>(st.width) * 4);
    }
}

void ptc_console_clear_color_area(PtcConsole* console, const PtcColor* color, const PtcArea* area) {
    PtcConsoleState& st = stateOf(console);
    const std::uint32_t value = color ? color->pixel() : 0;
    PtcArea a = area ? *area : PtcArea{0, 0, st.width, st.height};
    const int x0 = std::max(a.left, 0), x1 = std::min(a.right, st.width);
    const int y0 = std::max(a.top, 0), y1 = std::min(a.bottom, st.height);
    for (int y = y0; y < y1; ++y)
        std::fill_n(st.pages[st.drawing].data() + static_cast<std::size_t>(y) * st.width + x0,
                    std::max(x1 - x0, 0), value);
}

void ptc_console_update(PtcConsole* console) {
    PtcConsoleState& st = stateOf(console);
    st.shown = st.drawing;
    st.drawing = (st.drawing + 1) % static_cast<int>(st.pages.size());
    ++st.updates;
    show(st);
}

void ptc_console_present(PtcConsole* console, const PtcSurface* surface) {
    ptc_surface_copy(surface, console);
    ptc_console_update(console);
}

void ptc_console_present_area(PtcConsole* console, const PtcSurface* surface, const PtcArea* area) {
    ptc_surface_copy_area(surface, console, area, area);
    ptc_console_update(console);
}

void ptc_console_close(PtcConsole* console) {
    if (!console || !console->state) return;
    PtcConsoleState* st = console->state;
    platform::setWindowRepaint(st->window, nullptr, nullptr);
    console::closePresenter(st->presenter);
    if (st->ownsWindow) platform::destroyWindow(st->window);
    delete st;
    console->state = nullptr;
    openConsoles.erase(std::remove(openConsoles.begin(), openConsoles.end(), console),
                       openConsoles.end());
}

void ptc_console_destroy(PtcConsole* console) {
    ptc_console_close(console);
    delete console;
}

const std::uint32_t* ptc_console_shown(const PtcConsole* console) {
    if (!console || !console->state || console->state->shown < 0) return nullptr;
    return console->state->pages[console->state->shown].data();
}

std::uint64_t ptc_console_updates(const PtcConsole* console) {
    return console && console->state ? console->state->updates : 0;
}

PtcError ptc_error_create(const char* message) {
    return PtcError(message ? message : "");
}

void ptc_error_report(const PtcError& error) {
    // The display goes first, so the box is not hidden behind a full-screen picture.
    while (!openConsoles.empty()) ptc_console_close(openConsoles.back());
    platform::messageBox(error.message(), "ptc error", platform::MB_ICONERROR);
}
