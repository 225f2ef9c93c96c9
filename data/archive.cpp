// The archive reader: directory read once at open, entries found by name, data read through one
// shared descriptor.
#include "data/archive.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t RECORD_BYTES = 21;
constexpr std::int64_t MAX_DISTANCE = INT32_MAX; // distances are used as negative offsets

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly count bytes at offset; false on a short read or an error.
bool readAt(int fd, void* destination, std::size_t count, std::int64_t offset) {
    auto* out = static_cast<unsigned char*>(destination);
    while (count > 0) {
        ssize_t n = ::pread(fd, out, count, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        offset += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads up to count bytes at the current position, as many as the file still holds.
long readSome(int fd, void* destination, std::size_t count) {
    auto* out = static_cast<unsigned char*>(destination);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(fd, out + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return done > 0 ? static_cast<long>(done) : -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

const char* archiveLookupName(const char* path) {
    if (!path) return "";
    if (path[0] != 0 && path[1] == ':') path += 2; // a drive letter documents as little
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}

bool archiveNameMatches(const char* stored, std::size_t storedCapacity, const char* lookup) {
    for (std::size_t i = 0;; ++i) {
        char l = lookup[i];
        if (l == 0) return true; // all of the lookup name matched
        char s = i < storedCapacity ? stored[i] : 0;
        if (foldAscii(s) != foldAscii(l)) return false; // includes the stored name ending first
    }
}

DataArchive::DataArchive(const char* path) {
    open = 0;
    descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor == -1) {
        problem = "cannot open the file";
        return;
    }

    auto refuse = [this](const char* why) {
        problem = why;
        ::close(descriptor);
        descriptor = -1;
        directory.clear();
        length = 0;
    };

    const off_t end = ::lseek(descriptor, 0, SEEK_END);
    unsigned char trailer[8];
    if (end < 8 || !readAt(descriptor, trailer, 8, end - 8)) {
        refuse("shorter than its 8-byte trailer");
        return;
    }
    if (std::memcmp(trailer + 4, "DATA", 4) != 0) {
        refuse("does not end in \"DATA\"");
        return;
    }
    length = end;

    // The directory must start inside the file and every record must be there in full; a
    // directory that runs past the end is damage, not an archive.
    const std::int64_t distance = le32(trailer);
    if (distance > length || distance > MAX_DISTANCE) {
        refuse("directory distance points before the start of the file");
        return;
    }
    const std::int64_t start = length - distance;
    unsigned char countBytes[2];
    if (!readAt(descriptor, countBytes, 2, start)) {
        refuse("directory ends before its entry count");
        return;
    }
    const std::size_t count = countBytes[0] | (countBytes[1] << 8);
    const std::int64_t recordBytes = static_cast<std::int64_t>(count) * RECORD_BYTES;
    if (start + 2 + recordBytes > length) {
        refuse("directory ends before its last record");
        return;
    }
    std::vector<unsigned char> records(static_cast<std::size_t>(recordBytes));
    if (count > 0 && !readAt(descriptor, records.data(), records.size(), start + 2)) {
        refuse("directory could not be read");
        return;
    }
    directory.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* r = records.data() + i * RECORD_BYTES;
        std::memcpy(directory[i].name, r, 13);
        directory[i].dataDistance = le32(r + 13);
        directory[i].size = le32(r + 17);
    }
    ::lseek(descriptor, 0, SEEK_SET);
    open = 1;
}

DataArchive::~DataArchive() {
    if (descriptor != -1) ::close(descriptor);
}

const ArchiveEntry* DataArchive::find(const char* path) const {
    const char* lookup = archiveLookupName(path);
    if (lookup[0] == 0) return nullptr; // an empty name would match every entry
    for (const ArchiveEntry& e : directory) {
        if (!archiveNameMatches(e.name, sizeof e.name, lookup)) continue;
        // The first match is the entry; if its data are not inside the file it does not exist.
        const std::int64_t distance = e.dataDistance;
        if (distance > length || distance > MAX_DISTANCE || e.size > distance) return nullptr;
        return &e;
    }
    return nullptr;
}

long DataArchive::entrySize(const char* path) {
    const ArchiveEntry* e = find(path);
    return e ? static_cast<long>(e->size) : -1;
}

long DataArchive::readEntry(const char* path, void* destination, unsigned count) {
    const ArchiveEntry* e = find(path);
    if (!e) return -1;
    if (::lseek(descriptor, -static_cast<off_t>(e->dataDistance), SEEK_END) == -1) return -1;
    const std::uint32_t wanted = (count == 0 || count > e->size) ? e->size : count;
    return readSome(descriptor, destination, wanted);
}

long DataArchive::readRaw(void* destination, unsigned count) {
    if (descriptor == -1) return -1;
    return readSome(descriptor, destination, count);
}

long DataArchive::seekInEntry(const char* path, long position, int mode) {
    // Mode 1 ("from the current position") has no caller; treating it as mode 0 would put a
    // caller that means it somewhere else without a word, so it is refused like any other.
    if (mode != 0 && mode != 2) return -1;
    const ArchiveEntry* e = find(path);
    if (!e) return -1;
    std::int64_t fromEnd = -static_cast<std::int64_t>(e->dataDistance);
    if (mode == 2) fromEnd += e->size;
    std::int64_t offset;
    if (__builtin_add_overflow(fromEnd, static_cast<std::int64_t>(position), &offset)) return -1;
    const off_t at = ::lseek(descriptor, static_cast<off_t>(offset), SEEK_END);
    return at == -1 ? -1 : static_cast<long>(at);
}
