#pragma once
// A disk made when the player starts, from a folder of modules, a collection file or one
// module: its groups, its tunes and what is known of them, and its scroll texts; and the menu
// table it makes, in the same layout as the built-in disk's. Tunes are known by their header
// when the disk opens; what loading them whole tells (title, time, text) comes in later, tune
// by tune, and the table is laid out again each time.
#include "collection/cache.h"
#include "collection/format.h"
#include "collection/module_facts.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace collection {

struct Tune {
    std::string path;           // absolute
    std::string name;           // the file's own name
    int group = 0;              // index into Disk::groups
    std::string listedTitle;    // a collection file's title for it (menu text); empty: the module's
    std::uint32_t listedMs = 0; // a collection file's time for it; 0: as measured
    FileStamp stamp;            // the file as it was when the disk opened
    ModuleFacts facts;
    int text = -1; // its scroll text in Disk::texts, once measured, when it has one
};

struct Disk {
    std::string title;               // menu text: the banner; also the album's name
    std::string scrollWord;          // menu text: the banner over the scroller rows
    std::vector<std::string> groups; // menu text, one header each
    std::vector<Tune> tunes;         // in list order
    // Every scroll text made so far. Texts are never changed or dropped once made: the band
    // keeps a pointer to the one it shows.
    std::deque<std::string> texts;
    struct Scroller {
        std::string line; // menu text
        int text;         // index into texts
    };
    std::vector<Scroller> scrollers; // a collection file's own scroller rows
    // A disk without scroller rows of its own makes them: an opening text, then one row for
    // each module that carries a text.
    bool makesTexts = false;
    int openingText = -1;   // made texts: the newest form of the opening text
    bool totalTold = false; // the opening text has been given the disk's whole time
    std::string endTune;    // the end pictures' tune (absolute path); empty: the disk's own
};

struct OpenedDisk {
    Disk disk;
    std::vector<std::string> notes;  // a line for each file left out, and why
    std::string refusal;             // set when no disk can be made: what the box says
    std::vector<std::string> errors; // a broken collection file's FILE:LINE: error: lines
    // What the headers told of files the cache did not know (no module, too large), for the
    // cache, so that the next opening need not read them again.
    std::vector<std::pair<std::string, CachedModule>> learned;
};

// Opens path (absolute) as a disk: a folder, a collection file or one module. Facts of files
// the cache knows as they are now are taken from it; the rest of the tunes are Pending.
OpenedDisk openDisk(const std::string& path, const ModuleCache& cache);
// Several paths (absolute) make one disk of every module in them: folders and module files,
// each file under the folder that holds it.
OpenedDisk openDisk(const std::vector<std::string>& paths, const ModuleCache& cache);

// Takes in what loading a tune whole found. A broken tune leaves the list with a line in notes.
// True when the table changes.
bool takeFacts(Disk& disk, int tune, ModuleFacts facts, std::vector<std::string>& notes);

// Makes the scroll text of a measured tune that carries a text, on a disk that makes its texts
// (once: a text is never made again).
void makeTuneText(Disk& disk, int tune);

// Makes the opening text of a disk that makes its texts: how many tunes and groups it has and
// the keys; once no tune is Pending, also how long they play. Each form starts with the one
// before it, so the band can take the new one up where it is.
void makeOpeningText(Disk& disk);

// The number of tunes still Pending.
int pendingTunes(const Disk& disk);

// The menu table of the disk as it stands.
struct DiskTable {
    Collection table;         // rows, play list, title and scroll word
    std::vector<int> rowTune; // per row: the tune it plays, or -1
    std::vector<int> rowText; // per row: the scroll text a scroller row shows, or -1
};
DiskTable layOutDisk(const Disk& disk);

// A tune's title as its row shows it (menu text), and its time in ms (0 while unknown).
std::string tuneTitle(const Tune& tune);
std::uint32_t tuneMs(const Tune& tune);

// A scroll text shorter than this runs on into the following ones, so the band never shows
// a few words chasing each other.
inline constexpr std::size_t SHORTEST_SCROLL_TEXT = 80;

} // namespace collection
