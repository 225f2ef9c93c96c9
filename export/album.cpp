// The built-in disk as an album: its table's rows say everything the tags need.
#include "export/album.h"

#include "collection/fold.h"
#include "collection/format.h"
#include "export/names.h"
#include "platform/resources.h"
#include "collection/menu_table.h"

#include <cctype>
#include <cstring>

namespace exporter {

namespace {

// The year the disk came out (its package's first release).
constexpr const char* BUILT_IN_DATE = "2026";
constexpr const char* BUILT_IN_TITLE = "Tinselwave";

std::string trimmed(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The index of the module named name in the album, added when it is not there yet; -1 when the
// program does not carry it.
int builtInModule(Album& album, const MenuTable& table, const char* resource) {
    const std::string name = lower(resource);
    for (std::size_t i = 0; i < album.modules.size(); ++i)
        if (album.modules[i].name == name) return static_cast<int>(i);
    const unsigned char* data = table.loadModule ? table.loadModule(resource) : nullptr;
    const std::size_t size = data ? platform::resourceSizeAt(data) : 0;
    if (!data || size == 0) return -1;
    ModuleSource m;
    m.name = name;
    m.data = data;
    m.size = size;
    album.modules.push_back(std::move(m));
    return static_cast<int>(album.modules.size()) - 1;
}

// The group a tune row is listed under: the nearest header above it.
std::string groupOf(const MenuTable& table, int row) {
    for (int r = row; r-- > 0;)
        if (table.rows[r].header && table.rows[r].text) return trimmed(table.rows[r].text);
    return "";
}

} // namespace

std::string titleOfRow(const char* text, std::uint32_t ms) {
    if (!text) return "";
    const std::string line = text;
    const std::string shown = trimmed(line);
    const std::string time = collection::formatPlayTime(ms);
    if (shown.size() < time.size() || shown.compare(shown.size() - time.size(), time.size(), time))
        return shown;
    const std::string rest = shown.substr(0, shown.size() - time.size());
    // Three dots part title from time, two when three do not fit; the title may end in a dot
    // of its own, so the one that makes this very line again is the title.
    for (std::size_t dots : {3u, 2u}) {
        if (rest.size() < dots || rest.compare(rest.size() - dots, dots, std::string(dots, '.')))
            continue;
        const std::string title = rest.substr(0, rest.size() - dots);
        if (collection::tuneLine(title, ms) == line || collection::tuneRowText(title, ms) == line)
            return trimmed(title);
    }
    const std::size_t end = rest.find_last_not_of('.');
    return end == std::string::npos ? "" : trimmed(rest.substr(0, end + 1));
}

Album builtInAlbum(const MenuTable& table, const unsigned char* introTune, std::size_t introSize) {
    Album album;
    album.title = BUILT_IN_TITLE;
    album.date = BUILT_IN_DATE;
    album.trackTotal = table.playListLength;
    for (int k = 0; k < table.playListLength; ++k) {
        const int row = table.playList[k];
        const MenuRow& r = table.rows[row];
        Track t;
        t.number = k + 1;
        t.title = cleanText(titleOfRow(r.text, r.duration));
        if (t.title.empty()) t.title = "untitled";
        t.artist = cleanText(groupOf(table, row));
        t.listedMs = r.duration;
        t.knownMs = r.duration;
        t.module = r.resource ? builtInModule(album, table, r.resource) : -1;
        if (t.module < 0) {
            album.problems.push_back(trackFileName(t.number, album.trackTotal, t.title) +
                                     ": its module " + (r.resource ? lower(r.resource) : "") +
                                     " is not built into this program; not written");
            continue;
        }
        album.tracks.push_back(std::move(t));
    }
    if (table.endTune && builtInModule(album, table, table.endTune) < 0)
        album.problems.push_back("modules/" + lower(table.endTune) +
                                 ": the end tune is not built into this program; not written");
    if (introTune && introSize) {
        ModuleSource m;
        m.name = INTRO_TUNE_NAME;
        m.data = introTune;
        m.size = introSize;
        album.modules.push_back(std::move(m));
    } else {
        album.problems.push_back(std::string("modules/") + INTRO_TUNE_NAME +
                                 ": the intro's tune is not built into this program; not written");
    }
    return album;
}

} // namespace exporter
