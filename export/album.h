#pragma once
// What an export writes: the disk's tunes in list order with what their tags say, and every
// module that goes under modules/. Made from the built-in disk's table or from a disk opened at
// run time; the writing does not care which.
#include "collection/module_facts.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MenuTable;

namespace exporter {

// A module's bytes: the program's own (a resource, alive for the whole process) or a file's,
// read when it is needed and checked against the stamp it had when it was measured.
struct ModuleSource {
    std::string name;                    // its file name under modules/
    const unsigned char* data = nullptr; // a resource's bytes, or null for a file
    std::size_t size = 0;
    std::string path; // the file, when data is null
    collection::FileStamp stamp;
};

struct Track {
    int number = 0;             // 1-based, in list order
    std::string title;          // UTF-8
    std::string artist;         // the group it is listed under
    std::string composer;       // the module's own author, where it names one
    std::uint32_t listedMs = 0; // the listed time; 0: as long as the module plays
    int module = -1;            // index into Album::modules
    std::uint32_t knownMs = 0;  // how long it plays as far as known before it is rendered
};

struct Album {
    std::string title;
    std::string date;                  // the year the disk came out; empty when not known
    int trackTotal = 0;                // tunes in the list, also those that cannot be exported
    std::vector<Track> tracks;         // those that can, in list order
    std::vector<ModuleSource> modules; // the tunes', then the end tune and the intro's
    // Tunes the disk lists that cannot be exported, a line each (the export then fails).
    std::vector<std::string> problems;
};

// The built-in disk: its table's tunes in play-list order, titled from their rows and named
// after their groups, with the end tune and the intro's tune (introTune, null when the program
// does not carry it) among the modules.
Album builtInAlbum(const MenuTable& table, const unsigned char* introTune, std::size_t introSize);

// The title a built-in tune row shows: its text without the alignment, the dots and the time.
std::string titleOfRow(const char* text, std::uint32_t ms);

// The disk the player would make of paths (absolute), measured whole: tunes that do not load
// become problems; lines about files it leaves out go to notes. False with why (the opening's
// own refusal or errors) when no disk can be made.
bool runTimeAlbum(const std::vector<std::string>& paths, Album& album,
                  std::vector<std::string>& notes, std::string& why);

// The resource name the program carries the intro's tune under.
inline constexpr const char* INTRO_TUNE_RESOURCE = "INTROTUNE";
// Its name under modules/, the one the intro library knows it by.
inline constexpr const char* INTRO_TUNE_NAME = "super.xm";

} // namespace exporter
