#include "content/music/arrangement.h"

namespace music {

Module finishTune(Song& s, const Expression& e, double seconds, double gain) {
    express(s, e);
    s.finish(seconds, 6, gain);
    return s.module();
}

} // namespace music
