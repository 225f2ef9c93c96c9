#pragma once
// What an export says on standard error while it works: a line as each tune is begun ("tune
// 3 of 31: title"), and a line for each thing that goes wrong. On a terminal the progress is
// one line that changes in place; elsewhere (a log) it is a line per tune. Safe from any
// thread.
#include <cstdio>
#include <mutex>
#include <string>

namespace exporter {

class Progress {
  public:
    Progress(std::FILE* out, int total);
    ~Progress() { end(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void begin(const std::string& title);
    // A line of its own, which stays.
    void say(const std::string& line);
    // Takes the changing line away (on a terminal), for what is printed after.
    void end();

  private:
    void show();

    std::mutex lock_;
    std::FILE* out_;
    int total_, begun_ = 0;
    bool terminal_, showing_ = false;
    std::string current_;
};

} // namespace exporter
