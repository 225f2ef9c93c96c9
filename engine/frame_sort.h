#pragma once
// The painter's order of a frame's entries: larger keys (farther) first.
#include "engine/sort_table.h"

namespace engine {

// Sorts entries by decreasing key. Entries with equal keys keep the order they were given in,
// so the same scene and frame always draw alike. Keys must not be NaN (the frame drops those).
void SortFrameEntries(SortEntry* entries, int count);

// Makes the sort's working room for count entries now, so that a scene's first frame does not
// wait for the memory.
void ReserveFrameSort(int count);

} // namespace engine
