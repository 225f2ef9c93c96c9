#include "scene/chunks.h"

#include <cstdlib>

#include "scene/errors.h"

namespace scene {

ReaderState readerState;

namespace {
// Real files nest a handful of levels; this bound keeps hostile nesting off the stack.
constexpr int MAX_DEPTH = 32;
} // namespace

FileImage::~FileImage() {
    std::free(bytes);
}

int load_file_image(std::FILE* file, FileImage* image) {
    if (std::fseek(file, 0, SEEK_END) != 0) return SCENE_ERR_BADFILE;
    long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return SCENE_ERR_BADFILE;
    int first = std::fgetc(file);
    if (first == EOF) return SCENE_ERR_BADFILE;
    if (first < 2) return SCENE_ERR_VERSION;
    if (std::fseek(file, 0, SEEK_SET) != 0) return SCENE_ERR_BADFILE;
    image->size = static_cast<std::size_t>(length);
    image->bytes = static_cast<std::uint8_t*>(std::malloc(image->size));
    if (!image->bytes) return SCENE_ERR_NOMEM;
    if (std::fread(image->bytes, 1, image->size, file) != image->size) return SCENE_ERR_BADFILE;
    return SCENE_OK;
}

int walk_chunks(const ChunkTable& table, const std::uint8_t* bytes, std::size_t pos,
                std::size_t end, std::uint16_t parent) {
    readerState.parentId = parent;
    while (pos < end) {
        ChunkData header{bytes, pos, end};
        std::uint16_t id;
        std::uint32_t length;
        if (!header.u16(&id) || !header.u32(&length)) return SCENE_ERR_BADFILE;
        // A chunk must hold its own header and stay inside its parent; a zero length would
        // otherwise walk on the spot forever.
        if (length < 6 || length > end - pos) return SCENE_ERR_BADFILE;
        std::size_t chunkEnd = pos + length;
        const ChunkEntry* entry = nullptr;
        for (int i = 0; i < table.count; ++i) {
            if (table.entries[i].id == id) {
                entry = &table.entries[i];
                break;
            }
        }
        if (entry) {
            ChunkData data{bytes, pos + 6, chunkEnd};
            if (entry->reader) {
                int r = entry->reader(data);
                if (r != SCENE_OK) return r;
            }
            if (entry->container) {
                if (readerState.depth >= MAX_DEPTH) return SCENE_ERR_BADFILE;
                ++readerState.depth;
                int r = walk_chunks(table, bytes, data.pos, chunkEnd, id);
                --readerState.depth;
                if (r != SCENE_OK) return r;
            }
            readerState.previousId = id;
        }
        pos = chunkEnd;
    }
    return SCENE_OK;
}

bool read_name(ChunkData& data) {
    const void* zero = std::memchr(data.bytes + data.pos, 0, data.left());
    if (!zero) return false;
    std::size_t len = static_cast<const std::uint8_t*>(zero) - (data.bytes + data.pos);
    std::size_t keep = len < sizeof readerState.name - 1 ? len : sizeof readerState.name - 1;
    std::memcpy(readerState.name, data.bytes + data.pos, keep);
    readerState.name[keep] = 0;
    data.pos += len + 1;
    return true;
}

} // namespace scene
