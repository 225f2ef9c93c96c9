#pragma once
// The engine's two logs and its accounted allocation. The message log is silent unless
// VRK_ENGINE_LOG=1 routes it to standard error (for people making their own intro); the error
// log always writes to standard error and flushes.
#include <cstddef>

namespace engine {

// Source names the allocation records carry: the preparation, and the release functions with
// the face sort table.
inline constexpr const char* PREPARE_SOURCE = "src\\hrkemp1";
inline constexpr const char* RELEASE_SOURCE = "src\\hrkemp2";

void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A zero-filled block of count x size bytes, or null (after the allocation error text on the
// error log) when it cannot be had or count x size overflows.
void* EngineCalloc(std::size_t count, std::size_t size, const char* file, int line,
                   const char* tag);
// Frees a block of EngineCalloc; null does nothing. file and line are kept for symmetry.
void EngineFree(void* block, const char* file, int line);

// For tools and tests: a receiver of the formatted message log (null restores the default),
// and a tag whose allocations are refused as if memory had run out (null refuses none).
using MessageSink = void (*)(const char* text);
void SetMessageSink(MessageSink sink);
void RefuseAllocationsTagged(const char* tag);

} // namespace engine
