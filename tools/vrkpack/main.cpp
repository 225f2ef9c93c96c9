// vrkpack: makes, lists and unpacks data files, and packs pictures as bare LZO1X streams.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/vrkpack/pack.h"

namespace {

int usage() {
    std::fputs("usage: vrkpack create OUT.bin FILE...\n"
               "       vrkpack list FILE\n"
               "       vrkpack extract FILE NAME [OUT]\n"
               "       vrkpack lzo IN OUT\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "create" && argc >= 4)
        return vrkpack::createArchive(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    if (command == "list" && argc == 3) return vrkpack::listArchive(argv[2]);
    if (command == "extract" && (argc == 4 || argc == 5))
        return vrkpack::extractEntry(argv[2], argv[3], argc == 5 ? argv[4] : "");
    if (command == "lzo" && argc == 4) return vrkpack::packLzo(argv[2], argv[3]);
    return usage();
}
