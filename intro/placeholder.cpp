// The intro library's one export. The intro itself is not built yet: until it is, the call
// returns at once and the player goes straight to its own screens.
#define VRK_EXPORT extern "C" __attribute__((visibility("default")))

VRK_EXPORT int StartVrkIntro(void* /*ignored*/) {
    return 1;
}
