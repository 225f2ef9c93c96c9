#include "export/workers.h"

#include <algorithm>
#include <atomic>
#include <sched.h>
#include <thread>
#include <vector>

namespace exporter {

unsigned coresAvailable() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

void runOnEveryCore(std::size_t count, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    const auto loop = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) work(i);
    };
    const std::size_t threads = std::min<std::size_t>(coresAvailable(), count);
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(loop);
    loop();
    for (std::thread& h : helpers) h.join();
}

} // namespace exporter
