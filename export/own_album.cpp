// A disk made at run time as an album: opened as the player opens it, every tune measured
// (on every core) so the list is the one the menu shows once it has settled.
#include "collection/disk.h"
#include "collection/fold.h"
#include "collection/measurer.h"
#include "export/album.h"
#include "export/names.h"
#include "export/workers.h"

#include <cctype>
#include <set>
#include <sys/stat.h>

namespace exporter {

namespace {

std::string stemOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string extensionOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
}

std::string folded(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A name under modules/ that no other module has, ignoring case (phones' file systems do):
// "menu.s3m", then "menu (2).s3m" ...
std::string uniqueName(std::set<std::string>& taken, const std::string& fileName) {
    const std::string safe = safeFileName(fileName);
    std::string name = safe;
    for (int n = 2; !taken.insert(folded(name)).second; ++n)
        name = safeFileName(stemOf(safe) + " (" + std::to_string(n) + ")" + extensionOf(safe));
    return name;
}

void measureAll(collection::Disk& d, Album& album) {
    std::vector<collection::ModuleFacts> facts(d.tunes.size());
    std::vector<collection::FileStamp> stamps(d.tunes.size());
    runOnEveryCore(d.tunes.size(), [&](std::size_t i) {
        facts[i] = collection::measureFile(d.tunes[i].path, stamps[i]);
    });
    std::vector<std::string> ignored; // the problems below say it better for an export
    for (std::size_t i = 0; i < d.tunes.size(); ++i) {
        if (facts[i].state != collection::ModuleState::Measured)
            album.problems.push_back(collection::printableName(d.tunes[i].path) +
                                     ": cannot be exported: " + facts[i].reason);
        d.tunes[i].stamp = stamps[i];
        collection::takeFacts(d, static_cast<int>(i), std::move(facts[i]), ignored);
    }
}

Track trackOf(const collection::Disk& d, const collection::Tune& t) {
    Track track;
    track.title = cleanText(t.listedTitle.empty() ? t.facts.title : t.listedTitle);
    if (track.title.empty()) track.title = cleanText(stemOf(t.name));
    if (track.title.empty()) track.title = "untitled";
    if (t.group >= 0 && static_cast<std::size_t>(t.group) < d.groups.size())
        track.artist = cleanText(d.groups[static_cast<std::size_t>(t.group)]);
    track.composer = cleanText(t.facts.artist);
    track.listedMs = t.listedMs;
    track.knownMs = collection::tuneMs(t);
    return track;
}

bool stampOf(const std::string& path, collection::FileStamp& stamp) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp = {static_cast<std::uint64_t>(st.st_size),
             st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
    return true;
}

} // namespace

bool runTimeAlbum(const std::vector<std::string>& paths, Album& album,
                  std::vector<std::string>& notes, std::string& why) {
    // Every module is measured here whatever a cache knows: a tune that no longer loads must
    // be told as one, not passed over as the cache remembers it.
    collection::OpenedDisk opened = collection::openDisk(paths, collection::ModuleCache{});
    notes = opened.notes;
    for (const std::string& e : opened.errors) why += (why.empty() ? "" : "\n") + e;
    if (why.empty()) why = opened.refusal;
    if (!why.empty()) return false;
    collection::Disk& d = opened.disk;
    album.title = cleanText(d.title);
    measureAll(d, album);
    const collection::DiskTable table = collection::layOutDisk(d);
    std::set<std::string> taken;
    for (std::size_t row = 0; row < table.rowTune.size(); ++row) {
        if (table.rowTune[row] < 0) continue;
        const collection::Tune& t = d.tunes[static_cast<std::size_t>(table.rowTune[row])];
        Track track = trackOf(d, t);
        track.number = static_cast<int>(album.tracks.size()) + 1;
        track.module = static_cast<int>(album.modules.size());
        album.modules.push_back({uniqueName(taken, t.name), nullptr, 0, t.path, t.stamp});
        album.tracks.push_back(std::move(track));
    }
    album.trackTotal = static_cast<int>(album.tracks.size());
    bool endTuneListed = d.endTune.empty();
    for (const ModuleSource& m : album.modules) endTuneListed |= m.path == d.endTune;
    if (!endTuneListed) {
        ModuleSource end{uniqueName(taken, d.endTune.substr(d.endTune.rfind('/') + 1)),
                         nullptr,
                         0,
                         d.endTune,
                         {}};
        if (stampOf(d.endTune, end.stamp))
            album.modules.push_back(std::move(end));
        else
            album.problems.push_back(collection::printableName(d.endTune) +
                                     ": the end tune cannot be opened; not written");
    }
    return true;
}

} // namespace exporter
