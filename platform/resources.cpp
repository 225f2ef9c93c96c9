#include "platform/resources.h"

#include "platform/resource_table.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace platform {

// A binary that embeds resources defines a strong table of its own; this one stands in for the
// rest (tools and tests that embed nothing).
[[gnu::weak]] extern const ResourceEntry resourceTable[] = {{nullptr, nullptr, nullptr, nullptr}};

namespace {
// What holdResource keeps; each block is owned here until released.
std::mutex heldLock;
std::vector<std::unique_ptr<std::vector<unsigned char>>> held;

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
    std::lock_guard lock(heldLock);
    for (const auto& h : held)
        if (!h->empty() && h->data() == data) return h->size();
    return 0;
}

const unsigned char* holdResource(std::vector<unsigned char> bytes) {
    if (bytes.empty()) return nullptr;
    auto block = std::make_unique<std::vector<unsigned char>>(std::move(bytes));
    const unsigned char* begin = block->data();
    std::lock_guard lock(heldLock);
    held.push_back(std::move(block));
    return begin;
}

void releaseResource(const unsigned char* begin) {
    std::lock_guard lock(heldLock);
    held.erase(std::remove_if(held.begin(), held.end(),
                              [begin](const auto& h) { return h->data() == begin; }),
               held.end());
}

} // namespace platform
