// The run-time collection reader and what a disk makes of it: any bytes as a collection file
// under both rules, the tunes it lists laid out as a disk's table, and the same bytes as a
// cache file. Every row a table gets must be a menu line.
#include "collection/cache.h"
#include "collection/disk.h"
#include "collection/format.h"

#include <cstdlib>
#include <string>

namespace {

void expectMenuLine(const std::string& row) {
    if (row.size() != collection::MENU_LINE) std::abort();
    for (char c : row)
        if (!collection::isMenuFontChar(c)) std::abort();
}

// The rows a disk of the file's tunes lays out, with made-up facts.
void layOut(const collection::Collection& c, const std::string& bytes) {
    collection::Disk d;
    d.title = c.title.empty() ? "fuzz" : c.title;
    d.scrollWord = "messages";
    d.makesTexts = true;
    int group = -1;
    for (const collection::CollectionRow& r : c.rows) {
        if (r.header) {
            d.groups.push_back(r.text.substr(r.text.find_first_not_of(' ')));
            ++group;
        } else if (r.kind == 1) {
            collection::Tune t;
            t.path = r.resource;
            t.name = r.resource;
            t.group = group;
            t.listedTitle = r.title;
            t.listedMs = r.duration;
            t.facts.state = collection::ModuleState::Measured;
            t.facts.title = bytes.substr(0, 40);
            t.facts.text = bytes;
            t.facts.durationMs = static_cast<std::uint32_t>(bytes.size()) * 997;
            d.tunes.push_back(t);
        }
    }
    for (std::size_t i = 0; i < d.tunes.size(); ++i) collection::makeTuneText(d, static_cast<int>(i));
    collection::makeOpeningText(d);
    const collection::DiskTable t = collection::layOutDisk(d);
    for (const collection::CollectionRow& r : t.table.rows) expectMenuLine(r.text);
    for (const std::string& text : d.texts)
        for (char ch : text)
            if (!collection::isScrollFontChar(ch)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (collection::Rules rules : {collection::Rules::Build, collection::Rules::Player}) {
        try {
            const collection::Collection c = collection::parseCollection(bytes, rules);
            for (const collection::CollectionRow& r : c.rows)
                if (r.kind != 1 || r.duration) expectMenuLine(r.text);
            if (rules == collection::Rules::Player) layOut(c, bytes);
        } catch (const collection::CollectionError&) {
        }
    }
    collection::ModuleCache cache;
    if (collection::decodeModuleCache(bytes, cache) &&
        collection::encodeModuleCache(cache).size() != size)
        std::abort(); // what decodes is exactly what was encoded
    return 0;
}
