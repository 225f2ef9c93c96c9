// Opening a folder of modules as a disk, which is all the menu waits for: 100 and 5,000
// modules, cold (no module cache, and the files' pages dropped from memory first, so every
// header is read from the disk) and warm (everything in the cache, as on a second start).
// Also what runs behind the menu: measuring modules whole, and laying the table out again.
// The folders are copies of the collection's own modules, made once under /tmp.
#include "collection/cache.h"
#include "collection/disk.h"
#include "collection/measurer.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> sourceModules() {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(VRK_BINARY_DIR "/content/music")) {
        const std::string ext = e.path().extension().string();
        if (ext == ".xm" || ext == ".mod") out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// count modules in folders of 50, made once and kept for later runs.
std::string folderOf(int count) {
    const std::string root = "/tmp/vrk-bench-collection/" + std::to_string(count);
    if (fs::exists(root + "/.complete")) return root;
    fs::remove_all(root);
    const std::vector<std::string> sources = sourceModules();
    for (int i = 0; i < count; ++i) {
        const fs::path dir = root + "/artist " + std::to_string(i / 50);
        fs::create_directories(dir);
        const std::string& src = sources[static_cast<std::size_t>(i) % sources.size()];
        fs::copy_file(src, dir / ("tune " + std::to_string(i) + fs::path(src).extension().string()));
    }
    std::ofstream(root + "/.complete");
    return root;
}

void dropPages(const std::string& root) {
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        const int fd = open(e.path().c_str(), O_RDONLY);
        if (fd < 0) continue;
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
}

collection::ModuleCache measuredCache(const std::string& root) {
    collection::ModuleCache cache;
    const collection::OpenedDisk o = collection::openDisk(root, cache);
    for (const collection::Tune& t : o.disk.tunes) {
        collection::FileStamp stamp;
        collection::ModuleFacts f = collection::measureFile(t.path, stamp);
        cache.modules[t.path] = {stamp, std::move(f)};
    }
    return cache;
}

void BM_OpenFolderCold(benchmark::State& state) {
    const std::string root = folderOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        dropPages(root);
        state.ResumeTiming();
        collection::OpenedDisk o = collection::openDisk(root, collection::ModuleCache{});
        collection::DiskTable t = collection::layOutDisk(o.disk);
        benchmark::DoNotOptimize(t);
    }
    state.counters["modules"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_OpenFolderCold)->Arg(100)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenFolderWarm(benchmark::State& state) {
    const std::string root = folderOf(static_cast<int>(state.range(0)));
    const std::string file = "/tmp/vrk-bench-collection/cache-" + std::to_string(state.range(0));
    collection::writeModuleCache(file, measuredCache(root));
    for (auto _ : state) {
        // As a second start does it: the cache read from its file, then the folder.
        collection::ModuleCache cache = collection::readModuleCache(file);
        collection::OpenedDisk o = collection::openDisk(root, cache);
        collection::DiskTable t = collection::layOutDisk(o.disk);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_OpenFolderWarm)->Arg(100)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Behind the menu: loading every module whole, one thread, pages cold.
void BM_MeasureFolderCold(benchmark::State& state) {
    const std::string root = folderOf(static_cast<int>(state.range(0)));
    const collection::OpenedDisk o = collection::openDisk(root, collection::ModuleCache{});
    for (auto _ : state) {
        state.PauseTiming();
        dropPages(root);
        state.ResumeTiming();
        for (const collection::Tune& t : o.disk.tunes) {
            collection::FileStamp stamp;
            benchmark::DoNotOptimize(collection::measureFile(t.path, stamp));
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MeasureFolderCold)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each batch of measurements lays the table out again between two frames.
void BM_LayOutTable(benchmark::State& state) {
    const std::string root = folderOf(static_cast<int>(state.range(0)));
    collection::ModuleCache cache = measuredCache(root);
    const collection::OpenedDisk o = collection::openDisk(root, cache);
    for (auto _ : state) benchmark::DoNotOptimize(collection::layOutDisk(o.disk));
}
BENCHMARK(BM_LayOutTable)->Arg(100)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
