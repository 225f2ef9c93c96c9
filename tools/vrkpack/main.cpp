// vrkpack: makes, lists and unpacks data files, and packs pictures as bare LZO1X streams.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/help_version.h"
#include "tools/vrkpack/pack.h"

namespace {

const char* const HELP =
    "Usage: vrkpack create OUT.bin FILE...\n"
    "       vrkpack list FILE\n"
    "       vrkpack extract FILE NAME [OUT]\n"
    "       vrkpack lzo IN OUT\n"
    "Makes, lists and unpacks the data file of the Tinselwave music disk (vrk.bin), and packs\n"
    "pictures as bare LZO1X streams for it.\n"
    "\n"
    "  create   write OUT.bin holding the FILEs, each under its own name\n"
    "  list     print the entries of FILE with their sizes\n"
    "  extract  write the entry NAME of FILE to OUT (default: its own name)\n"
    "  lzo      pack IN as a bare LZO1X stream into OUT\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

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
    if (const int status = answerHelpOrVersion(argc, argv, "vrkpack", HELP); status >= 0)
        return status;
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
