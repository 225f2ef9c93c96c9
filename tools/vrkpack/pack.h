#pragma once
// The packer's commands. Each returns the process exit status and explains any refusal on
// standard error.
#include <string>
#include <vector>

namespace vrkpack {

int createArchive(const std::string& out, const std::vector<std::string>& files);
int listArchive(const std::string& file);
int extractEntry(const std::string& file, const std::string& name, const std::string& out);
int packLzo(const std::string& in, const std::string& out);

} // namespace vrkpack
