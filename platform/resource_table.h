#pragma once
// The raw-data resources built into one deliverable (see cmake/Resources.cmake).

namespace platform {

struct ResourceEntry {
    const char* type;
    const char* name;
    const unsigned char* begin;
    const unsigned char* end;
};

// Ends with an all-null entry. Each deliverable links its own generated table; a binary that
// embeds nothing gets an empty one.
extern const ResourceEntry resourceTable[];

} // namespace platform
