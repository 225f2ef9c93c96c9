#pragma once
// What was measured of module files, kept between runs so that a folder opened again does not
// have to be measured again: for each file (by its absolute path) the size and modification
// time it had, and its facts. One file, written whole under a temporary name and renamed over
// the old one, so a reader never sees half of it; a file that is damaged, cut short or of
// another version is ignored as if there were none.
#include "collection/module_facts.h"

#include <string>
#include <unordered_map>

namespace collection {

struct CachedModule {
    FileStamp stamp;
    ModuleFacts facts;
};

struct ModuleCache {
    std::unordered_map<std::string, CachedModule> modules; // by absolute path
    // The facts of path when they were measured of the file as it is now; null otherwise.
    const ModuleFacts* find(const std::string& path, const FileStamp& stamp) const;
};

// More entries than any one collection needs; past it the cache keeps what this run saw.
inline constexpr std::size_t CACHE_ENTRY_LIMIT = 200000;

// $XDG_CACHE_HOME/tinselwave/modules.cache, or ~/.cache/tinselwave/modules.cache (XDG_CACHE_HOME
// counts only when it is an absolute path); empty when neither can be known.
std::string moduleCachePath();

// The cache in that file; empty when there is none or it cannot be trusted.
ModuleCache readModuleCache(const std::string& path);
// Writes the cache (making its folder where needed); false when it could not be written, in
// which case the old file, if any, is left as it was.
bool writeModuleCache(const std::string& path, const ModuleCache& cache);

// The bytes of a cache file and back, for the two calls above and for the tests.
std::string encodeModuleCache(const ModuleCache& cache);
bool decodeModuleCache(std::string_view bytes, ModuleCache& out);

} // namespace collection
