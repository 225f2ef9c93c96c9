#pragma once
// Work spread over every core the process may run on: one item at a time per thread, taken in
// order, so that the longest items (given first) start first.
#include <cstddef>
#include <functional>

namespace exporter {

// The cores this process may run on (at least 1).
unsigned coresAvailable();

// Calls work(i) for every i below count, on up to coresAvailable() threads (the calling thread
// among them); returns when all are done. work must not throw.
void runOnEveryCore(std::size_t count, const std::function<void(std::size_t)>& work);

} // namespace exporter
