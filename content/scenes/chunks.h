#pragma once
// Little-endian bytes in nested chunks: open a chunk, write its data and sub-chunks, close it
// and its length is filled in.
#include <cstdint>
#include <string>
#include <vector>

namespace scenes {

class ChunkWriter {
  public:
    void begin(std::uint16_t id);
    void end();
    void u8(std::uint8_t v) { out.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void f32(float v);
    void text(const std::string& s); // zero-terminated
    // A whole chunk without sub-chunks and without data.
    void empty(std::uint16_t id) {
        begin(id);
        end();
    }
    int depth() const { return static_cast<int>(open.size()); }
    // The finished bytes; every chunk must be closed.
    const std::vector<std::uint8_t>& bytes() const { return out; }

  private:
    std::vector<std::uint8_t> out;
    std::vector<std::size_t> open; // offsets of the headers of open chunks
};

} // namespace scenes
