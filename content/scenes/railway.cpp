#include "content/scenes/railway.h"

#include <algorithm>
#include <cmath>

namespace scenes {

namespace {

// The S: 380 units either way of straight, one bend every 950 x 3.14 units; straight across
// the camera's clearing at x = -300.
constexpr float BEND = 380, LENGTH = 950, PHASE = 300;
// The keyframer turns a body the other way round an axis than the right-hand rule.
constexpr float KEY_TURN = -1;

// The frames of the keys: every `every`, and the last.
template <typename F> void eachKey(int frames, int every, F key) {
    for (int f = 0;; f = std::min(f + every, frames)) {
        key(f);
        if (f == frames) break;
    }
}

} // namespace

float lineY(float x) {
    return BEND * std::sin((x + PHASE) / LENGTH);
}

float lineHeading(float x) {
    return std::atan(BEND / LENGTH * std::cos((x + PHASE) / LENGTH));
}

Vec3 alongLine(Vec3 p) {
    return {p.x, p.y + lineY(p.x), p.z};
}

void rideLine(Node& n, Vec3 start, float speed, int frames, int every) {
    n.position.clear();
    n.rotation.clear();
    float before = 0;
    eachKey(frames, every, [&](int f) {
        const float x = start.x + speed * static_cast<float>(f), heading = lineHeading(x);
        n.position.push_back({f, {x, lineY(x), start.z}, {}});
        n.rotation.push_back({f, KEY_TURN * (heading - before), {0, 0, 1}, {}});
        before = heading;
    });
}

void trailOnLine(Node& n, Vec3 start, float speed, int frames, int every, float behind) {
    n.position.clear();
    n.rotation.clear();
    float before = 0;
    eachKey(frames, every, [&](int f) {
        const float xe = start.x + speed * static_cast<float>(f), xc = xe - behind;
        const float he = lineHeading(xe), turn = lineHeading(xc) - he;
        const float dx = -behind, dy = lineY(xc) - lineY(xe);
        const Vec3 local{dx * std::cos(he) + dy * std::sin(he),
                         -dx * std::sin(he) + dy * std::cos(he), 0};
        n.position.push_back({f, local, {}});
        n.rotation.push_back({f, KEY_TURN * (turn - before), {0, 0, 1}, {}});
        before = turn;
    });
}

} // namespace scenes
