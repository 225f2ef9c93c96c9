#pragma once
// Stereo separation for four-channel Amiga modules. Their channels pan hard left and right
// (LRRL), which on headphones sounds like two speakers arguing; at 50 % each side keeps its
// voices a little to its own side (side signal about 12 dB under the mid, the spread the
// collection's XMs have) while the mix still reads as stereo. Other formats place their own
// voices and play at full separation.
#include <cstring>
#include <libopenmpt/libopenmpt.h>

constexpr int MOD_STEREO_SEPARATION_PERCENT = 50;

// The separation (percent) to render a module of libopenmpt's type name with.
inline int stereoSeparationFor(const char* type) {
    return type && std::strcmp(type, "mod") == 0 ? MOD_STEREO_SEPARATION_PERCENT : 100;
}

// Sets a loaded module's separation from its type, as the player renders it.
inline void applyStereoSeparation(openmpt_module* module) {
    const char* type = openmpt_module_get_metadata(module, "type");
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_STEREOSEPARATION_PERCENT,
                                    stereoSeparationFor(type));
    openmpt_free_string(type);
}
