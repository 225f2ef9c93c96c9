#pragma once
// Files of an export: each is written under a temporary name in its folder and takes its
// final name only once it is whole, so no half-written file ever stands under a name a person
// or a player would open. A file that is not committed is removed again.
#include <cstdint>
#include <string>

namespace exporter {

// Why a file that stands at its name already is not written.
inline constexpr const char* ALREADY_THERE = "there already; not replaced without --force";

// Makes folder and the folders above it that are missing, then makes (and removes) a file in
// it, so that a folder that cannot be written is told before any work. False with why.
bool makeFolder(const std::string& folder, std::string& why);

// Whether anything (a file, a folder, a link) stands at path.
bool somethingAt(const std::string& path);

class PendingFile {
  public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Opens a new temporary file beside folder/name for writing. False with why (here and
    // below: what went wrong, without the file's name).
    bool create(const std::string& folder, const std::string& name, std::string& why);
    int fd() const { return fd_; }
    const std::string& tempPath() const { return temp_; }
    const std::string& finalPath() const { return final_; }

    bool write(const void* bytes, std::size_t size, std::string& why);
    // Flushes the file to the disk and closes it (a full disk can first show itself here).
    bool close(std::string& why);
    // Gives the closed file its final name. Unless replace, a file that stands there already
    // is left alone and this fails. The file's size in bytes when it succeeded.
    bool commit(bool replace, std::string& why);
    std::uint64_t size() const { return size_; }

  private:
    void discard();

    int fd_ = -1;
    std::string temp_, final_;
    std::uint64_t size_ = 0;
    bool committed_ = false;
};

} // namespace exporter
