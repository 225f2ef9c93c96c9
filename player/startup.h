#pragma once
// The player's life from process start to exit.

// Runs the whole program: its command line, checks, the user's disk when one is named, window,
// intro, console, pictures, main loop, release. Returns the exit status (0 after a normal run
// or a reported display error, 1 after a start-up refusal, 2 after a command line it cannot
// use).
int run_player(int argc, const char* const* argv);

class DataArchive;

// Creates every picture and work surface in order from the archive; raises PtcError
// "error loading image!" when a picture does not load. Needs the console open.
void create_pictures(DataArchive& archive);
// Destroys every picture that exists, in the release order, leaving the pointers null.
void release_pictures();
