#pragma once
// Result codes of the scene library; 0 is success.

namespace scene {

enum : int {
    SCENE_OK = 0,
    SCENE_ERR_NOMEM = 1,
    SCENE_ERR_NOFILE = 2,
    SCENE_ERR_BADFILE = 3,
    SCENE_ERR_VERSION = 4,
    SCENE_ERR_FORMAT = 5,
    SCENE_ERR_FRAME = 6,
    SCENE_ERR_NAME = 7,
    SCENE_ERR_NOFRAMES = 8,
    SCENE_ERR_NOSCENE = 9,
    SCENE_ERR_NULL = 10,
    SCENE_ERR_PARAM = 11,
    SCENE_ERR_SPLINE = 12,
    SCENE_ERR_SINGULAR = 13,
    SCENE_ERR_ID = 14,
    SCENE_ERR_EXISTS = 15,
    // A name the file refers to is not in the world.
    SCENE_ERR_UNDEFINED = 256,
};

// Fixed text of a code; success and unknown codes read "internal error".
const char* scene_error_text(int code);

} // namespace scene
