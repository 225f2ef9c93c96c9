#pragma once
// Bounded little-endian reading of chunk data and the chunk walker shared by both passes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace scene {

// A window on the file's bytes; every read stays inside [pos, end) or fails.
struct ChunkData {
    const std::uint8_t* bytes;
    std::size_t pos;
    std::size_t end;

    std::size_t left() const { return end - pos; }
    bool u8(std::uint8_t* out) {
        if (left() < 1) return false;
        *out = bytes[pos++];
        return true;
    }
    bool u16(std::uint16_t* out) {
        if (left() < 2) return false;
        *out = static_cast<std::uint16_t>(bytes[pos] | bytes[pos + 1] << 8);
        pos += 2;
        return true;
    }
    bool u32(std::uint32_t* out) {
        if (left() < 4) return false;
        *out = static_cast<std::uint32_t>(bytes[pos]) |
               static_cast<std::uint32_t>(bytes[pos + 1]) << 8 |
               static_cast<std::uint32_t>(bytes[pos + 2]) << 16 |
               static_cast<std::uint32_t>(bytes[pos + 3]) << 24;
        pos += 4;
        return true;
    }
    bool f32(float* out) {
        std::uint32_t bits;
        if (!u32(&bits)) return false;
        std::memcpy(out, &bits, 4);
        return true;
    }
    bool skip(std::size_t n) {
        if (left() < n) return false;
        pos += n;
        return true;
    }
};

using ChunkReader = int (*)(ChunkData& data);

struct ChunkEntry {
    std::uint16_t id;
    bool container;
    ChunkReader reader; // null: the chunk has no data of its own
};

struct ChunkTable {
    const ChunkEntry* entries;
    int count;
};

// Whole file in memory for one pass; released by its destructor.
struct FileImage {
    std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
    ~FileImage();
};

// Steps common to both passes: file length, first-byte check, reading the file in.
int load_file_image(std::FILE* file, FileImage* image);

// Walks the chunks of [pos, end) with the given table. Updates the reader's parent and previous
// chunk ids as it goes.
int walk_chunks(const ChunkTable& table, const std::uint8_t* bytes, std::size_t pos,
                std::size_t end, std::uint16_t parent);

// Reader state shared by the chunk readers during one load.
struct ReaderState {
    int currentKind; // world kind of the current record, 0 for none
    void* current;
    std::uint16_t parentId;
    std::uint16_t previousId;
    int idCounter;
    int depth;
    char name[64];
};
extern ReaderState readerState;

// Reads a zero-terminated string into the shared name buffer, keeping its first 63 bytes.
bool read_name(ChunkData& data);

} // namespace scene
