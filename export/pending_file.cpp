#include "export/pending_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace exporter {

namespace {

// New files get the mode the user's umask gives (mkstemp would make them private). Read once,
// before any worker makes a file: asking changes the mask for a moment.
mode_t fileMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " " + quoted(path) + ": " + std::strerror(error);
}

// A new file of its own beside path, open for writing; -1 with errno set.
int temporaryBeside(const std::string& folder, const std::string& name, std::string& temp) {
    temp = folder + "/." + name + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    if (fchmod(fd, fileMode()) != 0) {
        const int error = errno;
        ::close(fd);
        unlink(temp.c_str());
        errno = error;
        return -1;
    }
    return fd;
}

// Renames from to to unless something stands at to; 0, or -1 with errno (EEXIST when taken).
int renameWithoutReplacing(const char* from, const char* to) {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return -1;
    // A file system without that rename: a hard link fails when the name is taken ...
    if (link(from, to) == 0) return unlink(from), 0;
    if (errno == EEXIST) return -1;
    // ... and one without hard links can only be asked first.
    struct stat st {};
    if (lstat(to, &st) == 0) return errno = EEXIST, -1;
    return rename(from, to);
}

} // namespace

bool makeFolder(const std::string& folder, std::string& why) {
    fileMode();
    if (folder.empty()) return why = "no folder given", false;
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        struct stat st {};
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return why = failure("cannot make the folder", part, errno), false;
        if (stat(part.c_str(), &st) != 0)
            return why = failure("cannot make the folder", part, errno), false;
        if (!S_ISDIR(st.st_mode))
            return why = failure("cannot make the folder", part, ENOTDIR), false;
        if (end == std::string::npos) break;
    }
    std::string probe;
    const int fd = temporaryBeside(folder, "probe", probe);
    if (fd < 0) return why = failure("cannot write into", folder, errno), false;
    ::close(fd);
    unlink(probe.c_str());
    return true;
}

bool somethingAt(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

PendingFile::~PendingFile() {
    discard();
}

PendingFile::PendingFile(PendingFile&& other) noexcept {
    *this = std::move(other);
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
        temp_ = std::move(other.temp_);
        final_ = std::move(other.final_);
        size_ = other.size_;
        committed_ = std::exchange(other.committed_, true);
        other.temp_.clear();
    }
    return *this;
}

void PendingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!committed_ && !temp_.empty()) unlink(temp_.c_str());
    temp_.clear();
}

bool PendingFile::create(const std::string& folder, const std::string& name, std::string& why) {
    discard();
    committed_ = false;
    size_ = 0;
    final_ = folder + "/" + name;
    fd_ = temporaryBeside(folder, name, temp_);
    if (fd_ < 0) {
        temp_.clear();
        return why = std::string("cannot be made (") + std::strerror(errno) + ")", false;
    }
    return true;
}

bool PendingFile::write(const void* bytes, std::size_t size, std::string& why) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return why = std::strerror(n < 0 ? errno : ENOSPC), false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool PendingFile::close(std::string& why) {
    struct stat st {};
    const bool synced = fsync(fd_) == 0 || errno == EINVAL || errno == EROFS;
    const int syncError = errno;
    if (fstat(fd_, &st) == 0) size_ = static_cast<std::uint64_t>(st.st_size);
    const bool closed = ::close(fd_) == 0;
    const int closeError = errno;
    fd_ = -1;
    if (!synced) return why = std::strerror(syncError), false;
    if (!closed) return why = std::strerror(closeError), false;
    return true;
}

bool PendingFile::commit(bool replace, std::string& why) {
    const int r = replace ? rename(temp_.c_str(), final_.c_str())
                          : renameWithoutReplacing(temp_.c_str(), final_.c_str());
    if (r != 0) {
        why = errno == EEXIST
                  ? ALREADY_THERE
                  : std::string("cannot be given its name (") + std::strerror(errno) + ")";
        return false;
    }
    committed_ = true;
    return true;
}

} // namespace exporter
