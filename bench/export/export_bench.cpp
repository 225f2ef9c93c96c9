// The whole built-in disk exported into a scratch folder, as `tinselwave --export` writes it,
// against rendering the same tunes alone on one core (the reference, measured first).
#include "data/archive.h"
#include "export/cover.h"
#include "export/export.h"
#include "export/render.h"
#include "platform/resources.h"
#include "player/menu_table.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

double renderOnlySeconds = 0; // the reference: one render of every tune on one core

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

exporter::Album disk() {
    const platform::ResourceHandle intro =
        platform::findResource(exporter::INTRO_TUNE_RESOURCE, "RT_RCDATA");
    return exporter::builtInAlbum(menu_table(), platform::lockResource(intro),
                                  platform::sizeofResource(intro));
}

// Every tune of the disk rendered to its listed time with its fade, one after the other.
void BM_RenderOnlyOneCore(benchmark::State& state) {
    const exporter::Album album = disk();
    double audio = 0;
    const double start = now();
    for (auto _ : state) {
        audio = 0;
        for (const exporter::Track& t : album.tracks) {
            const exporter::ModuleSource& m = album.modules[static_cast<std::size_t>(t.module)];
            exporter::TuneRender r;
            std::string why;
            if (!r.open(m.data, m.size, why)) state.SkipWithError(why.c_str());
            r.start(r.lengthFrames(t.listedMs));
            std::int16_t block[2 * exporter::BLOCK];
            for (std::uint32_t n; (n = r.next(block)) > 0;) benchmark::DoNotOptimize(block);
            audio += t.listedMs / 1000.0;
        }
    }
    renderOnlySeconds = (now() - start) / static_cast<double>(state.iterations());
    state.counters["audio_s"] = audio;
    state.counters["x_real_time"] =
        benchmark::Counter(audio * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderOnlyOneCore)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_ExportWholeDisk(benchmark::State& state) {
    const exporter::Album album = disk();
    DataArchive archive(VRK_BINARY_DIR "/vrk.bin");
    exporter::Picture cover;
    std::string why;
    if (!exporter::mainPictureCover(archive, cover, why)) state.SkipWithError(why.c_str());
    char folder[] = "/tmp/vrk-bench-export-XXXXXX";
    if (!mkdtemp(folder)) state.SkipWithError("no scratch folder");
    exporter::ExportSummary s;
    const double start = now();
    for (auto _ : state) {
        s = exporter::writeAlbum(album, folder, {true, &cover, "bench", nullptr});
        if (!s.problems.empty()) state.SkipWithError(s.problems.front().c_str());
    }
    const double seconds = (now() - start) / static_cast<double>(state.iterations());
    std::filesystem::remove_all(folder);
    // Against the tunes only rendered on one core, earlier in this run.
    if (renderOnlySeconds > 0) state.counters["vs_render_one_core"] = seconds / renderOnlySeconds;
    state.counters["tunes"] = s.tunes;
    state.counters["audio_s"] = static_cast<double>(s.ms) / 1000;
    state.counters["MB"] = static_cast<double>(s.bytes) / 1e6;
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(s.ms) / 1000 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportWholeDisk)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

} // namespace
