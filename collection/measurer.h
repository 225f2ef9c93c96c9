#pragma once
// Loads module files whole on a thread of its own, one after the other, so that the menu never
// waits for them: the thread runs at a lower priority than the one that draws, and what it
// finds is handed back when asked for, between frames.
#include "collection/module_facts.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace collection {

// Reads a whole module file of at most MODULE_SIZE_LIMIT bytes and measures it; the stamp is
// the file's as it was read. A file that cannot be read or is too large comes back Broken.
ModuleFacts measureFile(const std::string& path, FileStamp& stamp);

class Measurer {
  public:
    struct Job {
        int tune;
        std::string path;
    };
    struct Result {
        int tune;
        std::string path;
        FileStamp stamp;
        ModuleFacts facts;
    };

    Measurer();
    ~Measurer(); // finishes the file in hand, then stops
    Measurer(const Measurer&) = delete;
    Measurer& operator=(const Measurer&) = delete;

    // Measures path after the jobs already waiting (or before them, when urgent).
    void add(Job job, bool urgent = false);
    // What has been measured since the last call, in the order it was done.
    std::vector<Result> take();
    // True when nothing waits and nothing is being measured.
    bool idle();

  private:
    void run();

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::vector<Result> done_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace collection
