#pragma once
// The play list of an export: an extended M3U file in UTF-8 (m3u8) that names the FLAC files
// beside it, in list order, with their times and titles.
#include <cstdint>
#include <string>
#include <vector>

namespace exporter {

struct PlayListEntry {
    std::uint64_t ms = 0;
    std::string artist, title; // one line each (clean text)
    std::string file;          // beside the list
};

std::string playListText(const std::string& albumTitle, const std::vector<PlayListEntry>& entries);

// "<album>.m3u8" in folder, as every other file of an export is written. Its size in bytes goes
// to bytes; false with why.
bool writePlayList(const std::string& albumTitle, const std::vector<PlayListEntry>& entries,
                   const std::string& folder, bool force, std::string& name, std::uint64_t& bytes,
                   std::string& why);

} // namespace exporter
