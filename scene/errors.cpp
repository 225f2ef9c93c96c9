#include "scene/errors.h"

namespace scene {

const char* scene_error_text(int code) {
    static const char* const texts[] = {
        "internal error",
        "not enough memory",
        "file not found",
        "corrupted file",
        "unsupported version",
        "unsupported format",
        "invalid frame number",
        "invalid object name",
        "no frames in keyframer",
        "scene not loaded",
        "null pointer assignment",
        "invalid parameter",
        "less than 2 keys in spline",
        "cannot inverse singular matrix",
        "bad object id",
        "object already exist",
    };
    if (code < 0 || code > 15) return texts[0];
    return texts[code];
}

} // namespace scene
