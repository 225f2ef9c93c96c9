// The module cache's file: a header naming its version, the entries, and a checksum of it all.
#include "collection/cache.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace collection {

namespace {

constexpr char MAGIC[8] = {'T', 'W', 'C', 'A', 'C', 'H', 'E', '\n'};
// Bump when the record changes or when what the facts mean changes (how texts are chosen).
constexpr std::uint32_t VERSION = 2;
constexpr std::size_t STRING_LIMIT = 1u << 20;
constexpr std::size_t FILE_LIMIT = 256u << 20;

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

void putInt(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putString(std::string& out, const std::string& s) {
    const std::size_t n = std::min(s.size(), STRING_LIMIT);
    putInt(out, n, 4);
    out.append(s, 0, n);
}

// Reads little-endian fields from a byte string, refusing to read past its end.
struct Reader {
    std::string_view bytes;
    std::size_t at = 0;
    bool ok = true;
    std::uint64_t integer(int n) {
        if (!ok || bytes.size() - at < static_cast<std::size_t>(n)) return ok = false, 0;
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= std::uint64_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
        at += n;
        return v;
    }
    std::string string() {
        const std::size_t n = integer(4);
        if (!ok || n > STRING_LIMIT || bytes.size() - at < n) return ok = false, std::string();
        std::string s(bytes.substr(at, n));
        at += n;
        return s;
    }
};

bool makeFolders(const std::string& dir) {
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = dir.find('/', slash + 1);
        const std::string part = dir.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

const ModuleFacts* ModuleCache::find(const std::string& path, const FileStamp& stamp) const {
    const auto it = modules.find(path);
    return it != modules.end() && it->second.stamp == stamp ? &it->second.facts : nullptr;
}

std::string moduleCachePath() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.cache";
    } else {
        return "";
    }
    return base + "/tinselwave/modules.cache";
}

std::string encodeModuleCache(const ModuleCache& cache) {
    std::string out(MAGIC, sizeof MAGIC);
    putInt(out, VERSION, 4);
    putInt(out, cache.modules.size(), 4);
    for (const auto& [path, m] : cache.modules) {
        putString(out, path);
        putInt(out, m.stamp.size, 8);
        putInt(out, static_cast<std::uint64_t>(m.stamp.mtimeNs), 8);
        putInt(out, static_cast<std::uint8_t>(m.facts.state), 1);
        putInt(out, m.facts.durationMs, 4);
        for (const std::string* s :
             {&m.facts.title, &m.facts.artist, &m.facts.type, &m.facts.text, &m.facts.reason})
            putString(out, *s);
    }
    putInt(out, fnv1a(out), 8);
    return out;
}

bool decodeModuleCache(std::string_view bytes, ModuleCache& out) {
    out.modules.clear();
    if (bytes.size() < sizeof MAGIC + 16 || std::memcmp(bytes.data(), MAGIC, sizeof MAGIC) != 0)
        return false;
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    Reader check{bytes.substr(body.size())};
    if (check.integer(8) != fnv1a(body)) return false;
    Reader r{body, sizeof MAGIC};
    if (r.integer(4) != VERSION) return false;
    const std::uint64_t count = r.integer(4);
    if (count > CACHE_ENTRY_LIMIT) return false;
    for (std::uint64_t i = 0; i < count && r.ok; ++i) {
        std::string path = r.string();
        CachedModule m;
        m.stamp.size = r.integer(8);
        m.stamp.mtimeNs = static_cast<std::int64_t>(r.integer(8));
        const std::uint64_t state = r.integer(1);
        m.facts.durationMs = static_cast<std::uint32_t>(r.integer(4));
        for (std::string* s :
             {&m.facts.title, &m.facts.artist, &m.facts.type, &m.facts.text, &m.facts.reason})
            *s = r.string();
        if (state == 0 || state > static_cast<std::uint64_t>(ModuleState::NotModule)) r.ok = false;
        m.facts.state = static_cast<ModuleState>(state);
        if (r.ok) out.modules.emplace(std::move(path), std::move(m));
    }
    if (!r.ok || r.at != body.size()) {
        out.modules.clear();
        return false;
    }
    return true;
}

ModuleCache readModuleCache(const std::string& path) {
    ModuleCache cache;
    if (path.empty()) return cache;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return cache;
    std::string bytes;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() <= FILE_LIMIT;)
        bytes.append(buf, n);
    std::fclose(f);
    if (bytes.size() <= FILE_LIMIT) decodeModuleCache(bytes, cache);
    return cache;
}

bool writeModuleCache(const std::string& path, const ModuleCache& cache) {
    const std::size_t slash = path.rfind('/');
    if (path.empty() || slash == std::string::npos || !makeFolders(path.substr(0, slash)))
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = writeAll(fd, encodeModuleCache(cache)) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace collection
