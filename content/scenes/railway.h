#pragma once
// The railway's course through the first scene: a gentle S along x, the land laid beside it,
// and the keys that keep a train on it.
#include "content/scenes/model.h"

namespace scenes {

float lineY(float x);       // the line's centre at x
float lineHeading(float x); // its direction there: radians from +x towards +y
// A point given beside a straight line along x (y across it), laid beside the curve instead.
Vec3 alongLine(Vec3 p);

// Keys for a body riding the line, its origin at `start` (on the line at frame 0) and moving
// `speed` along x a frame, turned to the line's direction: a key every `every` frames.
void rideLine(Node& n, Vec3 start, float speed, int frames, int every);
// Keys for a child of such a body whose origin runs `behind` it along x: where it stands and
// how it turns in its parent's frame, so that it too keeps to the curve.
void trailOnLine(Node& n, Vec3 start, float speed, int frames, int every, float behind);

} // namespace scenes
