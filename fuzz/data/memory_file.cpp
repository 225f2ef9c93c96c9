#include "fuzz/data/memory_file.h"

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzzdata {

MemoryFile::MemoryFile(const std::uint8_t* data, std::size_t size) {
    fd = memfd_create("fuzz", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    name = "/proc/self/fd/" + std::to_string(fd);
}

MemoryFile::~MemoryFile() {
    ::close(fd);
}

std::vector<std::uint8_t> wrapInArchive(const char* name, const std::uint8_t* data,
                                        std::size_t size) {
    std::vector<std::uint8_t> out(data, data + size);
    const std::size_t total = size + 2 + 21 + 8;
    out.resize(total, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[size] = 1;
    std::memcpy(&out[size + 2], name, std::strlen(name) < 12 ? std::strlen(name) : 12);
    put32(size + 2 + 13, static_cast<std::uint32_t>(total));
    put32(size + 2 + 17, static_cast<std::uint32_t>(size));
    put32(total - 8, static_cast<std::uint32_t>(total - size));
    std::memcpy(&out[total - 4], "DATA", 4);
    return out;
}

} // namespace fuzzdata
