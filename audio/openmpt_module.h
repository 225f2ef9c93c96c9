#pragma once
// Modules through libopenmpt, as every part of the disk opens them: loaded from memory with
// its log silenced, set up the way the player plays them, and their metadata as strings. Header
// only, so the measuring of modules and the export use it without the output back-end.
#include "audio/mod_stereo.h"

#include <cstddef>
#include <libopenmpt/libopenmpt.h>
#include <string>

namespace audio {

// The player's fade-out: a straight slide to silence over this long.
inline constexpr unsigned MUSIC_FADE_MS = 1000;

// A module from size bytes at data (copied), or null with why saying so ("libopenmpt refuses
// it (...)").
inline openmpt_module* openModule(const void* data, std::size_t size, std::string& why) {
    int error = 0;
    const char* message = nullptr;
    openmpt_module* m = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent,
                                                           nullptr, openmpt_error_func_ignore,
                                                           nullptr, &error, &message, nullptr);
    if (!m)
        why = std::string("libopenmpt refuses it (") +
              (message && *message ? message : "it is not a module libopenmpt can open") + ")";
    openmpt_free_string(message);
    return m;
}

// As the player plays a tune: looping for ever (or once), no dither (the output is a pure
// function of the module), the format's stereo separation, volume ramping as libopenmpt does
// it or none.
inline void setUpForPlaying(openmpt_module* m, bool loop, bool ramp) {
    openmpt_module_set_repeat_count(m, loop ? -1 : 0);
    openmpt_module_ctl_set_integer(m, "dither", 0);
    applyStereoSeparation(m);
    if (!ramp) openmpt_module_set_render_param(m, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, 0);
}

inline std::string moduleMetadata(openmpt_module* m, const char* key) {
    const char* v = openmpt_module_get_metadata(m, key);
    std::string s = v ? v : "";
    openmpt_free_string(v);
    return s;
}

} // namespace audio
