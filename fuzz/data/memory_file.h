#pragma once
// Fuzz inputs as files the archive reader can open, without touching the disk.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzdata {

// An anonymous in-memory file holding the bytes; path() opens it.
class MemoryFile {
  public:
    MemoryFile(const std::uint8_t* data, std::size_t size);
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    const char* path() const { return name.c_str(); }

  private:
    int fd = -1;
    std::string name;
};

// A well-formed archive holding one entry with the given name and bytes.
std::vector<std::uint8_t> wrapInArchive(const char* name, const std::uint8_t* data,
                                        std::size_t size);

} // namespace fuzzdata
