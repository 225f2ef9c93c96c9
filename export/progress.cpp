#include "export/progress.h"

#include <unistd.h>

namespace exporter {

Progress::Progress(std::FILE* out, int total)
    : out_(out), total_(total), terminal_(isatty(fileno(out)) == 1) {}

void Progress::show() {
    if (terminal_) {
        std::fprintf(out_, "\r\033[K%s", current_.c_str());
        showing_ = true;
    } else {
        std::fprintf(out_, "%s\n", current_.c_str());
    }
    std::fflush(out_);
}

void Progress::begin(const std::string& title) {
    std::lock_guard hold(lock_);
    current_ = "tinselwave: tune " + std::to_string(++begun_) + " of " + std::to_string(total_) +
               ": " + title;
    show();
}

void Progress::say(const std::string& line) {
    std::lock_guard hold(lock_);
    if (showing_) std::fputs("\r\033[K", out_);
    std::fprintf(out_, "tinselwave: %s\n", line.c_str());
    if (showing_) show();
    std::fflush(out_);
}

void Progress::end() {
    std::lock_guard hold(lock_);
    if (showing_) std::fputs("\r\033[K", out_);
    showing_ = false;
    std::fflush(out_);
}

} // namespace exporter
