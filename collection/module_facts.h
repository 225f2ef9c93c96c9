#pragma once
// What the disk needs to know of one module file, found with libopenmpt: whether a file is a
// module at all (from its first bytes), and, by loading it whole, its title, author, format,
// the text its author left in it and how long it plays.
#include <cstddef>
#include <cstdint>
#include <string>

namespace collection {

// The largest module the disk opens. Big sample-heavy modules run to a few tens of megabytes;
// a file past this is more likely something else, and it is read into memory to be played.
inline constexpr std::uint64_t MODULE_SIZE_LIMIT = 64ull << 20;

// A file's size and modification time: when either differs, the file is not the one measured.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

enum class ModuleState : std::uint8_t {
    Pending = 0,   // a module by its header, not yet loaded whole
    Measured = 1,  // loaded: the facts below are known
    Broken = 2,    // libopenmpt refuses it, or it has nothing to play (reason says which)
    NotModule = 3, // not a format libopenmpt reads
};

struct ModuleFacts {
    ModuleState state = ModuleState::Pending;
    std::uint32_t durationMs = 0; // to the end of the song as it plays, rounded to the second
    std::string title;            // the module's own title, UTF-8, may be empty
    std::string artist;           // its author where the format keeps one
    std::string type;             // libopenmpt's short name of the format: "mod", "xm", "it" ...
    std::string text;             // its message, or the names its author wrote text into
    std::string reason;           // Broken: why, as a person reads it
};

// How many bytes of a file's start the header check wants (fewer when the file is shorter).
std::size_t moduleProbeBytes();
// Whether the first bytes of a file of fileSize bytes are those of a module libopenmpt can open.
bool looksLikeModule(const void* head, std::size_t size, std::uint64_t fileSize);

// The facts of a file that cannot be played, and why.
ModuleFacts brokenFacts(std::string reason);

// Loads a module whole and reads its facts; a module that does not load, or has nothing to
// play, comes back Broken with the reason.
ModuleFacts measureModule(const void* data, std::size_t size);

// Whether a file name ends in an extension libopenmpt reads (compared without regard to case):
// a file so named that turns out not to be a module is worth a line to the user.
bool hasModuleExtension(const std::string& fileName);

} // namespace collection
