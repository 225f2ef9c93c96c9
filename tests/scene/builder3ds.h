#pragma once
// Writes small 3DS files for tests and benchmarks: nested chunks with their lengths filled
// in, plus helpers for the common records.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace scene_test {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}
inline void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}
inline void putf(Bytes& b, float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(b, v);
}
inline void put_str(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

// A chunk: its id, its own data, then its sub-chunks.
inline Bytes chunk(std::uint16_t id, const Bytes& data, std::initializer_list<Bytes> subs = {}) {
    Bytes out;
    std::size_t len = 6 + data.size();
    for (const Bytes& s : subs) len += s.size();
    put16(out, id);
    put32(out, static_cast<std::uint32_t>(len));
    out.insert(out.end(), data.begin(), data.end());
    for (const Bytes& s : subs) out.insert(out.end(), s.begin(), s.end());
    return out;
}

inline Bytes chunk_list(std::uint16_t id, const Bytes& data, const std::vector<Bytes>& subs) {
    Bytes out;
    std::size_t len = 6 + data.size();
    for (const Bytes& s : subs) len += s.size();
    put16(out, id);
    put32(out, static_cast<std::uint32_t>(len));
    out.insert(out.end(), data.begin(), data.end());
    for (const Bytes& s : subs) out.insert(out.end(), s.begin(), s.end());
    return out;
}

inline Bytes floats(std::initializer_list<float> fs) {
    Bytes b;
    for (float f : fs) putf(b, f);
    return b;
}

inline Bytes str(const std::string& s) {
    Bytes b;
    put_str(b, s);
    return b;
}

struct Tri {
    std::uint16_t a, b, c, flags;
};

// A named triangle mesh with vertices (file axis order) and faces.
inline Bytes mesh(const std::string& name, const std::vector<float>& xyz,
                  const std::vector<Tri>& faces, std::initializer_list<Bytes> faceSubs = {},
                  std::initializer_list<Bytes> meshSubs = {}) {
    Bytes v;
    put16(v, static_cast<std::uint16_t>(xyz.size() / 3));
    for (float f : xyz) putf(v, f);
    Bytes fd;
    put16(fd, static_cast<std::uint16_t>(faces.size()));
    for (const Tri& t : faces) {
        put16(fd, t.a);
        put16(fd, t.b);
        put16(fd, t.c);
        put16(fd, t.flags);
    }
    std::vector<Bytes> subs{chunk(0x4110, v), chunk(0x4120, fd, faceSubs)};
    for (const Bytes& s : meshSubs) subs.push_back(s);
    return chunk(0x4000, str(name), {chunk_list(0x4100, {}, subs)});
}

inline Bytes camera_chunk(const std::string& name, float px, float py, float pz, float tx, float ty,
                          float tz, float roll, float lens) {
    return chunk(0x4000, str(name), {chunk(0x4700, floats({px, py, pz, tx, ty, tz, roll, lens}))});
}

inline Bytes material(const std::string& name, std::initializer_list<Bytes> more = {}) {
    std::vector<Bytes> subs{chunk(0xA000, str(name))};
    for (const Bytes& m : more) subs.push_back(m);
    return chunk_list(0xAFFF, {}, subs);
}

// A key header without spline parameters.
inline void key_header(Bytes& b, std::uint32_t frame) {
    put32(b, frame);
    put16(b, 0);
}

// Track chunk data: flags, 8 ignored bytes, key count, then the keys as given.
inline Bytes track(std::uint16_t id, std::uint16_t flags, std::uint32_t count, const Bytes& keys) {
    Bytes b;
    put16(b, flags);
    for (int i = 0; i < 8; ++i) b.push_back(0);
    put32(b, count);
    b.insert(b.end(), keys.begin(), keys.end());
    return chunk(id, b);
}

inline Bytes node_header(const std::string& name, std::int16_t parent, std::uint16_t flags1 = 0) {
    Bytes b;
    put_str(b, name);
    put16(b, flags1);
    put16(b, 0);
    put16(b, static_cast<std::uint16_t>(parent));
    return chunk(0xB010, b);
}

inline Bytes node_id(std::uint16_t id) {
    Bytes b;
    put16(b, id);
    return chunk(0xB030, b);
}

inline Bytes frames(std::uint32_t start, std::uint32_t end) {
    Bytes b;
    put32(b, start);
    put32(b, end);
    return chunk(0xB008, b);
}

// A whole file: main chunk with the mesh data and keyframer sections given.
inline Bytes file(const std::vector<Bytes>& world, const std::vector<Bytes>& keyframer = {}) {
    std::vector<Bytes> top;
    if (!world.empty()) top.push_back(chunk_list(0x3D3D, {}, world));
    if (!keyframer.empty()) top.push_back(chunk_list(0xB000, {}, keyframer));
    return chunk_list(0x4D4D, {}, top);
}

inline bool write_file(const std::string& path, const Bytes& b) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = b.empty() || std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace scene_test
