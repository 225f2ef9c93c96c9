// Named entry handles of the intro's picture reader.
#include "data/archive.h"

#include <cstring>

ArchiveFile::ArchiveFile(const char* entry, DataArchive* in) : archive(in) {
    open(entry);
}

int ArchiveFile::open(const char* entry) {
    close();
    // Longer names would not fit the record; refusing beats copying past it.
    if (!entry || !archive || std::strlen(entry) >= NAME_CAPACITY) return 0;
    std::strcpy(name, entry);
    if (archive->entrySize(name) == -1) {
        close();
        return 0;
    }
    return 1;
}

void ArchiveFile::close() {
    std::memset(name, 0, sizeof name);
}

long ArchiveFile::read(void* destination, unsigned count) {
    if (!isOpen()) return 0;
    long n = archive->readRaw(destination, count);
    return n == -1 ? 0 : n;
}

long ArchiveFile::seek(long position) {
    if (!isOpen()) return 0;
    long at = archive->seekInEntry(name, position, 0);
    return at == -1 ? 0 : at;
}
