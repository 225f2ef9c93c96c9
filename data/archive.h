#pragma once
// The data file "vrk.bin": an archive read from its end. The last 4 bytes are "DATA", the 4
// before them the distance D from the end back to the directory; the directory is a 16-bit
// count followed by 21-byte records (13-byte name, 32-bit distance of the data from the end,
// 32-bit size). Entries are looked up by file name and extension only, ASCII case folded,
// and a stored name that merely begins with the requested one matches too.
//
// One descriptor, one position: readRaw and ArchiveFile continue where the last positioning
// call left the file, so only one entry can be read at a time and nothing here is re-entrant.
#include <cstddef>
#include <cstdint>
#include <vector>

struct ArchiveEntry {
    char name[13] = {};
    std::uint32_t dataDistance = 0;
    std::uint32_t size = 0;
};

class DataArchive {
  public:
    // Opens the archive read-only; a missing file, a wrong magic or a damaged directory leave it
    // not open (isOpen() == 0) and every lookup fails.
    explicit DataArchive(const char* path);
    ~DataArchive();
    DataArchive(const DataArchive&) = delete;
    DataArchive& operator=(const DataArchive&) = delete;

    int isOpen() const { return open; }
    // The entry's size in bytes, or -1 when no entry matches.
    long entrySize(const char* path);
    // Seeks to the entry's first byte and reads min(count, size) bytes; count 0 reads the whole
    // entry. Returns the bytes read, or -1 when no entry matches (or the read fails).
    long readEntry(const char* path, void* destination, unsigned count);
    // Reads count bytes at the current position. Returns the bytes read (0 at the end of the
    // file), or -1 when the archive is not open or the read fails.
    long readRaw(void* destination, unsigned count);
    // mode 0: entry start + position; mode 2: entry end + position. Any other mode, including 1,
    // is refused. Returns the new absolute file position, or -1.
    long seekInEntry(const char* path, long position, int mode);

    // The first record matching the request, or null (also when that record's data would lie
    // outside the file).
    const ArchiveEntry* find(const char* path) const;
    // Why the archive is not open ("" when it is), for tools that explain a refusal.
    const char* whyNotOpen() const { return problem; }

    // The directory as read, in file order (for the packer's listing).
    const std::vector<ArchiveEntry>& entries() const { return directory; }
    // The archive file's size in bytes (0 when not open).
    std::int64_t fileSize() const { return length; }

  private:
    int descriptor = -1;
    int open = 0;
    const char* problem = "";
    std::int64_t length = 0;
    std::vector<ArchiveEntry> directory;
};

// The deliverable's archive, opened on "vrk.bin" in the working directory during static
// initialisation. Each deliverable links its own copy.
extern DataArchive dataArchive;

// Splits a request such as "tex\main.pak" or "tex/main.pak" into the name the directory is
// searched for ("main.pak").
const char* archiveLookupName(const char* path);
// The directory's match rule: the first strlen(lookup) characters of stored equal lookup,
// folding only ASCII A-Z, and stopping at a terminating zero on both sides.
bool archiveNameMatches(const char* stored, std::size_t storedCapacity, const char* lookup);

// A named handle on one entry of an archive (the global one unless given), used by the intro's
// picture reader. It keeps no position of its own: reads go to the archive's shared descriptor.
struct ArchiveFile {
    static constexpr int NAME_CAPACITY = 20; // at most 19 characters and the terminating zero

    ArchiveFile() = default;
    explicit ArchiveFile(const char* name, DataArchive* archive = &dataArchive);
    ~ArchiveFile() { close(); }

    // 1 when the archive holds the entry and the name fits, else 0 (and the handle is closed).
    int open(const char* name);
    void close();
    int isOpen() const { return name[0] != 0; }
    // Reads at the archive's current position; 0 when not open or on failure.
    long read(void* destination, unsigned count);
    // Positions the archive at entry start + position; returns the absolute position, 0 when not
    // open or on failure.
    long seek(long position);

    char name[NAME_CAPACITY] = {};
    DataArchive* archive = &dataArchive;
};
