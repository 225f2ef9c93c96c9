#include "platform/resources.h"

#include "platform/resource_table.h"

#include <cstring>

namespace platform {

// A binary that embeds resources defines a strong table of its own; this one stands in for the
// rest (tools and tests that embed nothing).
[[gnu::weak]] extern const ResourceEntry resourceTable[] = {{nullptr, nullptr, nullptr, nullptr}};

namespace {
bool sameIgnoringCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
        if (x == 0) return true;
    }
}
} // namespace

ResourceHandle findResource(const char* name, const char* type) {
    if (!name || !type) return nullptr;
    for (const ResourceEntry* e = resourceTable; e->name; ++e)
        if (sameIgnoringCase(e->name, name) && sameIgnoringCase(e->type, type)) return e;
    return nullptr;
}

const unsigned char* lockResource(ResourceHandle h) {
    return h ? h->begin : nullptr;
}

std::size_t sizeofResource(ResourceHandle h) {
    return h ? static_cast<std::size_t>(h->end - h->begin) : 0;
}

std::size_t resourceSizeAt(const void* data) {
    for (const ResourceEntry* e = resourceTable; e->name; ++e)
        if (e->begin == data) return static_cast<std::size_t>(e->end - e->begin);
    return 0;
}

} // namespace platform
