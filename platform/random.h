#pragma once
// The one source of random numbers: the C library's generator, which the player seeds once at
// start-up. Code that draws takes a RandomSource so that tests can script the draws.

namespace platform {

// A random integer 0 .. 32767.
using RandomSource = int (*)();
int libraryRandom();

} // namespace platform
