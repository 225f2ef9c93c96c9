#include "content/scenes/chunks.h"

#include <cstring>
#include <stdexcept>

namespace scenes {

void ChunkWriter::begin(std::uint16_t id) {
    open.push_back(out.size());
    u16(id);
    u32(0); // length, filled in by end()
}

void ChunkWriter::end() {
    if (open.empty()) throw std::logic_error("chunk closed that was never opened");
    const std::size_t at = open.back();
    open.pop_back();
    const std::size_t length = out.size() - at;
    if (length > 0xFFFFFFFFu) throw std::length_error("chunk longer than 4 GiB");
    for (int i = 0; i < 4; ++i) out[at + 2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
}

void ChunkWriter::u16(std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ChunkWriter::u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
}

void ChunkWriter::f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
}

void ChunkWriter::text(const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
}

} // namespace scenes
