#include "tests/data/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>

namespace datatest {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vrkdata.XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    dir = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xff;
    b[at + 1] = (v >> 8) & 0xff;
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xff;
}

std::uint32_t get32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

Bytes buildArchive(const std::vector<Entry>& entries) {
    Bytes out;
    std::vector<std::size_t> offsets;
    for (const Entry& e : entries) {
        offsets.push_back(out.size());
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    const std::size_t directory = out.size();
    const std::size_t total = directory + 2 + 21 * entries.size() + 8;
    out.resize(total, 0);
    put16(out, directory, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t r = directory + 2 + 21 * i;
        for (std::size_t k = 0; k < entries[i].name.size() && k < 13; ++k)
            out[r + k] = static_cast<std::uint8_t>(entries[i].name[k]);
        put32(out, r + 13, static_cast<std::uint32_t>(total - offsets[i]));
        put32(out, r + 17, static_cast<std::uint32_t>(entries[i].data.size()));
    }
    put32(out, total - 8, static_cast<std::uint32_t>(total - directory));
    out[total - 4] = 'D', out[total - 3] = 'A', out[total - 2] = 'T', out[total - 1] = 'A';
    return out;
}

int run(const std::string& command, std::string* output) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) text.append(buffer, n);
    const int status = pclose(p);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

bool haveConvert() {
    return run("command -v convert") == 0;
}

bool convert(const std::string& arguments) {
    std::string output;
    return run("convert " + arguments, &output) == 0;
}

Decoded decodeWithImageMagick(const std::string& file) {
    Decoded d;
    std::string size;
    if (run("identify -format '%w %h' " + quote(file), &size) != 0)
        throw std::runtime_error("ImageMagick cannot identify " + file + ": " + size);
    if (std::sscanf(size.c_str(), "%d %d", &d.width, &d.height) != 2)
        throw std::runtime_error("unexpected identify output: " + size);
    const std::string raw = file + ".rgba";
    // -auto-orient applies the file's own row order (the TGA top-down bit); without it
    // ImageMagick hands out the rows in stored order.
    if (run("convert " + quote(file) + " -auto-orient -depth 8 rgba:" + quote(raw)) != 0)
        throw std::runtime_error("ImageMagick cannot decode " + file);
    d.rgba = readFile(raw);
    if (d.rgba.size() != static_cast<std::size_t>(d.width) * d.height * 4)
        throw std::runtime_error("ImageMagick gave an unexpected pixel count for " + file);
    return d;
}

} // namespace datatest
