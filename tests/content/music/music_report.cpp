// Prints the collection's measurements as a table: the effect kinds each module's patterns use,
// its stereo spread, brightness, loudness as BS.1770 measures it (integrated, range, true peak,
// distance from the collection's median) and tempo changes; the intro's tune last.
//   vrk_music_report [folder [file ...]]   (default: every module the build wrote)

#include "analysis.h"
#include "content/music/catalogue.h"
#include "content/music/intro_timeline.h"
#include "render.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Row {
    std::string file;
    PatternScan scan;
    SoundStats sound;
    double duration = 0;
    bool ok = false;
};

std::string kindsOf(const PatternScan& scan) {
    std::string kinds;
    for (const auto& k : scan.kinds) kinds += (kinds.empty() ? "" : ", ") + k;
    return kinds;
}

std::string tempoOf(const PatternScan& scan) {
    std::string tempo;
    for (const auto& c : scan.tempo) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s%.1fs:%d/%d", tempo.empty() ? "" : " ", c.seconds,
                      c.speed, c.bpm);
        tempo += buf;
    }
    return tempo.empty() ? "none" : tempo;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : std::string(VRK_BINARY_DIR) + "/content/music";
    std::vector<std::pair<std::string, double>> files;
    for (const auto& t : music::catalogue()) files.push_back({t.file, t.seconds});
    files.push_back({"super.xm", intro_timeline::TUNE_SECONDS});
    if (argc > 2) { // only the files named, in their order; the median is theirs
        std::vector<std::pair<std::string, double>> named;
        for (int i = 2; i < argc; ++i)
            for (const auto& f : files)
                if (f.first == argv[i]) named.push_back(f);
        files = named;
    }

    std::vector<Row> rows;
    std::vector<double> levels; // the collection's, for its median
    for (const auto& [file, seconds] : files) {
        Row row;
        row.file = file;
        std::vector<uint8_t> bytes = readFile(folder + "/" + file);
        row.scan = scanPatterns(bytes);
        Rendered r = renderModule(bytes, seconds + 1, true);
        row.ok = row.scan.ok && r.loaded;
        if (row.ok) {
            row.duration = r.duration;
            row.sound = soundStats(r.stereo, 44100);
            row.ok = row.sound.loudness.ok;
        }
        if (row.ok && file != "super.xm") levels.push_back(row.sound.loudness.integratedLufs);
        rows.push_back(std::move(row));
    }
    std::sort(levels.begin(), levels.end());
    const double median = levels.empty() ? 0 : levels[levels.size() / 2];

    std::printf("| file | time | effect kinds (expressive) | env | tracks | side/mid dB | "
                ">4 kHz %% | LUFS | vs median LU | LRA LU | dBTP | opening dB | quiet 50 ms | "
                "tempo changes |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    int failures = 0;
    for (const Row& row : rows) {
        if (!row.ok) {
            std::printf("| %s | unreadable |\n", row.file.c_str());
            ++failures;
            continue;
        }
        const SoundStats& st = row.sound;
        std::printf("| %s | %.2f | %s (%d) | %d | %d/%d | %.1f | %.1f | %.1f | %+.1f | %.1f | %.1f "
                    "| %.1f | %d | %s |\n",
                    row.file.c_str(), row.duration, kindsOf(row.scan).c_str(),
                    row.scan.expressionKinds(), row.scan.envelopes, row.scan.distinctTracks,
                    row.scan.tracks, st.sideToMidDb, 100 * st.highShare, st.loudness.integratedLufs,
                    st.loudness.integratedLufs - median, st.loudness.rangeLu,
                    st.loudness.truePeakDbtp, st.openingDb, st.quietGaps,
                    tempoOf(row.scan).c_str());
    }
    std::printf("\nmedian integrated loudness of the collection: %.1f LUFS\n", median);
    return failures ? 1 : 0;
}
