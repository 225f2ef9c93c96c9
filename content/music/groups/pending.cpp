// Tunes not composed yet: generating them fails loudly.
#include "content/music/tunes.h"
#include <stdexcept>
namespace music {
Module bleakMidwinter() { throw std::runtime_error("not composed yet"); }
Module snowballFight() { throw std::runtime_error("not composed yet"); }
Module blackIce() { throw std::runtime_error("not composed yet"); }
Module avalanche() { throw std::runtime_error("not composed yet"); }
Module auldLangSyne() { throw std::runtime_error("not composed yet"); }
Module bubble() { throw std::runtime_error("not composed yet"); }
}
