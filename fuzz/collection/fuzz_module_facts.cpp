// Any bytes as a module file: the header check, loading it whole with the text found in its
// message or sample names, and folding whatever it says into the fonts.
#include "collection/fold.h"
#include "collection/format.h"
#include "collection/module_facts.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    collection::looksLikeModule(data, std::min(size, collection::moduleProbeBytes()), size);
    const collection::ModuleFacts f = collection::measureModule(data, size);
    const std::string raw(reinterpret_cast<const char*>(data), size);
    for (const std::string* s : {&f.title, &f.artist, &f.text, &raw}) {
        for (char c : collection::foldToMenu(*s))
            if (!collection::isMenuFontChar(c)) std::abort();
        for (char c : collection::foldToScroll(*s))
            if (!collection::isScrollFontChar(c)) std::abort();
        if (collection::tuneRowText(collection::foldToMenu(*s), f.durationMs).size() != 25)
            std::abort();
        collection::printableName(*s);
    }
    return 0;
}
