// The deliverable's one data file, opened before main runs. Kept apart from the reader so that
// tools using the reader on other files do not open "vrk.bin" as well.
#include "data/archive.h"

DataArchive dataArchive("vrk.bin");
