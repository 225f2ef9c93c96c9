#pragma once
// A disk made at run time from the user's own modules (a folder, a collection file or one
// module). It is opened before the intro; its modules are measured on a thread of their own
// while the disk plays, and its menu table is laid out again between frames as they come in,
// so the menu only ever draws what is known so far. Without one, the built-in disk plays.
#include <string>
#include <vector>

// Opens the paths (relative ones against the folder the user started in) as the disk to play
// and makes its table the menu's. 0 when it can be played; else the exit status, after saying why.
int own_disk_open(const std::vector<std::string>& paths);
// Opens the disk as above, measures all of it and prints the menu it makes, row by row, on
// standard output; the exit status.
int own_disk_list(const std::vector<std::string>& paths);
// Between frames: takes in what was measured and lays the table out again when it changed.
// Nothing to do for the built-in disk.
void own_disk_step();
// True when no module is waiting to be measured and nothing measured waits to be taken in.
bool own_disk_settled();
// Stops measuring, keeps what was measured in the cache, and goes back to the built-in table.
void own_disk_close();

// The folder relative paths start from: the one named by TINSELWAVE_START_DIR (the launcher
// moves to the data file's folder and says where it came from), else the working folder.
std::string own_disk_start_folder();
