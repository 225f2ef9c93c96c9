#pragma once
// Keyframer tracks: building them key by key, preparing their splines and evaluating them.
#include "scene/records.h"

namespace scene {

// Appends a key at the end of the track; the track's length becomes that frame.
int track_add_key(Track* track, Key* key, int frame);
// Tangents of a position, scale, colour, field-of-view or roll track.
int spline_init(Track* track);
// Inner quaternions of a rotation track.
int spline_init_rotation(Track* track);

int track_eval_float(Track* track, float frame, float* out);
int track_eval_vector(Track* track, float frame, Vector* out);
int track_eval_rotation(Track* track, float frame, Quaternion* out);
int track_eval_hide(Track* track, float frame, int* out);

struct MorphState {
    int from;
    int to;
    float alpha;
};
int track_eval_morph(Track* track, float frame, MorphState* out);

// Ease-in/ease-out remapping of the segment parameter t between keys k1 and k2.
float track_ease(float t, float easeFrom, float easeTo);

// The slot (1 to 5) of a track type in a keyframer node kind, or 0 when it has none.
int track_slot(int keyKind, int trackType);

} // namespace scene
