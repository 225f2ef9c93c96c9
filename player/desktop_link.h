#pragma once
// The player as the desktop's media controls see it (MPRIS): its tune control, what it plays.
// Nothing of it runs before the intro has ended, and without a session bus nothing runs at all.

// Takes the player's name on the session bus, once the player's window is up.
void desktop_link_start();
// Between frames: answers the desktop and tells it what changed.
void desktop_link_step();
void desktop_link_stop();
