// A mouse for the Wayland end-to-end test: plugs a virtual pointer into the compositor's seat,
// waits for the clients to take it, moves it to a point of the output and clicks if asked,
// then unplugs it.  vrk_wl_pointer X Y WIDTH HEIGHT [click]
// (X, Y on an output of WIDTH x HEIGHT). Exit status 1 with a line on stderr when it cannot.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>
#include <thread>
#include <wayland-client.h>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        g->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener = {global, globalRemove};

std::uint32_t now() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Lets the compositor and its clients act on what was sent (a new device, a motion).
void settle(wl_display* display) {
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    wl_display_roundtrip(display);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || (argc == 6 && std::strcmp(argv[5], "click") != 0) || argc > 6) {
        std::fprintf(stderr, "usage: vrk_wl_pointer X Y WIDTH HEIGHT [click]\n");
        return 2;
    }
    const auto x = static_cast<std::uint32_t>(std::atoi(argv[1]));
    const auto y = static_cast<std::uint32_t>(std::atoi(argv[2]));
    const auto w = static_cast<std::uint32_t>(std::atoi(argv[3]));
    const auto h = static_cast<std::uint32_t>(std::atoi(argv[4]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "vrk_wl_pointer: no Wayland display\n");
        return 1;
    }
    Globals g;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &g);
    wl_display_roundtrip(display);
    if (!g.seat || !g.manager) {
        std::fprintf(stderr, "vrk_wl_pointer: the compositor offers no virtual pointers\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.manager, g.seat);
    settle(display); // the clients see the seat gain a pointer and take it
    zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, w, h);
    zwlr_virtual_pointer_v1_frame(pointer);
    settle(display);
    if (argc == 6) {
        zwlr_virtual_pointer_v1_button(pointer, now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        zwlr_virtual_pointer_v1_button(pointer, now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer);
        settle(display);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(g.manager);
    wl_seat_destroy(g.seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
