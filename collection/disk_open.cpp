// Opening a disk: what the path is, which of its files are modules, and the groups they form.
#include "collection/disk.h"

#include "collection/fold.h"
#include "collection/walk.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace collection {

namespace {

// The largest collection file read: a file of 5,000 tunes with long texts is a megabyte.
constexpr std::size_t COLLECTION_FILE_LIMIT = 16u << 20;

std::string baseName(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string stemOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// A folder's name as a header: folded, or "untitled" when nothing of it is left.
std::string menuName(const std::string& name, std::size_t width = MENU_LINE) {
    std::string n = shortenMenuText(foldToMenu(name), width);
    return n.empty() ? "untitled" : n;
}

// Up to limit bytes from the start of a file; false when it cannot be read.
bool readStart(const std::string& path, std::size_t limit, std::string& out, int& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return error = errno, false;
    out.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = read(fd, out.data() + got, limit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    out.resize(got);
    return true;
}

// A path in a refusal, in quotes.
std::string quoted(const std::string& path) {
    std::string q(1, '\'');
    q += printableName(path);
    q += '\'';
    return q;
}

struct Opening {
    OpenedDisk result;
    const ModuleCache& cache;
    void note(const std::string& path, const std::string& why) {
        result.notes.push_back(printableName(path) + ": skipped: " + why);
    }
    void learn(const std::string& path, const FileStamp& stamp, ModuleState state,
               const std::string& reason) {
        CachedModule m{stamp, {}};
        m.facts.state = state;
        m.facts.reason = reason;
        result.learned.emplace_back(path, std::move(m));
    }
};

// Whether a file is a tune: from the cache when it knows the file as it is, else by its header.
// Files that are no module are passed over in silence unless their name says they should be.
bool admit(Opening& o, const std::string& path, const std::string& name, const FileStamp& stamp,
           Tune& tune) {
    tune.path = path;
    tune.name = name;
    tune.stamp = stamp;
    const bool named = hasModuleExtension(name);
    if (const ModuleFacts* known = o.cache.find(path, stamp)) {
        if (known->state == ModuleState::NotModule) {
            if (named) o.note(path, "not a module libopenmpt can open");
            return false;
        }
        if (known->state == ModuleState::Broken) return o.note(path, known->reason), false;
        tune.facts = *known;
        return true;
    }
    if (stamp.size == 0) {
        if (named) o.note(path, "the file is empty");
        return false;
    }
    std::string head;
    int error = 0;
    if (!readStart(path, moduleProbeBytes(), head, error))
        return o.note(path, std::string("cannot be read (") + std::strerror(error) + ")"), false;
    if (!looksLikeModule(head.data(), head.size(), stamp.size)) {
        if (named) o.note(path, "not a module libopenmpt can open");
        o.learn(path, stamp, ModuleState::NotModule, "");
        return false;
    }
    if (stamp.size > MODULE_SIZE_LIMIT) {
        o.note(path, "larger than the 64 MiB a module may have");
        o.learn(path, stamp, ModuleState::Broken, "larger than the 64 MiB a module may have");
        return false;
    }
    return true;
}

// Tunes gathered from folders and module files; each folder that holds some is a group.
struct Gathering {
    std::vector<std::string> folders; // absolute, one per group
    int groupOf(const std::string& folder) {
        for (std::size_t g = folders.size(); g-- > 0;)
            if (folders[g] == folder) return static_cast<int>(g);
        folders.push_back(folder);
        return static_cast<int>(folders.size()) - 1;
    }
};

// Group names from folder names; folders of one name are told apart by their parents' names,
// as few as it takes.
std::vector<std::string> groupNames(const std::vector<std::string>& folders) {
    std::vector<std::string> names, rest;
    for (const std::string& f : folders) {
        names.push_back(baseName(f));
        rest.push_back(folderOf(f));
    }
    for (bool clash = true; clash;) {
        clash = false;
        std::map<std::string, int> uses;
        for (const std::string& n : names) ++uses[menuName(n)];
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (uses[menuName(names[i])] < 2 || rest[i] == "/" || rest[i] == ".") continue;
            names[i] = baseName(rest[i]) + " - " + names[i];
            rest[i] = folderOf(rest[i]);
            clash = true;
        }
    }
    for (std::string& n : names) n = menuName(n);
    return names;
}

void addFolder(Opening& o, Gathering& g, const std::string& root) {
    for (const FoundFile& f : walkFolder(root, o.result.notes)) {
        Tune t;
        if (!admit(o, f.path, f.name, f.stamp, t)) continue;
        t.group = g.groupOf(folderOf(f.path));
        o.result.disk.tunes.push_back(std::move(t));
    }
}

bool addModule(Opening& o, Gathering& g, const std::string& path, const FileStamp& stamp) {
    Tune t;
    if (!admit(o, path, baseName(path), stamp, t)) return false;
    t.group = g.groupOf(folderOf(path));
    o.result.disk.tunes.push_back(std::move(t));
    return true;
}

std::string resolved(const std::string& folder, const std::string& file) {
    return !file.empty() && file[0] == '/' ? file : folder + "/" + file;
}

// A collection file's rows as a disk: its groups and titles, its texts, its end tune.
void takeCollection(Opening& o, const std::string& file, const Collection& c) {
    Disk& d = o.result.disk;
    const std::string folder = folderOf(file);
    d.title = c.title.empty() ? menuName(stemOf(baseName(file))) : c.title;
    int group = -1;
    for (const CollectionRow& r : c.rows) {
        if (r.header) {
            d.groups.push_back(r.text.substr(r.text.find_first_not_of(' ')));
            group = static_cast<int>(d.groups.size()) - 1;
        } else if (r.kind == 1) {
            const std::string path = resolved(folder, r.resource);
            struct stat st {};
            Tune t;
            if (stat(path.c_str(), &st) != 0) {
                o.note(path, std::string("cannot be opened (") + std::strerror(errno) + ")");
                continue;
            }
            if (!S_ISREG(st.st_mode)) {
                o.note(path, "not a file");
                continue;
            }
            const FileStamp stamp{static_cast<std::uint64_t>(st.st_size),
                                  st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
            if (!admit(o, path, baseName(path), stamp, t)) continue;
            t.group = group;
            t.listedTitle = r.title;
            t.listedMs = r.duration;
            d.tunes.push_back(std::move(t));
        } else if (r.kind == 2) {
            d.texts.push_back(c.texts[r.textIndex].body);
            d.scrollers.push_back({r.text.substr(r.text.find_first_not_of(' ')),
                                   static_cast<int>(d.texts.size()) - 1});
        }
    }
    d.makesTexts = d.scrollers.empty();
    d.scrollWord = !c.scrollWord.empty() ? c.scrollWord : d.makesTexts ? "messages" : "scrollers";
    if (!c.endTune.empty()) d.endTune = resolved(folder, c.endTune);
    if (d.tunes.empty())
        o.result.refusal = "None of the modules " + quoted(file) + " lists can be played.";
}

void openCollectionFile(Opening& o, const std::string& file, const std::string& bytes) {
    try {
        takeCollection(o, file, parseCollection(bytes, Rules::Player));
    } catch (const CollectionError& e) {
        o.result.errors.push_back(printableName(file) + ":" + std::to_string(e.line) +
                                  ": error: " + e.what());
    }
}

// A single file: a module, or else a collection file when it is text.
void openFile(Opening& o, Gathering& g, const std::string& path, const FileStamp& stamp) {
    std::string head;
    int error = 0;
    if (!readStart(path, moduleProbeBytes(), head, error)) {
        o.result.refusal = "I cannot open " + quoted(path) + ": " + std::strerror(error);
        return;
    }
    if (looksLikeModule(head.data(), head.size(), stamp.size)) {
        if (!addModule(o, g, path, stamp))
            o.result.refusal = quoted(path) + " is not a module I can play.";
        return;
    }
    std::string bytes;
    if (!readStart(path, COLLECTION_FILE_LIMIT + 1, bytes, error) ||
        bytes.size() > COLLECTION_FILE_LIMIT || bytes.find('\0') != std::string::npos) {
        o.result.refusal = quoted(path) + " is neither a module nor a collection file.";
        return;
    }
    openCollectionFile(o, path, bytes);
}

FileStamp stampOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_size),
            st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec};
}

// Several folders and modules make one disk; a collection file or another kind of file among
// them is left out with a line.
void openMany(Opening& o, Gathering& g, const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        struct stat st {};
        char real[PATH_MAX];
        if (stat(path.c_str(), &st) != 0 || !realpath(path.c_str(), real)) {
            o.note(path, std::string("cannot be opened (") + std::strerror(errno) + ")");
        } else if (S_ISDIR(st.st_mode)) {
            addFolder(o, g, real);
        } else if (!S_ISREG(st.st_mode)) {
            o.note(path, "not a folder or a module");
        } else if (!addModule(o, g, real, stampOf(st)) && !hasModuleExtension(path)) {
            o.note(path, "not a module (a collection file plays on its own)");
        }
    }
    if (o.result.disk.tunes.empty())
        o.result.refusal = "I found no module to play in " + quoted(paths[0]) + " and the rest.";
}

void openOne(Opening& o, Gathering& g, const std::string& path) {
    struct stat st {};
    char real[PATH_MAX];
    if (stat(path.c_str(), &st) != 0 || !realpath(path.c_str(), real)) {
        o.result.refusal = "I cannot open " + quoted(path) + ": " + std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        addFolder(o, g, real);
        if (o.result.disk.tunes.empty())
            o.result.refusal = "I found no module to play in " + quoted(real) + ".";
    } else if (S_ISREG(st.st_mode)) {
        openFile(o, g, real, stampOf(st));
    } else {
        o.result.refusal = quoted(path) + " is not a folder, a module or a collection file.";
    }
}

void finishTexts(Disk& d) {
    // A collection file's short texts run on into the ones after them.
    const std::size_t authored = d.texts.size();
    for (std::size_t i = 0; i < authored; ++i) {
        if (d.texts[i].size() >= SHORTEST_SCROLL_TEXT) continue;
        std::string t = d.texts[i];
        for (std::size_t k = 1; t.size() < SHORTEST_SCROLL_TEXT; ++k)
            t.append(" ... ").append(d.texts[(i + k) % authored]);
        d.texts[i] = t.append(" ... ");
    }
}

} // namespace

OpenedDisk openDisk(const std::vector<std::string>& paths, const ModuleCache& cache) {
    Opening o{{}, cache};
    Disk& d = o.result.disk;
    d.makesTexts = true;
    d.scrollWord = "messages";
    Gathering g;
    if (paths.size() == 1)
        openOne(o, g, paths[0]);
    else if (!paths.empty())
        openMany(o, g, paths);
    if (!g.folders.empty()) {
        // Named for the folder it was made from: the one asked for, or the first module's.
        char real[PATH_MAX];
        struct stat st {};
        const bool folder = stat(paths[0].c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
                            realpath(paths[0].c_str(), real);
        d.title = menuName(baseName(folder ? std::string(real) : g.folders[0]));
        d.groups = groupNames(g.folders);
    }
    finishTexts(d);
    for (std::size_t i = 0; i < d.tunes.size(); ++i) makeTuneText(d, static_cast<int>(i));
    if (d.makesTexts && !d.tunes.empty()) makeOpeningText(d);
    return std::move(o.result);
}

OpenedDisk openDisk(const std::string& path, const ModuleCache& cache) {
    return openDisk(std::vector<std::string>{path}, cache);
}

} // namespace collection
