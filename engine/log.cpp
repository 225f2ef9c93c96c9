#include "engine/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace engine {

namespace {

// Read once: the message log is a development aid, not something that changes mid-run.
bool messagesWanted() {
    static const bool wanted = [] {
        const char* value = std::getenv("VRK_ENGINE_LOG");
        return value && std::strcmp(value, "1") == 0;
    }();
    return wanted;
}

MessageSink messageSink = nullptr;
const char* refusedTag = nullptr;

} // namespace

void SetMessageSink(MessageSink sink) {
    messageSink = sink;
}

void RefuseAllocationsTagged(const char* tag) {
    refusedTag = tag;
}

void LogMessage(const char* format, ...) {
    if (!messageSink && !messagesWanted()) return;
    va_list args;
    va_start(args, format);
    if (messageSink) {
        char text[1024];
        std::vsnprintf(text, sizeof text, format, args);
        messageSink(text);
    } else {
        std::vfprintf(stderr, format, args);
        std::fflush(stderr);
    }
    va_end(args);
}

void LogError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fflush(stderr);
}

void* EngineCalloc(std::size_t count, std::size_t size, const char* file, int line,
                   const char* tag) {
    // A product that wraps would hand back a block far smaller than the caller asked for.
    void* block = nullptr;
    const bool refused = refusedTag && tag && std::strcmp(refusedTag, tag) == 0;
    if (!refused && (size == 0 || count <= static_cast<std::size_t>(-1) / size))
        block = std::calloc(count, size);
    if (!block)
        LogError("\n memory callocation error: %s, file: %s, line: %d", tag ? tag : "",
                 file ? file : "", line);
    return block;
}

void EngineFree(void* block, const char* /*file*/, int /*line*/) {
    std::free(block);
}

} // namespace engine
