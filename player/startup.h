#pragma once
// The player's life from process start to exit.

// Runs the whole program: checks, window, intro, console, pictures, main loop, release.
// Returns the exit status (0 after a normal run or a reported display error, 1 after a
// start-up refusal).
int run_player();

class DataArchive;

// Creates every picture and work surface in order from the archive; raises PtcError
// "error loading image!" when a picture does not load. Needs the console open.
void create_pictures(DataArchive& archive);
// Destroys every picture that exists, in the release order, leaving the pointers null.
void release_pictures();
