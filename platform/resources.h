#pragma once
// Named raw-data resources of the running deliverable: find, lock, size.
#include <cstddef>
#include <vector>

namespace platform {

struct ResourceEntry;
using ResourceHandle = const ResourceEntry*;

// Finds a resource by name and type name ("RT_RCDATA"); both compare without regard to ASCII
// case. Null when there is none.
ResourceHandle findResource(const char* name, const char* type);
// The resource's bytes; they stay valid for the life of the process.
const unsigned char* lockResource(ResourceHandle h);
std::size_t sizeofResource(ResourceHandle h);
// The size of the resource whose bytes start at data, or 0 when data is not a resource's start.
// Lets code that is handed only a locked pointer learn how long the data is. Resources held at
// run time count too.
std::size_t resourceSizeAt(const void* data);

// Bytes read at run time (a module file, say), held as a resource of the running program until
// released: the pointer can be handed on like a locked resource. Safe from any thread.
const unsigned char* holdResource(std::vector<unsigned char> bytes);
void releaseResource(const unsigned char* begin);

} // namespace platform
