#include "export/play_list.h"

#include "export/names.h"
#include "export/pending_file.h"

namespace exporter {

std::string playListText(const std::string& albumTitle, const std::vector<PlayListEntry>& entries) {
    std::string text = "#EXTM3U\n#PLAYLIST:" + albumTitle + "\n";
    for (const PlayListEntry& e : entries) {
        text += "#EXTINF:" + std::to_string((e.ms + 500) / 1000) + ",";
        text += e.artist.empty() ? e.title : e.artist + " - " + e.title;
        text += "\n" + e.file + "\n";
    }
    return text;
}

bool writePlayList(const std::string& albumTitle, const std::vector<PlayListEntry>& entries,
                   const std::string& folder, bool force, std::string& name, std::uint64_t& bytes,
                   std::string& why) {
    name = safeFileName(albumTitle, FILE_NAME_MAX - 6) + ".m3u8";
    if (!force && somethingAt(folder + "/" + name)) return why = ALREADY_THERE, false;
    const std::string text = playListText(albumTitle, entries);
    PendingFile file;
    if (!file.create(folder, name, why) || !file.write(text.data(), text.size(), why) ||
        !file.close(why) || !file.commit(force, why))
        return false;
    bytes += text.size();
    return true;
}

} // namespace exporter
