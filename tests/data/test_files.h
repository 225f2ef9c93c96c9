#pragma once
// Files for the data tests: a scratch folder, hand-built archives, ImageMagick as the picture
// oracle, and running programs.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace datatest {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return dir + "/" + name; }

  private:
    std::string dir;
};

void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);
Bytes bytesOf(const std::string& text);

struct Entry {
    std::string name; // stored as is in the 13-byte field (up to 13 characters)
    Bytes data;
};
// A well-formed archive: data back to back, then directory, distance and "DATA".
Bytes buildArchive(const std::vector<Entry>& entries);
void put16(Bytes& b, std::size_t at, std::uint32_t v);
void put32(Bytes& b, std::size_t at, std::uint32_t v);
std::uint32_t get32(const Bytes& b, std::size_t at);

// Runs a shell command; returns its exit status and fills output with standard output and
// standard error together.
int run(const std::string& command, std::string* output = nullptr);
std::string quote(const std::string& s);

// ImageMagick's convert; the tests stop with a clear failure if it is missing.
bool haveConvert();
// Runs convert with the given arguments (already quoted where needed); true on success.
bool convert(const std::string& arguments);
// What ImageMagick decodes from a picture file: 8-bit red, green, blue, alpha per pixel, top row
// first as the file's orientation says.
struct Decoded {
    int width = 0, height = 0;
    Bytes rgba;
};
Decoded decodeWithImageMagick(const std::string& file);

} // namespace datatest
