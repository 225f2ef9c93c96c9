#pragma once
// The one entry point of libvrkintro.so, as the library defines it and the player calls it:
// plays the whole intro on the caller's thread and returns when its display and sound are
// released. The argument is ignored; the result is always 1.
extern "C" __attribute__((visibility("default"))) int StartVrkIntro(void* argument);
