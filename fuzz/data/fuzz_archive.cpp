// The archive reader on arbitrary files: opening, lookups, reads and seeks of every entry.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

#include "data/archive.h"
#include "fuzz/data/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string request = in.ConsumeRandomLengthString(40);
    const long position = in.ConsumeIntegral<long>();
    const std::vector<std::uint8_t> file = in.ConsumeRemainingBytes<std::uint8_t>();
    fuzzdata::MemoryFile memory(file.data(), file.size());
    DataArchive archive(memory.path());

    std::vector<std::string> names{request};
    for (const ArchiveEntry& e : archive.entries()) names.emplace_back(e.name, strnlen(e.name, 13));
    std::vector<std::uint8_t> buffer;
    for (const std::string& name : names) {
        const long size = archive.entrySize(name.c_str());
        if (size < 0) continue;
        // Found entries lie inside the file, so their size is bounded by the input.
        if (static_cast<std::size_t>(size) > file.size()) __builtin_trap();
        buffer.assign(static_cast<std::size_t>(size) + 1, 0);
        if (archive.readEntry(name.c_str(), buffer.data(), 0) != size) __builtin_trap();
        archive.readEntry(name.c_str(), buffer.data(), 3);
        archive.readRaw(buffer.data(), static_cast<unsigned>(buffer.size()));
        for (int mode = 0; mode < 4; ++mode) archive.seekInEntry(name.c_str(), position, mode);
        archive.readRaw(buffer.data(), static_cast<unsigned>(buffer.size()));
        ArchiveFile handle(name.c_str(), &archive);
        handle.seek(position);
        handle.read(buffer.data(), static_cast<unsigned>(buffer.size()));
    }
    return 0;
}
