// The deliverable's one data file, opened before main runs. Kept apart from the reader so that
// tools using the reader on other files do not open "vrk.bin" as well.
#include "data/archive.h"

// Opened before anything else of the deliverable is set up: the intro library's attach routine
// runs after it.
DataArchive dataArchive __attribute__((init_priority(1000))) ("vrk.bin");
