#include "scene/track.h"

#include <cmath>

#include "scene/errors.h"
#include "scene/scene.h"

namespace scene {

namespace {

constexpr float TWO_PI_INV = 0.15915494309188485f;
constexpr float SPIN_GAP = 6.283184307180001f;

// Frame to evaluate at for the track's mode. A track of length 0 has nothing to repeat.
float wrap_frame(const Track* t, float frame) {
    if (t->mode != TRACK_MODE_NONE && t->length > 0.0f) return std::fmod(frame, t->length);
    return frame;
}

// Finds the segment that holds `frame`: its start key, which becomes the cursor.
Key* find_segment(Track* t, float frame) {
    Key* k = t->cursor && frame >= t->cursor->frame ? t->cursor : t->first;
    while (k->next && frame > k->next->frame) k = k->next;
    t->cursor = k;
    return k;
}

float segment_t(const Key* k1, const Key* k2, float frame) {
    float span = k2->frame - k1->frame;
    // Keys on one frame (or out of order) leave no span: the frame has reached the end key.
    float t = span > 0.0f ? (frame - k1->frame) / span : 1.0f;
    return track_ease(t, k1->easeFrom, k2->easeTo);
}

// Kochanek-Bartels weights of a key between neighbours at frames tp and tn.
struct Weights {
    float tm, cm, cp, bm, bp, fp, fn;
};

Weights weights(const Key* k, float dtPrev, float dtNext, bool neighbours) {
    Weights w;
    w.tm = 0.5f * (1.0f - k->tension);
    w.cm = 1.0f - k->continuity;
    w.cp = 2.0f - w.cm;
    w.bm = 1.0f - k->bias;
    w.bp = 2.0f - w.bm;
    w.fp = 1.0f;
    w.fn = 1.0f;
    if (neighbours) {
        float dt = 0.5f * (dtPrev + dtNext);
        if (dt != 0.0f) {
            w.fp = dtPrev / dt;
            w.fn = dtNext / dt;
        }
        float ca = std::fabs(k->continuity);
        w.fp = w.fp + ca - ca * w.fp;
        w.fn = w.fn + ca - ca * w.fn;
    }
    return w;
}

void inner_tangents(Key* k, const Key* p, const Key* n, float dtPrev, float dtNext) {
    Weights w = weights(k, dtPrev, dtNext, true);
    for (int i = 0; i < 4; ++i) {
        float dp = k->value[i] - p->value[i];
        float dn = n->value[i] - k->value[i];
        k->incoming[i] = w.tm * w.cm * w.bp * w.fp * dp + w.tm * w.cp * w.bm * w.fp * dn;
        k->outgoing[i] = w.tm * w.cp * w.bp * w.fn * dp + w.tm * w.cm * w.bm * w.fn * dn;
    }
}

Key* last_key(const Track* t) {
    Key* k = t->first;
    while (k->next) k = k->next;
    return k;
}

float hermite(float t, float p1, float p2, float r1, float r2) {
    float t2 = t * t;
    float t3 = t2 * t;
    float h1 = 2 * t3 - 3 * t2 + 1;
    float h2 = -2 * t3 + 3 * t2;
    float h3 = t3 - 2 * t2 + t;
    float h4 = t3 - t2;
    return h1 * p1 + h2 * p2 + h3 * r1 + h4 * r2;
}

// Evaluates `components` values of a spline track into out.
int eval_values(Track* t, float frame, float* out, int components) {
    if (!t || !t->first) return SCENE_ERR_NULL;
    if (frame < 0.0f) return SCENE_ERR_FRAME;
    frame = wrap_frame(t, frame);
    Key* k1 = find_segment(t, frame);
    Key* k2 = k1->next;
    if (!k2 || frame < k1->frame) {
        for (int i = 0; i < components; ++i) out[i] = k1->value[i];
        return SCENE_OK;
    }
    float u = segment_t(k1, k2, frame);
    for (int i = 0; i < components; ++i)
        out[i] = hermite(u, k1->value[i], k2->value[i], k1->outgoing[i], k2->incoming[i]);
    return SCENE_OK;
}

} // namespace

int track_add_key(Track* track, Key* key, int frame) {
    if (!track || !key) return SCENE_ERR_NULL;
    key->frame = static_cast<float>(frame);
    key->next = nullptr;
    key->prev = track->last;
    if (track->last)
        track->last->next = key;
    else
        track->first = key;
    track->last = key;
    track->length = key->frame;
    ++track->keyCount;
    return SCENE_OK;
}

float track_ease(float t, float easeFrom, float easeTo) {
    float a = easeFrom;
    float b = easeTo;
    float s = a + b;
    if (s == 0.0f) return t;
    if (s > 1.0f) {
        a = a / s;
        b = b / s;
    }
    float k = 1.0f / (2.0f - a - b);
    if (t < a) return k / a * t * t;
    if (t < 1.0f - b) return k * (2.0f * t - a);
    // Without an ease-in the last branch is reached only at t = 1, where it would divide by 0.
    if (b == 0.0f) return 1.0f;
    return 1.0f - k / b * (1.0f - t) * (1.0f - t);
}

int spline_init(Track* track) {
    if (!track || !track->first) return SCENE_ERR_NULL;
    Key* first = track->first;
    if (!first->next) return SCENE_ERR_SPLINE;
    Key* last = last_key(track);
    if (!first->next->next) {
        for (int i = 0; i < 4; ++i) {
            float d = last->value[i] - first->value[i];
            first->incoming[i] = 0.0f;
            first->outgoing[i] = d * (1.0f - first->tension);
            last->outgoing[i] = 0.0f;
            last->incoming[i] = d * (1.0f - last->tension);
        }
        return SCENE_OK;
    }
    for (Key* k = first->next; k->next; k = k->next)
        inner_tangents(k, k->prev, k->next, k->frame - k->prev->frame, k->next->frame - k->frame);

    if (track->mode == TRACK_MODE_LOOP) {
        // The last key stands on the first key's place; tangents run across the wrap.
        float len = track->length;
        Key* beforeLast = last->prev;
        Key* second = first->next;
        inner_tangents(first, beforeLast, second, (first->frame - beforeLast->frame) + len,
                       second->frame - first->frame);
        inner_tangents(last, beforeLast, second, last->frame - beforeLast->frame,
                       (second->frame - last->frame) + len);
        return SCENE_OK;
    }
    Key* p1 = first->next;
    Key* p2 = p1->next;
    float span0 = p2->frame - first->frame;
    float r0 = span0 != 0.0f ? (p1->frame - first->frame) / (2.0f * span0) : 0.0f;
    Key* n1 = last->prev;
    Key* n2 = n1->prev;
    float spanN = last->frame - n2->frame;
    float rN = spanN != 0.0f ? (last->frame - n1->frame) / (2.0f * spanN) : 0.0f;
    for (int i = 0; i < 4; ++i) {
        first->outgoing[i] = (1.0f - first->tension) * (1.5f * (p1->value[i] - first->value[i]) -
                                                        (p2->value[i] - first->value[i]) * r0);
        last->incoming[i] = (1.0f - last->tension) * (1.5f * (last->value[i] - n1->value[i]) -
                                                      (last->value[i] - n2->value[i]) * rN);
    }
    return SCENE_OK;
}

int spline_init_rotation(Track* track) {
    if (!track || !track->first) return SCENE_ERR_NULL;
    if (!track->first->next) return SCENE_ERR_SPLINE;
    for (Key* k = track->first; k; k = k->next) {
        Key* p = k->prev;
        Key* n = k->next;
        Quaternion qp{}, qn{};
        if (p) {
            if (std::fabs(k->value[0] - p->value[0]) > SPIN_GAP) {
                Quaternion axis{0.0f, k->value[1], k->value[2], k->value[3]};
                quat_ln(&axis, &qp);
            } else {
                Quaternion q = p->orientation;
                if (quat_dot(&q, &k->orientation) < 0.0f) quat_unit_inverse(&q, &q);
                quat_ln_quotient(&q, &k->orientation, &qp);
            }
        }
        if (n) {
            if (std::fabs(n->value[0] - k->value[0]) > SPIN_GAP) {
                Quaternion axis{0.0f, n->value[1], n->value[2], n->value[3]};
                quat_ln(&axis, &qn);
            } else {
                Quaternion q = n->orientation;
                if (quat_dot(&q, &k->orientation) < 0.0f) quat_unit_inverse(&q, &q);
                quat_ln_quotient(&k->orientation, &q, &qn);
            }
        }
        if (!p) qp = qn;
        if (!n) qn = qp;
        Weights w = p && n ? weights(k, k->frame - p->frame, n->frame - k->frame, true)
                           : weights(k, 0.0f, 0.0f, false);
        float ksm = 1.0f - w.tm * w.cm * w.bp * w.fp;
        float ksp = -w.tm * w.cp * w.bm * w.fp;
        float kdm = w.tm * w.cp * w.bp * w.fn;
        float kdp = w.tm * w.cm * w.bm * w.fn - 1.0f;
        Quaternion qa{0.5f * (kdm * qp.w + kdp * qn.w), 0.5f * (kdm * qp.x + kdp * qn.x),
                      0.5f * (kdm * qp.y + kdp * qn.y), 0.5f * (kdm * qp.z + kdp * qn.z)};
        Quaternion qb{0.5f * (ksm * qp.w + ksp * qn.w), 0.5f * (ksm * qp.x + ksp * qn.x),
                      0.5f * (ksm * qp.y + ksp * qn.y), 0.5f * (ksm * qp.z + ksp * qn.z)};
        quat_exp(&qa, &qa);
        quat_exp(&qb, &qb);
        quat_mul(&k->orientation, &qa, &k->innerOut);
        quat_mul(&k->orientation, &qb, &k->innerIn);
    }
    return SCENE_OK;
}

int track_eval_float(Track* track, float frame, float* out) {
    return eval_values(track, frame, out, 1);
}

int track_eval_vector(Track* track, float frame, Vector* out) {
    float v[3];
    int r = eval_values(track, frame, v, 3);
    if (r == SCENE_OK) *out = Vector{v[0], v[1], v[2]};
    return r;
}

int track_eval_rotation(Track* track, float frame, Quaternion* out) {
    if (!track || !track->first) return SCENE_ERR_NULL;
    if (frame < 0.0f) return SCENE_ERR_FRAME;
    frame = wrap_frame(track, frame);
    if (libraryState.options & SCENE_SLERP) {
        Key* k1 = find_segment(track, frame);
        Key* k2 = k1->next;
        if (!k2 || frame < k1->frame) {
            *out = k1->orientation;
            return SCENE_OK;
        }
        quat_slerp(&k1->orientation, &k2->orientation, 0.0f, segment_t(k1, k2, frame), out);
        return SCENE_OK;
    }
    if (!track->first->next || frame < track->first->frame) {
        *out = track->first->orientation;
        return SCENE_OK;
    }
    Key* k1 = find_segment(track, frame);
    Key* k2 = k1->next;
    if (!k2) {
        *out = k1->orientation;
        return SCENE_OK;
    }
    float t = segment_t(k1, k2, frame);
    // Whole turns between the keys are rounded toward zero.
    float spins = std::trunc((k2->value[0] - k1->value[0]) * TWO_PI_INV);
    Quaternion p, q;
    quat_slerp(&k1->orientation, &k2->orientation, spins, t, &p);
    quat_slerp(&k1->innerOut, &k2->innerIn, spins, t, &q);
    quat_slerp(&p, &q, 0.0f, 2.0f * t * (1.0f - t), out);
    return SCENE_OK;
}

int track_eval_hide(Track* track, float frame, int* out) {
    if (!track || !track->first) {
        *out = 0;
        return SCENE_ERR_NULL;
    }
    if (frame < 0.0f) return SCENE_ERR_FRAME;
    frame = wrap_frame(track, frame);
    if (frame < track->first->frame) {
        *out = 0;
        return SCENE_OK;
    }
    Key* k1 = find_segment(track, frame);
    *out = k1->value[0] != 0.0f ? 1 : 0;
    return SCENE_OK;
}

int track_eval_morph(Track* track, float frame, MorphState* out) {
    if (!track || !track->first) return SCENE_ERR_NULL;
    if (frame < 0.0f) return SCENE_ERR_FRAME;
    Key* k1 = find_segment(track, frame);
    Key* k2 = k1->next;
    if (!k2 || frame < k1->frame) {
        // Ending on the first key leaves no key before it; k1's own target stands in.
        const Key* before = k1->prev ? k1->prev : k1;
        *out = MorphState{static_cast<int>(before->value[0]), static_cast<int>(k1->value[0]), 1.0f};
        return SCENE_OK;
    }
    *out = MorphState{static_cast<int>(k1->value[0]), static_cast<int>(k2->value[0]),
                      segment_t(k1, k2, frame)};
    return SCENE_OK;
}

int track_slot(int keyKind, int trackType) {
    switch (keyKind) {
    case KEY_CAMERA:
        return trackType == TRACK_POSITION ? 1
               : trackType == TRACK_FOV    ? 2
               : trackType == TRACK_ROLL   ? 3
                                           : 0;
    case KEY_CAMERA_TARGET:
    case KEY_LIGHT_TARGET:
        return trackType == TRACK_POSITION ? 1 : 0;
    case KEY_OMNI_LIGHT:
        return trackType == TRACK_POSITION ? 1 : trackType == TRACK_COLOR ? 2 : 0;
    case KEY_SPOT_LIGHT:
        return trackType == TRACK_POSITION ? 1
               : trackType == TRACK_COLOR  ? 2
               : trackType == TRACK_ROLL   ? 3
                                           : 0;
    case KEY_OBJECT:
        switch (trackType) {
        case TRACK_POSITION:
            return 1;
        case TRACK_SCALE:
            return 2;
        case TRACK_ROTATION:
            return 3;
        case TRACK_MORPH:
            return 4;
        case TRACK_HIDE:
            return 5;
        default:
            return 0;
        }
    case KEY_AMBIENT:
        return trackType == TRACK_COLOR ? 1 : 0;
    default:
        return 0;
    }
}

} // namespace scene
