#include "platform/random.h"

#include <cstdlib>

namespace platform {

int libraryRandom() {
    return std::rand() & 0x7FFF;
}

} // namespace platform
