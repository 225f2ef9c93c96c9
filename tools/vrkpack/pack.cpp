// The packer writes the archive layout the reader expects: entry data back to back from the
// start, then the directory (count and 21-byte records), the directory distance and "DATA".
// Distances count back from the end of the file and are used as negative 32-bit offsets, so
// the whole file must stay below 2 GiB.
#include "tools/vrkpack/pack.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <lzo/lzo1x.h>
#include <memory>

#include "data/archive.h"

namespace vrkpack {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t MAX_FILE = 0x7fffffff;
constexpr std::size_t MAX_ENTRIES = 65535;
constexpr std::size_t MAX_NAME = 12;

int fail(const std::string& message) {
    std::fprintf(stderr, "vrkpack: %s\n", message.c_str());
    return 1;
}

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

bool readWhole(const std::string& path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeWhole(const std::string& path, const char* bytes, std::size_t count) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes, static_cast<std::streamsize>(count));
    out.close();
    return static_cast<bool>(out);
}

std::string folded(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

namespace {

struct Input {
    std::string path, name;
    std::uint64_t size;
};

// Why a file cannot be the next entry after `inputs`, or an empty text when it can.
std::string refusal(const std::vector<Input>& inputs, const std::string& name) {
    if (name.empty() || name.size() > MAX_NAME)
        return "entry name '" + name + "' is longer than 12 characters";
    // The reader looks up file name and extension only; a name it would cut shorter could
    // never be found.
    if (archiveLookupName(name.c_str()) != name.c_str())
        return "entry name '" + name + "' contains a directory or drive separator";
    for (const Input& earlier : inputs) {
        const std::string a = folded(earlier.name), b = folded(name);
        if (a == b)
            return "duplicate entry name '" + name + "' (also from '" + earlier.path +
                   "'); names compare without regard to case";
        // Lookup matches a stored name that begins with the requested one, so a request for
        // this name would find the earlier entry instead.
        if (a.compare(0, b.size(), b) == 0)
            return "entry '" + name + "' would be shadowed by '" + earlier.name +
                   "' listed before it; list the shorter name first";
    }
    return {};
}

// The entries in order, each checked; stops counting once the data pass the format's limit.
int collectInputs(const std::vector<std::string>& files, std::vector<Input>& inputs,
                  std::uint64_t& dataBytes) {
    if (files.size() > MAX_ENTRIES)
        return fail("too many files: an archive holds at most 65535 entries");
    dataBytes = 0;
    for (const std::string& path : files) {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) return fail("'" + path + "' is not a readable file");
        const std::uint64_t size = fs::file_size(path, ec);
        if (ec) return fail("cannot read the size of '" + path + "'");
        const std::string name = fs::path(path).filename().string();
        const std::string why = refusal(inputs, name);
        if (!why.empty()) return fail(why);
        inputs.push_back({path, name, size});
        dataBytes += size;
        if (dataBytes > MAX_FILE) break;
    }
    return 0;
}

// Entry data back to back, then the directory and its trailer; `total` is the file's size.
int writeEntries(std::ofstream& file, const std::vector<Input>& inputs, std::uint64_t total) {
    std::string directory;
    directory.push_back(static_cast<char>(inputs.size() & 0xff));
    directory.push_back(static_cast<char>(inputs.size() >> 8));
    std::uint64_t offset = 0;
    std::vector<char> bytes;
    for (const Input& in : inputs) {
        if (!readWhole(in.path, bytes) || bytes.size() != in.size)
            return fail("cannot read '" + in.path + "' (or it changed while packing)");
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        char name[13] = {};
        std::memcpy(name, in.name.data(), in.name.size());
        directory.append(name, 13);
        put32(directory, static_cast<std::uint32_t>(total - offset));
        put32(directory, static_cast<std::uint32_t>(in.size));
        offset += in.size;
    }
    std::string trailer = directory;
    put32(trailer, static_cast<std::uint32_t>(total - offset));
    trailer += "DATA";
    file.write(trailer.data(), static_cast<std::streamsize>(trailer.size()));
    return 0;
}

} // namespace

int createArchive(const std::string& out, const std::vector<std::string>& files) {
    std::vector<Input> inputs;
    std::uint64_t dataBytes = 0;
    if (int r = collectInputs(files, inputs, dataBytes)) return r;
    const std::uint64_t directoryBytes = 2 + 21 * static_cast<std::uint64_t>(inputs.size());
    const std::uint64_t total = dataBytes + directoryBytes + 8;
    if (dataBytes > MAX_FILE || total > MAX_FILE)
        return fail("the files add up to more than the format's 2 GiB limit");

    // Written beside the target and renamed over it, so a failure never leaves half an archive.
    const std::string temporary = out + ".partial";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return fail("cannot write '" + out + "'");
    if (int r = writeEntries(file, inputs, total)) {
        file.close();
        fs::remove(temporary);
        return r;
    }
    file.close();
    if (!file) {
        fs::remove(temporary);
        return fail("writing '" + out + "' failed");
    }
    std::error_code ec;
    fs::rename(temporary, out, ec);
    if (ec) {
        fs::remove(temporary);
        return fail("cannot replace '" + out + "': " + ec.message());
    }
    return 0;
}

int listArchive(const std::string& path) {
    DataArchive archive(path.c_str());
    if (!archive.isOpen())
        return fail("'" + path + "' is not a usable data file: " + archive.whyNotOpen());
    int damaged = 0;
    std::printf("%-13s %10s %10s\n", "name", "size", "distance");
    for (const ArchiveEntry& e : archive.entries()) {
        char name[14] = {};
        std::memcpy(name, e.name, 13);
        std::printf("%-13s %10u %10u\n", name, e.size, e.dataDistance);
        const std::uint64_t distance = e.dataDistance;
        if (distance > static_cast<std::uint64_t>(archive.fileSize()) || e.size > distance) {
            std::fprintf(stderr, "vrkpack: entry '%s' lies outside the file (%lld bytes)\n", name,
                         static_cast<long long>(archive.fileSize()));
            ++damaged;
        }
    }
    if (damaged)
        return fail("'" + path + "' is damaged: " + std::to_string(damaged) +
                    " entries lie outside the file");
    return 0;
}

int extractEntry(const std::string& path, const std::string& name, const std::string& out) {
    DataArchive archive(path.c_str());
    if (!archive.isOpen())
        return fail("'" + path + "' is not a usable data file: " + archive.whyNotOpen());
    const ArchiveEntry* entry = archive.find(name.c_str());
    if (!entry) return fail("no entry of '" + path + "' matches '" + name + "'");
    char stored[14] = {};
    std::memcpy(stored, entry->name, 13);
    std::vector<char> bytes(entry->size);
    if (archive.readEntry(name.c_str(), bytes.data(), 0) != static_cast<long>(entry->size))
        return fail("reading entry '" + std::string(stored) + "' failed");
    const std::string target = out.empty() ? std::string(stored) : out;
    if (target == "-") {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
            return fail("writing to standard output failed");
        return 0;
    }
    if (!writeWhole(target, bytes.data(), bytes.size()))
        return fail("cannot write '" + target + "'");
    return 0;
}

int packLzo(const std::string& in, const std::string& out) {
    std::vector<char> bytes;
    if (!readWhole(in, bytes)) return fail("cannot read '" + in + "'");
    if (lzo_init() != LZO_E_OK) return fail("the LZO library failed to initialise");
    const std::size_t capacity = bytes.size() + bytes.size() / 16 + 64 + 3;
    std::unique_ptr<unsigned char[]> packed(new unsigned char[capacity]);
    std::unique_ptr<unsigned char[]> work(new unsigned char[LZO1X_999_MEM_COMPRESS]);
    lzo_uint packedLength = capacity;
    if (lzo1x_999_compress(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                           packed.get(), &packedLength, work.get()) != LZO_E_OK)
        return fail("compressing '" + in + "' failed");
    // Check the stream the way the program will unpack it before anyone relies on it.
    std::unique_ptr<unsigned char[]> check(new unsigned char[bytes.size() + 1]);
    lzo_uint checkLength = bytes.size();
    if (lzo1x_decompress_safe(packed.get(), packedLength, check.get(), &checkLength, nullptr) !=
            LZO_E_OK ||
        checkLength != bytes.size() || std::memcmp(check.get(), bytes.data(), bytes.size()) != 0)
        return fail("the packed stream of '" + in + "' does not unpack to the same bytes");
    if (!writeWhole(out, reinterpret_cast<const char*>(packed.get()), packedLength))
        return fail("cannot write '" + out + "'");
    return 0;
}

} // namespace vrkpack
