// The run-time disk behind the menu: its table, its measuring, and the module files it plays.
#include "player/own_disk.h"

#include "audio/music.h"
#include "collection/disk.h"
#include "collection/fold.h"
#include "collection/measurer.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/scroller.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

using collection::ModuleState;

struct OwnDisk {
    collection::Disk disk;
    collection::ModuleCache cache;
    std::string cachePath;
    bool cacheChanged = false;
    std::unique_ptr<collection::Measurer> measurer;
    bool relayout = false;
    int framesSinceLayout = 0;
    // The table as last laid out, and what each row stands for.
    std::vector<std::string> lines;
    std::vector<MenuRow> rows;
    std::vector<std::int32_t> playList;
    std::vector<const char*> scrollTexts;
    std::vector<int> rowTune, rowText;
    std::unordered_map<std::string, int> tuneByPath;
    MenuTable table{};
    const char* shownOpening = nullptr;  // the opening text's newest form in the table
    const unsigned char* held = nullptr; // the module last handed to a switch
};

std::unique_ptr<OwnDisk> own;

void tell(const std::string& line) {
    std::fprintf(stderr, "tinselwave: %s\n", line.c_str());
}

void tellAll(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) tell(l);
}

// The row that stands for the same tune or text after a new layout; -1 when it is gone.
int find_row(const OwnDisk& o, int tune, int text) {
    for (std::size_t r = 0; r < o.rowTune.size(); ++r)
        if ((tune >= 0 && o.rowTune[r] == tune) || (text >= 0 && o.rowText[r] == text))
            return static_cast<int>(r);
    return -1;
}

// The first tune or scroller row at or below row, as the anchor the list keeps in place.
int anchor_below(const OwnDisk& o, int row) {
    for (std::size_t r = static_cast<std::size_t>(std::max(row, 0)); r < o.rowTune.size(); ++r)
        if (o.rowTune[r] >= 0 || o.rowText[r] >= 0) return static_cast<int>(r);
    return -1;
}

void fill_table(OwnDisk& o, const collection::DiskTable& t) {
    o.lines.clear();
    o.rows.clear();
    for (const collection::CollectionRow& r : t.table.rows) o.lines.push_back(r.text);
    for (std::size_t i = 0; i < t.table.rows.size(); ++i) {
        const collection::CollectionRow& r = t.table.rows[i];
        const int tune = t.rowTune[i], text = t.rowText[i];
        o.rows.push_back({o.lines[i].c_str(), r.duration, r.header ? 1u : 0u,
                          static_cast<RowKind>(r.kind),
                          tune >= 0 ? o.disk.tunes[tune].path.c_str() : nullptr,
                          text >= 0 ? o.disk.texts[text].c_str() : nullptr});
    }
    o.rows.push_back({nullptr, 0, 0, ROW_PLAIN, nullptr, nullptr});
    o.playList.assign(t.table.playList.begin(), t.table.playList.end());
    o.scrollTexts.clear();
    for (int text : t.rowText)
        if (text >= 0) o.scrollTexts.push_back(o.disk.texts[text].c_str());
    o.rowTune = t.rowTune;
    o.rowText = t.rowText;
    MenuTable& m = o.table;
    m.rows = o.rows.data();
    m.rowCount = static_cast<std::int32_t>(o.rows.size() - 1);
    m.playList = o.playList.data();
    m.playListLength = static_cast<std::int32_t>(o.playList.size());
    m.scrollTexts = o.scrollTexts.data();
    m.scrollTextCount = static_cast<std::int32_t>(o.scrollTexts.size());
    m.firstTuneRow = o.playList.empty() ? 0 : o.playList[0];
    ++m.version;
}

// Lays the table out again, keeping the list where it was: the row under the cursor and the
// playing row stay on the same tunes and texts.
void lay_out(OwnDisk& o) {
    const int cursor = anchor_below(o, menu.scroll / MENU_SLOT);
    const int cursorTune = cursor >= 0 ? o.rowTune[cursor] : -1;
    const int cursorText = cursor >= 0 ? o.rowText[cursor] : -1;
    const int playing = menu.playingRow >= 0 && menu.playingRow < static_cast<int>(o.rowTune.size())
                            ? o.rowTune[menu.playingRow]
                            : -1;
    fill_table(o, collection::layOutDisk(o.disk));
    if (const int moved = find_row(o, cursorTune, cursorText); cursor >= 0 && moved >= 0)
        menu.scroll =
            std::clamp(menu.scroll + MENU_SLOT * (moved - cursor), 0, menu_scroll_limit());
    if (const int row = find_row(o, playing, -1); playing >= 0 && row >= 0) {
        menu.playingRow = row;
        if (menu.randomPlay && menu.randomDuration == UNKNOWN_TUNE_MS && o.rows[row].duration)
            menu.randomDuration = o.rows[row].duration;
    }
    // The opening text grew by its total: the band goes on with the longer one.
    const collection::Disk& d = o.disk;
    const char* opening = d.openingText >= 0 ? d.texts[d.openingText].c_str() : nullptr;
    if (o.shownOpening && opening != o.shownOpening && scroller.text == o.shownOpening)
        scroller_extend_text(opening);
    o.shownOpening = opening;
}

void take_facts(OwnDisk& o, int tune, const collection::FileStamp& stamp,
                collection::ModuleFacts facts) {
    collection::Tune& t = o.disk.tunes[static_cast<std::size_t>(tune)];
    t.stamp = stamp;
    o.cache.modules[t.path] = {stamp, facts};
    o.cacheChanged = true;
    std::vector<std::string> notes;
    collection::takeFacts(o.disk, tune, std::move(facts), notes);
    tellAll(notes);
    o.relayout = true;
}

bool read_whole(const std::string& path, std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    unsigned char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) {
        bytes.insert(bytes.end(), buf, buf + n);
        if (bytes.size() > collection::MODULE_SIZE_LIMIT) break;
    }
    std::fclose(f);
    return !bytes.empty() && bytes.size() <= collection::MODULE_SIZE_LIMIT;
}

// Whether a tune's file is still the one the disk measured; says why not.
bool still_there(OwnDisk& o, int tune) {
    collection::Tune& t = o.disk.tunes[static_cast<std::size_t>(tune)];
    struct stat st {};
    if (stat(t.path.c_str(), &st) != 0) {
        tell(collection::printableName(t.path) + ": gone since the disk was opened; nothing plays");
        return false;
    }
    const collection::FileStamp now{static_cast<std::uint64_t>(st.st_size),
                                    st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
    if (now == t.stamp) return true;
    tell(collection::printableName(t.path) +
         ": changed since the disk was opened; nothing plays until it is measured again");
    o.measurer->add({tune, t.path}, true);
    return false;
}

const unsigned char* hold(OwnDisk& o, std::vector<unsigned char> bytes) {
    // No switch runs (start_tune is only asked between them), so the last one is done with.
    platform::releaseResource(o.held);
    o.held = platform::holdResource(std::move(bytes));
    return o.held;
}

const unsigned char* load_own_module(const char* resource) {
    OwnDisk& o = *own;
    // The switch running drops the request; nothing is read for it.
    if (music_is_switching()) return o.held;
    const auto it = o.tuneByPath.find(resource);
    if (it == o.tuneByPath.end() && o.disk.endTune != resource)
        return platform::lockResource(platform::findResource(resource, "RT_RCDATA"));
    if (it != o.tuneByPath.end() && !still_there(o, it->second)) return nullptr;
    std::vector<unsigned char> bytes;
    if (!read_whole(resource, bytes)) {
        tell(collection::printableName(resource) + ": cannot be read; nothing plays");
        return nullptr;
    }
    if (it != o.tuneByPath.end() &&
        o.disk.tunes[static_cast<std::size_t>(it->second)].facts.state == ModuleState::Pending) {
        // Chosen before its turn: measured now, so a broken one never reaches the player.
        collection::ModuleFacts facts = collection::measureModule(bytes.data(), bytes.size());
        const bool broken = facts.state != ModuleState::Measured;
        take_facts(o, it->second, o.disk.tunes[static_cast<std::size_t>(it->second)].stamp,
                   std::move(facts));
        if (broken) return nullptr;
    }
    return hold(o, std::move(bytes));
}

// A tune's title as its module gives it (or its collection, or its file name).
std::string own_tune_title(int row) {
    const OwnDisk& o = *own;
    if (row < 0 || row >= static_cast<int>(o.rowTune.size()) || o.rowTune[row] < 0) return "";
    const collection::Tune& t = o.disk.tunes[static_cast<std::size_t>(o.rowTune[row])];
    std::string title = t.facts.title;
    while (!title.empty() && title.back() == ' ') title.pop_back();
    if (!t.listedTitle.empty() || title.find_first_not_of(' ') == std::string::npos)
        return collection::tuneTitle(t);
    return title.substr(title.find_first_not_of(' '));
}

void write_cache(OwnDisk& o) {
    if (!o.cacheChanged) return;
    o.cacheChanged = false;
    if (o.cache.modules.size() > collection::CACHE_ENTRY_LIMIT) {
        collection::ModuleCache mine;
        for (const collection::Tune& t : o.disk.tunes)
            if (auto it = o.cache.modules.find(t.path); it != o.cache.modules.end())
                mine.modules.insert(*it);
        o.cache = std::move(mine);
    }
    collection::writeModuleCache(o.cachePath, o.cache); // a cache that cannot be kept is no loss
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    return own_disk_start_folder() + "/" + path;
}

} // namespace

std::string own_disk_start_folder() {
    if (const char* start = std::getenv("TINSELWAVE_START_DIR"); start && start[0] == '/')
        return start;
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

namespace {

// The disk of the paths with its table laid out and its measuring started; null after saying
// why it cannot be played (in a box, when boxes; status then holds the exit status).
std::unique_ptr<OwnDisk> open_own(const std::vector<std::string>& paths, bool boxes, int& status) {
    status = 1;
    auto o = std::make_unique<OwnDisk>();
    o->cachePath = collection::moduleCachePath();
    o->cache = collection::readModuleCache(o->cachePath);
    std::vector<std::string> absolutePaths;
    for (const std::string& p : paths) absolutePaths.push_back(absolute(p));
    collection::OpenedDisk opened = collection::openDisk(absolutePaths, o->cache);
    tellAll(opened.notes);
    if (!opened.errors.empty()) {
        std::string text;
        for (const std::string& e : opened.errors) {
            std::fprintf(stderr, "%s\n", e.c_str());
            text += e + "\n";
        }
        if (boxes) platform::messageBox(text.c_str(), "Tinselwave", platform::MB_ICONEXCLAMATION);
        return nullptr;
    }
    if (!opened.refusal.empty()) {
        if (boxes)
            platform::messageBox(opened.refusal.c_str(), "Tinselwave",
                                 platform::MB_ICONEXCLAMATION);
        else
            tell(opened.refusal);
        return nullptr;
    }
    o->disk = std::move(opened.disk);
    for (auto& [file, known] : opened.learned) o->cache.modules[file] = known;
    o->cacheChanged = !opened.learned.empty();
    o->measurer = std::make_unique<collection::Measurer>();
    for (std::size_t i = 0; i < o->disk.tunes.size(); ++i) {
        const collection::Tune& t = o->disk.tunes[i];
        o->tuneByPath.emplace(t.path, static_cast<int>(i));
        if (t.facts.state == ModuleState::Pending) o->measurer->add({static_cast<int>(i), t.path});
    }
    o->table.endTune = o->disk.endTune.empty() ? endTuneResource : o->disk.endTune.c_str();
    o->table.loadModule = load_own_module;
    o->table.title = o->disk.title.c_str();
    o->table.tuneTitle = own_tune_title;
    fill_table(*o, collection::layOutDisk(o->disk));
    const collection::Disk& d = o->disk;
    o->shownOpening = d.openingText >= 0 ? d.texts[d.openingText].c_str() : nullptr;
    status = 0;
    return o;
}

void print_table(const std::string& path, const OwnDisk& o) {
    const MenuTable& t = o.table;
    int groups = 0;
    for (int i = 0; i < t.rowCount; ++i) groups += t.rows[i].header ? 1 : 0;
    std::printf("%s: %d tunes in %d groups, %d scroll texts; %d menu rows\n",
                collection::printableName(path).c_str(), t.playListLength, groups,
                t.scrollTextCount, t.rowCount);
    for (int i = 0; i < t.rowCount; ++i) {
        const MenuRow& r = t.rows[i];
        std::printf("%5d |%s|", i, r.text);
        if (r.header) std::printf(" group");
        if (r.kind == ROW_TUNE)
            std::printf(" tune %s", collection::printableName(r.resource).c_str());
        if (r.kind == ROW_SCROLLER)
            std::printf(" scroller (%zu characters)", std::strlen(r.scrollText));
        std::printf("\n");
    }
    std::printf("end tune: %s\n", o.disk.endTune.empty()
                                      ? "the disk's own"
                                      : collection::printableName(o.disk.endTune).c_str());
}

} // namespace

int own_disk_open(const std::vector<std::string>& paths) {
    int status = 0;
    own = open_own(paths, true, status);
    if (own) use_menu_table(&own->table);
    return status;
}

int own_disk_list(const std::vector<std::string>& paths) {
    int status = 0;
    own = open_own(paths, false, status);
    if (!own) return status;
    while (!own->measurer->idle()) {
        own_disk_step();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    own_disk_step();
    print_table(paths[0], *own);
    own_disk_close();
    return 0;
}

void own_disk_step() {
    if (!own) return;
    for (collection::Measurer::Result& r : own->measurer->take()) {
        const auto it = own->tuneByPath.find(r.path);
        if (it != own->tuneByPath.end()) take_facts(*own, it->second, r.stamp, std::move(r.facts));
    }
    // A long table is laid out less often while it is measured: 5,000 rows take about 5 ms, so
    // every frame would cost a sixth of the menu's time; a few times a second is enough.
    ++own->framesSinceLayout;
    const int every = 1 + own->table.rowCount / 500;
    if (own->relayout && (own->framesSinceLayout >= every || own->measurer->idle())) {
        own->relayout = false;
        own->framesSinceLayout = 0;
        lay_out(*own);
    }
    if (own->cacheChanged && own->measurer->idle()) write_cache(*own);
}

bool own_disk_settled() {
    return !own || (own->measurer->idle() && !own->relayout);
}

void own_disk_close() {
    if (!own) return;
    own->measurer.reset();
    write_cache(*own);
    use_menu_table(nullptr);
    platform::releaseResource(own->held);
    own.reset();
}
