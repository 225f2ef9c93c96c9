// Prints the collection's measurements as a table: the effect kinds each module's patterns use,
// its stereo spread, brightness, loudness, loudness range and tempo changes.
//   vrk_music_report [folder]   (default: the build's modules)

#include "analysis.h"
#include "content/music/catalogue.h"
#include "render.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : std::string(VRK_BINARY_DIR) + "/content/music";
    std::printf(
        "| file | time | effect kinds (expressive) | env | tracks | side/mid dB | >4 kHz %% | "
        "RMS dB | range dB | peak dB | opening dB | quiet 50 ms | tempo changes |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    int failures = 0;
    for (const auto& t : music::catalogue()) {
        std::vector<uint8_t> bytes = readFile(folder + "/" + t.file);
        PatternScan scan = scanPatterns(bytes);
        Rendered r = renderModule(bytes, t.seconds + 1, true);
        if (!scan.ok || !r.loaded) {
            std::printf("| %s | unreadable |\n", t.file.c_str());
            ++failures;
            continue;
        }
        SoundStats st = soundStats(r.stereo, 44100);
        std::string kinds;
        for (const auto& k : scan.kinds) kinds += (kinds.empty() ? "" : ", ") + k;
        std::string tempo;
        for (const auto& c : scan.tempo) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%s%.1fs:%d/%d", tempo.empty() ? "" : " ", c.seconds,
                          c.speed, c.bpm);
            tempo += buf;
        }
        std::printf("| %s | %.2f | %s (%d) | %d | %d/%d | %.1f | %.1f | %.1f | %.1f | %.1f | %.1f "
                    "| %d | %s |\n",
                    t.file.c_str(), r.duration, kinds.c_str(), scan.expressionKinds(),
                    scan.envelopes, scan.distinctTracks, scan.tracks, st.sideToMidDb,
                    100 * st.highShare, st.loudnessDb, st.rangeDb, st.peakDb, st.openingDb,
                    st.quietGaps, tempo.empty() ? "none" : tempo.c_str());
    }
    return failures ? 1 : 0;
}
