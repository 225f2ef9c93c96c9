// vrkintrotune: writes the intro's tune as an XM file.
//   vrkintrotune <output-file>

#include "content/music/intro_tune.h"
#include "content/music/writers.h"

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrkintrotune <output-file>\n");
        return 2;
    }
    try {
        auto bytes = music::writeXm(music::introTune());
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrkintrotune: %s\n", e.what());
        return 1;
    }
    return 0;
}
