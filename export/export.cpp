// The export as the command line asks for it: which disk, where to, and what it says.
#include "export/export.h"

#include "collection/fold.h"
#include "export/cover.h"
#include "export/names.h"
#include "platform/resources.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace exporter {

namespace {

std::atomic<bool> interrupted{false};
std::atomic<int> interruption{0};

void onSignal(int signal) {
    interruption.store(signal);
    interrupted.store(true);
}

// While it lives, Ctrl+C, a closed terminal or a kill make the export leave off between two
// blocks and take its temporary files away, instead of leaving them in the folder.
class Interruptible {
  public:
    Interruptible() {
        struct sigaction a {};
        a.sa_handler = onSignal;
        sigemptyset(&a.sa_mask);
        for (int i = 0; i < 3; ++i) sigaction(SIGNALS[i], &a, &old_[i]);
    }
    ~Interruptible() {
        for (int i = 0; i < 3; ++i) sigaction(SIGNALS[i], &old_[i], nullptr);
    }
    Interruptible(const Interruptible&) = delete;
    Interruptible& operator=(const Interruptible&) = delete;

  private:
    static constexpr int SIGNALS[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction old_[3]{};
};

std::string absolute(const std::string& path, const std::string& from) {
    return !path.empty() && path[0] == '/' ? path : from + "/" + path;
}

void tell(const std::string& line) {
    std::fprintf(stderr, "tinselwave: %s\n", line.c_str());
}

std::string megabytes(std::uint64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return buf;
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void printSummary(const ExportSummary& s, const std::string& folder, double seconds) {
    for (const std::string& p : s.problems) tell(p);
    if (s.folderRefused) return tell("nothing was exported");
    char time[32];
    std::snprintf(time, sizeof time, "%.1f s", seconds);
    std::printf("tinselwave: wrote %s (%s), %s and %s into %s: %s in %s\n",
                plural(s.tunes, "tune as FLAC", "tunes as FLAC").c_str(), clockTime(s.ms).c_str(),
                plural(s.modules, "module", "modules").c_str(),
                plural(s.playLists, "play list", "play lists").c_str(),
                collection::printableName(folder).c_str(), megabytes(s.bytes).c_str(), time);
    std::fflush(stdout);
    if (!s.problems.empty())
        tell(plural(static_cast<int>(s.problems.size()), "file was", "files were") +
             " not written");
}

} // namespace

int exportDisk(const ExportRequest& request, const MenuTable& table, DataArchive& archive) {
    const auto started = std::chrono::steady_clock::now();
    if (request.folder.empty()) return tell("--export needs a folder to write into"), 1;
    const std::string folder = absolute(request.folder, request.startFolder);
    Album album;
    if (request.paths.empty()) {
        const platform::ResourceHandle intro =
            platform::findResource(INTRO_TUNE_RESOURCE, "RT_RCDATA");
        album = builtInAlbum(table, platform::lockResource(intro), platform::sizeofResource(intro));
    } else {
        std::vector<std::string> paths, notes;
        for (const std::string& p : request.paths)
            paths.push_back(absolute(p, request.startFolder));
        std::string why;
        const bool opened = runTimeAlbum(paths, album, notes, why);
        for (const std::string& n : notes) tell(n);
        if (!opened) {
            std::fprintf(stderr, "%s\n", why.c_str());
            tell("nothing was exported");
            return 1;
        }
    }
    Picture cover;
    std::string why;
    if (!mainPictureCover(archive, cover, why)) tell("the files get no cover picture: " + why);
    interrupted.store(false);
    ExportSummary summary;
    {
        Interruptible watch;
        WriteOptions options{request.force, cover.png.empty() ? nullptr : &cover, request.version,
                             &interrupted};
        summary = writeAlbum(album, folder, options);
    }
    if (interrupted.load()) {
        tell(std::string("interrupted (") + strsignal(interruption.load()) +
             "); the files not yet finished were taken away again");
        return 128 + interruption.load();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    printSummary(summary, folder, took.count());
    return summary.problems.empty() ? 0 : 1;
}

} // namespace exporter
