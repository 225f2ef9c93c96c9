// The measuring thread.
#include "collection/measurer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace collection {

ModuleFacts measureFile(const std::string& path, FileStamp& stamp) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return brokenFacts(std::string("cannot be read (") + std::strerror(errno) + ")");
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return brokenFacts("not a file");
    }
    stamp = {static_cast<std::uint64_t>(st.st_size),
             st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
    if (stamp.size > MODULE_SIZE_LIMIT) {
        close(fd);
        return brokenFacts("larger than the 64 MiB a module may have");
    }
    std::string bytes(static_cast<std::size_t>(stamp.size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    bytes.resize(got); // a file cut short meanwhile is measured as it is now
    return measureModule(bytes.data(), bytes.size());
}

Measurer::Measurer() : thread_([this] { run(); }) {}

Measurer::~Measurer() {
    {
        std::lock_guard l(lock_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    thread_.join();
}

void Measurer::add(Job job, bool urgent) {
    {
        std::lock_guard l(lock_);
        if (urgent)
            jobs_.push_front(std::move(job));
        else
            jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

std::vector<Measurer::Result> Measurer::take() {
    std::lock_guard l(lock_);
    std::vector<Result> out;
    out.swap(done_);
    return out;
}

bool Measurer::idle() {
    std::lock_guard l(lock_);
    return jobs_.empty() && !busy_ && done_.empty();
}

void Measurer::run() {
    // Below the drawing thread: on a busy machine the menu keeps its frames, measuring waits.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    for (;;) {
        Job job;
        {
            std::unique_lock l(lock_);
            wake_.wait(l, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
        }
        Result r{job.tune, job.path, {}, {}};
        r.facts = measureFile(job.path, r.stamp);
        std::lock_guard l(lock_);
        done_.push_back(std::move(r));
        busy_ = false;
    }
}

} // namespace collection
