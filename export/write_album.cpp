// Writing an album: every tune rendered, measured and encoded on a core of its own under a
// temporary name; then the loudness of the whole album, the gains in every file, and the final
// names; then the modules and the play list.
#include "collection/fold.h"
#include "export/export.h"
#include "export/loudness.h"
#include "export/names.h"
#include "export/pending_file.h"
#include "export/play_list.h"
#include "export/progress.h"
#include "export/render.h"
#include "export/workers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace exporter {

namespace {

constexpr const char* GENRE = "Tracker";

struct TrackOutcome {
    std::string name;  // the file name it gets
    bool write = true; // false: a file is there already; only measured, for the album's gain
    PendingFile file;
    std::unique_ptr<Loudness> loudness;
    std::uint64_t frames = 0;
    bool measured = false; // rendered to its end
    bool ok = false;       // written (under its temporary name, until finished)
    std::string why;
};

// The bytes of a module as the player would play them: a resource's own, or the file's whole
// contents, provided it is still the file that was measured.
bool moduleBytes(const ModuleSource& m, std::vector<unsigned char>& owned,
                 const unsigned char*& data, std::size_t& size, std::string& why) {
    if (m.data) {
        data = m.data;
        size = m.size;
        return true;
    }
    const int fd = open(m.path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        why = std::string("cannot be read (") + std::strerror(errno) + ")";
        if (fd >= 0) close(fd);
        return false;
    }
    const collection::FileStamp now{static_cast<std::uint64_t>(st.st_size),
                                    st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
    if (!(now == m.stamp) || now.size > collection::MODULE_SIZE_LIMIT) {
        close(fd);
        why = "changed since it was measured";
        return false;
    }
    owned.resize(static_cast<std::size_t>(now.size));
    std::size_t got = 0;
    while (got < owned.size()) {
        const ssize_t n = read(fd, owned.data() + got, owned.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    if (got != owned.size()) return why = "changed while it was read", false;
    data = owned.data();
    size = owned.size();
    return true;
}

Tags trackTags(const Album& album, const Track& t, const TuneRender& r, const std::string& module,
               const WriteOptions& o) {
    Tags tags{{"TITLE", t.title}};
    if (!t.artist.empty()) tags.emplace_back("ARTIST", t.artist);
    if (!t.composer.empty()) tags.emplace_back("COMPOSER", t.composer);
    tags.emplace_back("ALBUM", album.title);
    tags.emplace_back("TRACKNUMBER", std::to_string(t.number));
    tags.emplace_back("TRACKTOTAL", std::to_string(album.trackTotal));
    if (!album.date.empty()) tags.emplace_back("DATE", album.date);
    tags.emplace_back("GENRE", GENRE);
    const std::string format = cleanText(r.typeName().empty() ? r.type() : r.typeName());
    tags.emplace_back("COMMENT", "Rendered by Tinselwave " + o.version +
                                     " from the tracker module modules/" + module + " (" + format +
                                     ") as the disk plays it: 44100 Hz, " +
                                     (t.listedMs ? "to its listed time" : "as long as it runs") +
                                     ", faded out over its last second.");
    return tags;
}

// Renders, measures and encodes one tune into a temporary file (or only measures it).
bool encodeTrack(const Album& album, const Track& t, const std::string& folder,
                 const WriteOptions& o, TrackOutcome& out) {
    const ModuleSource& m = album.modules[static_cast<std::size_t>(t.module)];
    std::vector<unsigned char> owned;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    TuneRender render;
    if (!moduleBytes(m, owned, data, size, out.why) || !render.open(data, size, out.why))
        return false;
    out.frames = render.lengthFrames(t.listedMs);
    out.loudness = std::make_unique<Loudness>();
    if (!out.loudness->valid()) return out.why = "libebur128 cannot measure it", false;
    FlacEncoder encoder;
    if (out.write && (!out.file.create(folder, out.name, out.why) ||
                      !encoder.start(out.file.fd(), out.frames,
                                     trackTags(album, t, render, m.name, o), o.cover, out.why)))
        return false;
    render.start(out.frames);
    std::int16_t block[2 * BLOCK];
    for (std::uint32_t n; (n = render.next(block)) > 0;) {
        if (o.stop && o.stop->load()) return out.why = "interrupted", false;
        out.loudness->add(block, n);
        if (out.write && !encoder.add(block, n, out.why)) return false;
    }
    out.measured = true;
    return !out.write || (encoder.finish(out.why) && out.file.close(out.why));
}

void renderTrack(const Album& album, const Track& t, const std::string& folder,
                 const WriteOptions& o, Progress& progress, TrackOutcome& out) {
    if (out.write) progress.begin(t.title);
    out.ok = encodeTrack(album, t, folder, o, out) && out.write;
    // A file that failed gives its room back at once, for the others still being written.
    if (!out.ok) out.file = PendingFile{};
}

// The gains of each tune and of the album, then the tunes' final names.
void finishTracks(std::vector<TrackOutcome>& outcomes, bool force, ExportSummary& s) {
    std::vector<const Loudness*> measured;
    double albumPeak = 0;
    for (const TrackOutcome& o : outcomes)
        if (o.measured) {
            measured.push_back(o.loudness.get());
            albumPeak = std::max(albumPeak, o.loudness->peak());
        }
    const std::string albumGain = gainText(Loudness::albumLufs(measured));
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        TrackOutcome& o = outcomes[i];
        if (!o.ok) continue;
        Tags gains;
        if (const std::string g = gainText(o.loudness->lufs()); !g.empty())
            gains.emplace_back("REPLAYGAIN_TRACK_GAIN", g);
        gains.emplace_back("REPLAYGAIN_TRACK_PEAK", peakText(o.loudness->peak()));
        if (!albumGain.empty()) gains.emplace_back("REPLAYGAIN_ALBUM_GAIN", albumGain);
        gains.emplace_back("REPLAYGAIN_ALBUM_PEAK", peakText(albumPeak));
        o.ok = addFlacTags(o.file.tempPath(), gains, o.why) && o.file.commit(force, o.why);
        if (!o.ok) {
            o.file = PendingFile{};
            continue;
        }
        ++s.tunes;
        s.bytes += o.file.size();
        s.ms += o.frames * 1000 / RATE;
    }
}

// Every module under modules/, byte for byte.
void writeModules(const Album& album, const std::string& folder, bool force, ExportSummary& s) {
    for (const ModuleSource& m : album.modules) {
        std::vector<unsigned char> owned;
        const unsigned char* data = nullptr;
        std::size_t size = 0;
        std::string why;
        PendingFile file;
        if (!force && somethingAt(folder + "/" + m.name))
            why = ALREADY_THERE;
        else if (moduleBytes(m, owned, data, size, why) && file.create(folder, m.name, why) &&
                 file.write(data, size, why) && file.close(why) && file.commit(force, why)) {
            ++s.modules;
            s.bytes += size;
            continue;
        }
        s.problems.push_back("modules/" + m.name + ": not written: " + why);
    }
}

} // namespace

ExportSummary writeAlbum(const Album& album, const std::string& folder, const WriteOptions& o) {
    ExportSummary s;
    s.problems = album.problems;
    std::string why;
    const std::string modules = folder + "/modules";
    if (!makeFolder(folder, why) || !makeFolder(modules, why)) {
        s.problems.push_back(why);
        s.folderRefused = true;
        return s;
    }
    // The tunes to write, the longest first so that no core is left with one at the end. Those
    // there already are measured too when any is written, or its album gain would be that of
    // a part of the album.
    std::vector<TrackOutcome> outcomes(album.tracks.size());
    std::vector<std::size_t> order;
    int writing = 0;
    for (std::size_t i = 0; i < album.tracks.size(); ++i) {
        const Track& t = album.tracks[i];
        TrackOutcome& out = outcomes[i];
        out.name = trackFileName(t.number, album.trackTotal, t.title);
        out.write = o.force || !somethingAt(folder + "/" + out.name);
        writing += out.write;
        order.push_back(i);
    }
    if (writing == 0) order.clear();
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return album.tracks[a].knownMs > album.tracks[b].knownMs;
    });
    {
        Progress progress(stderr, writing);
        runOnEveryCore(order.size(), [&](std::size_t k) {
            renderTrack(album, album.tracks[order[k]], folder, o, progress, outcomes[order[k]]);
        });
    }
    // Stopped: even the tunes that were finished go, since the album's gain is not known.
    if (o.stop && o.stop->load()) return s;
    finishTracks(outcomes, o.force, s);
    std::vector<PlayListEntry> listed;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const Track& t = album.tracks[i];
        // The list names the album's files, those that were there already among them.
        if (outcomes[i].ok || (!outcomes[i].write && outcomes[i].measured))
            listed.push_back(
                {outcomes[i].frames * 1000 / RATE, t.artist, t.title, outcomes[i].name});
        if (!outcomes[i].ok)
            s.problems.push_back(outcomes[i].name + ": not written: " +
                                 (outcomes[i].write ? outcomes[i].why : ALREADY_THERE));
    }
    writeModules(album, modules, o.force, s);
    std::string name;
    if (listed.empty()) return s;
    if (writePlayList(album.title, listed, folder, o.force, name, s.bytes, why))
        ++s.playLists;
    else
        s.problems.push_back(name + ": not written: " + why);
    return s;
}

} // namespace exporter
