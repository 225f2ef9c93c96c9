#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "scene/errors.h"
#include "scene/scene.h"
#include "scene/track.h"

using namespace scene;

namespace {

constexpr float PI = 3.14159265358979323846f;

// A track that frees its keys when the test ends.
struct TestTrack {
    Track* t = static_cast<Track*>(std::calloc(1, sizeof(Track)));
    ~TestTrack() { free_track(t); }
    Key* add(int frame, std::initializer_list<float> value) {
        Key* k = static_cast<Key*>(std::calloc(1, sizeof(Key)));
        int i = 0;
        for (float v : value) k->value[i++] = v;
        EXPECT_EQ(0, track_add_key(t, k, frame));
        return k;
    }
    // A rotation key built the way the reader builds them: running angle and cumulative
    // orientation.
    Key* add_rotation(int frame, float angle, float x, float y, float z) {
        Key* prev = t->last;
        Key* k = add(frame, {prev ? prev->value[0] + angle : angle, x, y, z});
        Quaternion rel, before{1, 0, 0, 0};
        quat_from_angle_axis(angle, x, y, z, &rel);
        if (prev) before = prev->orientation;
        quat_mul(&rel, &before, &k->orientation);
        return k;
    }
};

float hermite(float t, float p1, float p2, float r1, float r2) {
    float t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * p1 + (-2 * t3 + 3 * t2) * p2 + (t3 - 2 * t2 + t) * r1 +
           (t3 - t2) * r2;
}

class TrackTest : public ::testing::Test {
  protected:
    void SetUp() override { scene_init(0); }
};

TEST_F(TrackTest, TwoKeysGiveTheMidpointHalfway) {
    TestTrack tr;
    tr.add(0, {0, 0, 0});
    tr.add(10, {10, 20, -10});
    EXPECT_EQ(0, spline_init(tr.t));
    EXPECT_EQ(2, tr.t->keyCount);
    EXPECT_EQ(10.0f, tr.t->length);
    Vector v;
    EXPECT_EQ(0, track_eval_vector(tr.t, 5, &v));
    EXPECT_FLOAT_EQ(v.x, 5);
    EXPECT_FLOAT_EQ(v.y, 10);
    EXPECT_FLOAT_EQ(v.z, -5);
}

// The evaluation's search position and the end where keys are added are two things: a key
// added after an evaluation still goes after the last key, and the next evaluation sees it.
TEST_F(TrackTest, KeysAddedAfterAnEvaluationStayInFrameOrder) {
    TestTrack tr;
    tr.add(0, {0});
    tr.add(10, {10});
    tr.add(20, {20});
    spline_init(tr.t);
    float v;
    track_eval_float(tr.t, 5, &v); // leaves the search at the first segment
    tr.add(30, {30});
    std::vector<float> frames;
    for (Key* k = tr.t->first; k; k = k->next) {
        frames.push_back(k->frame);
        if (k->next) {
            EXPECT_EQ(k, k->next->prev);
        }
    }
    EXPECT_EQ((std::vector<float>{0, 10, 20, 30}), frames);
    EXPECT_EQ(4, tr.t->keyCount);
    EXPECT_EQ(30.0f, tr.t->length);
    spline_init(tr.t);
    track_eval_float(tr.t, 25, &v);
    EXPECT_FLOAT_EQ(v, 25);
}

TEST_F(TrackTest, EaseTable) {
    EXPECT_FLOAT_EQ(track_ease(0.25f, 1, 1), 0.125f);
    EXPECT_EQ(track_ease(0.3f, 0, 0), 0.3f);
    // s <= 1: a = 0.5, b = 0, k = 2/3; t = 0.25 < a: k/a t^2; t = 0.75: k (2t - a).
    EXPECT_FLOAT_EQ(track_ease(0.25f, 0.5f, 0), (2.0f / 3) / 0.5f * 0.0625f);
    EXPECT_FLOAT_EQ(track_ease(0.75f, 0.5f, 0), (2.0f / 3) * (1.5f - 0.5f));
    EXPECT_FLOAT_EQ(track_ease(0.9f, 0, 0.5f), 1 - (2.0f / 3) / 0.5f * 0.01f);
}

TEST_F(TrackTest, EaseFromAndToShapeTheSegment) {
    TestTrack tr;
    tr.add(0, {0})->easeFrom = 1;
    tr.add(8, {8})->easeTo = 1;
    spline_init(tr.t);
    float v;
    track_eval_float(tr.t, 2, &v);
    EXPECT_FLOAT_EQ(v, hermite(0.125f, 0, 8, 8, 8));
}

TEST_F(TrackTest, AtAKeyTheSegmentEndingThereGivesItsValue) {
    TestTrack tr;
    tr.add(0, {1});
    tr.add(10, {4});
    tr.add(20, {-2});
    spline_init(tr.t);
    float v;
    track_eval_float(tr.t, 10, &v);
    EXPECT_FLOAT_EQ(v, 4);
    EXPECT_EQ(tr.t->first, tr.t->cursor); // the segment from key 0 to key 1
    track_eval_float(tr.t, 20, &v);
    EXPECT_FLOAT_EQ(v, -2);
    track_eval_float(tr.t, 35, &v); // past the end: the last value
    EXPECT_FLOAT_EQ(v, -2);
    // Going back in time restarts the search from the first key.
    track_eval_float(tr.t, 0, &v);
    EXPECT_FLOAT_EQ(v, 1);
}

TEST_F(TrackTest, RepeatAndLoopTracksWrapByTheirLength) {
    TestTrack tr;
    tr.add(0, {0});
    tr.add(40, {7});
    tr.add(100, {3});
    tr.t->mode = TRACK_MODE_REPEAT;
    spline_init(tr.t);
    float a, b;
    track_eval_float(tr.t, 50, &a);
    track_eval_float(tr.t, 150, &b);
    EXPECT_EQ(a, b);
    tr.t->mode = TRACK_MODE_NONE;
    track_eval_float(tr.t, 150, &b);
    EXPECT_FLOAT_EQ(b, 3);
}

TEST_F(TrackTest, ZeroLengthRepeatTrackDoesNotTurnIntoNaN) {
    TestTrack tr;
    tr.add(0, {2});
    tr.t->mode = TRACK_MODE_LOOP;
    float v = 0;
    EXPECT_EQ(0, track_eval_float(tr.t, 12, &v));
    EXPECT_EQ(v, 2);
}

TEST_F(TrackTest, ThreeKeyTangentsFollowTheTcbFormulas) {
    TestTrack tr;
    Key* k0 = tr.add(0, {0});
    Key* k1 = tr.add(10, {5});
    Key* k2 = tr.add(30, {1});
    k1->tension = 0.2f;
    k1->continuity = -0.4f;
    k1->bias = 0.3f;
    k0->tension = 0.1f;
    k2->tension = -0.5f;
    spline_init(tr.t);
    float tm = 0.5f * (1 - 0.2f), cm = 1 - -0.4f, cp = 2 - cm, bm = 1 - 0.3f, bp = 2 - bm;
    float dt = 0.5f * 30, fp = 10 / dt, fn = 20 / dt, ca = 0.4f;
    fp = fp + ca - ca * fp;
    fn = fn + ca - ca * fn;
    EXPECT_FLOAT_EQ(k1->incoming[0], tm * cm * bp * fp * 5 + tm * cp * bm * fp * -4);
    EXPECT_FLOAT_EQ(k1->outgoing[0], tm * cp * bp * fn * 5 + tm * cm * bm * fn * -4);
    EXPECT_FLOAT_EQ(k0->outgoing[0], (1 - 0.1f) * (1.5f * 5 - 1 * 10.0f / (2 * 30)));
    EXPECT_FLOAT_EQ(k2->incoming[0], (1 - -0.5f) * (1.5f * -4 - 1 * 20.0f / (2 * 30)));
    float v;
    track_eval_float(tr.t, 20, &v);
    EXPECT_FLOAT_EQ(v, hermite(0.5f, 5, 1, k1->outgoing[0], k2->incoming[0]));
}

TEST_F(TrackTest, TwoKeyTangentsAndLoopEnds) {
    TestTrack two;
    Key* a = two.add(0, {2});
    Key* b = two.add(10, {6});
    a->tension = 0.5f;
    spline_init(two.t);
    EXPECT_EQ(a->incoming[0], 0);
    EXPECT_FLOAT_EQ(a->outgoing[0], 2);
    EXPECT_FLOAT_EQ(b->incoming[0], 4);
    EXPECT_EQ(b->outgoing[0], 0);

    TestTrack loop;
    Key* f = loop.add(0, {0});
    loop.add(10, {4});
    Key* m = loop.add(20, {6});
    Key* l = loop.add(40, {0});
    loop.t->mode = TRACK_MODE_LOOP;
    spline_init(loop.t);
    // First key: P = key before the last (frame 20), N = second key (frame 10), L = 40.
    float dt = 0.5f * ((10 - 20) + 40), fp = ((0 - 20) + 40) / dt, fn = (10 - 0) / dt;
    EXPECT_FLOAT_EQ(f->incoming[0], 0.5f * fp * (0 - 6) + 0.5f * fp * (4 - 0));
    EXPECT_FLOAT_EQ(f->outgoing[0], 0.5f * fn * (0 - 6) + 0.5f * fn * (4 - 0));
    fp = (40 - 20) / dt;
    fn = ((10 - 40) + 40) / dt;
    EXPECT_FLOAT_EQ(l->incoming[0], 0.5f * fp * (0 - 6) + 0.5f * fp * (4 - 0));
    EXPECT_FLOAT_EQ(l->outgoing[0], 0.5f * fn * (0 - 6) + 0.5f * fn * (4 - 0));
    (void)m;
}

TEST_F(TrackTest, ResultsForEmptyOneKeyAndNegativeFrames) {
    EXPECT_EQ(SCENE_ERR_NULL, track_add_key(nullptr, nullptr, 0));
    TestTrack empty;
    EXPECT_EQ(SCENE_ERR_NULL, spline_init(empty.t));
    EXPECT_EQ(SCENE_ERR_NULL, spline_init_rotation(empty.t));
    int hidden = 7;
    EXPECT_EQ(SCENE_ERR_NULL, track_eval_hide(empty.t, 0, &hidden));
    EXPECT_EQ(0, hidden);
    float v = 42;
    EXPECT_EQ(SCENE_ERR_NULL, track_eval_float(nullptr, 0, &v));
    TestTrack one;
    one.add(5, {3});
    EXPECT_EQ(SCENE_ERR_SPLINE, spline_init(one.t));
    EXPECT_EQ(SCENE_ERR_FRAME, track_eval_float(one.t, -1, &v));
    EXPECT_EQ(42, v);
    EXPECT_EQ(0, track_eval_float(one.t, 0, &v)); // before the only key: its value
    EXPECT_EQ(3, v);
}

TEST_F(TrackTest, HideTogglesAtKeysAndHoldsAtTheKeyFrame) {
    TestTrack tr;
    tr.add(5, {1});
    tr.add(10, {0});
    tr.add(20, {1});
    int h = -1;
    track_eval_hide(tr.t, 2, &h);
    EXPECT_EQ(0, h);
    track_eval_hide(tr.t, 5, &h);
    EXPECT_EQ(1, h);
    track_eval_hide(tr.t, 10, &h); // exactly at the second key: still the first key's value
    EXPECT_EQ(1, h);
    track_eval_hide(tr.t, 11, &h);
    EXPECT_EQ(0, h);
    track_eval_hide(tr.t, 25, &h);
    EXPECT_EQ(1, h);
}

TEST_F(TrackTest, MorphGivesTargetsAndAlphaWithoutWrapping) {
    TestTrack tr;
    tr.add(0, {3});
    tr.add(10, {4});
    tr.t->mode = TRACK_MODE_REPEAT;
    MorphState m;
    EXPECT_EQ(0, track_eval_morph(tr.t, 5, &m));
    EXPECT_EQ(3, m.from);
    EXPECT_EQ(4, m.to);
    EXPECT_FLOAT_EQ(0.5f, m.alpha);
    track_eval_morph(tr.t, 15, &m); // not wrapped: past the last key
    EXPECT_EQ(3, m.from);
    EXPECT_EQ(4, m.to);
    EXPECT_EQ(1.0f, m.alpha);
}

TEST_F(TrackTest, SpinsCountWholeTurnsBetweenRotationKeys) {
    TestTrack tr;
    tr.add_rotation(0, 0, 0, 1, 0);
    tr.add_rotation(10, 6.5f * PI, 0, 1, 0);
    EXPECT_EQ(0, spline_init_rotation(tr.t));
    EXPECT_EQ(3.0f, std::trunc((6.5f * PI) * 0.15915494309188485f));
    // With plain slerp the same keys take the short way, a quarter turn less than squad's
    // three and a quarter turns.
    scene_init(SCENE_SLERP);
    Quaternion q;
    track_eval_rotation(tr.t, 5, &q);
    Quaternion a = tr.t->first->orientation, b = tr.t->first->next->orientation, ref;
    quat_slerp(&a, &b, 0, 0.5f, &ref);
    EXPECT_NEAR(q.w, ref.w, 1e-6f);
    EXPECT_NEAR(q.y, ref.y, 1e-6f);
    // Squad with spins 3: the outer slerp turns through theta + 3 pi.
    scene_init(0);
    for (int f = 0; f <= 10; ++f) {
        track_eval_rotation(tr.t, static_cast<float>(f), &q);
        float t = f / 10.0f;
        Quaternion p, inner, expect;
        quat_slerp(&a, &b, 3, t, &p);
        quat_slerp(&tr.t->first->innerOut, &tr.t->first->next->innerIn, 3, t, &inner);
        quat_slerp(&p, &inner, 0, 2 * t * (1 - t), &expect);
        EXPECT_NEAR(q.w, expect.w, 1e-5f) << f;
        EXPECT_NEAR(q.y, expect.y, 1e-5f) << f;
    }
    // Key frames give the stored orientations.
    track_eval_rotation(tr.t, 10, &q);
    EXPECT_NEAR(std::fabs(q.w), std::fabs(b.w), 1e-5f);
}

TEST_F(TrackTest, RotationInnerQuaternionsMatchTheFormulasForAMiddleKey) {
    TestTrack tr;
    tr.add_rotation(0, 0.5f, 1, 0, 0);
    Key* k = tr.add_rotation(10, 0.7f, 0, 1, 0);
    tr.add_rotation(25, 0.3f, 0, 0, 1);
    spline_init_rotation(tr.t);
    Key* p = k->prev;
    Key* n = k->next;
    Quaternion qp, qn;
    quat_ln_quotient(&p->orientation, &k->orientation, &qp);
    quat_ln_quotient(&k->orientation, &n->orientation, &qn);
    float tm = 0.5f, fp = 10 / 12.5f, fn = 15 / 12.5f;
    float kdm = tm * 1 * 1 * fn, kdp = tm * 1 * 1 * fn - 1;
    Quaternion qa{0.5f * (kdm * qp.w + kdp * qn.w), 0.5f * (kdm * qp.x + kdp * qn.x),
                  0.5f * (kdm * qp.y + kdp * qn.y), 0.5f * (kdm * qp.z + kdp * qn.z)};
    Quaternion ea, out;
    quat_exp(&qa, &ea);
    quat_mul(&k->orientation, &ea, &out);
    EXPECT_NEAR(k->innerOut.w, out.w, 1e-6f);
    EXPECT_NEAR(k->innerOut.x, out.x, 1e-6f);
    EXPECT_NEAR(k->innerOut.z, out.z, 1e-6f);
    (void)fp;
}

} // namespace
