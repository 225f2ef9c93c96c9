// Where the scenes put things, as the scene library plays them: the train keeps to its curved
// line all the way, and the cabin's snow field leaves room for the cabin instead of running
// on under its walls (where the painter's sort would draw it half in front of them).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "content/scenes/lengths.h"
#include "content/scenes/railway.h"
#include "content/scenes/scenes.h"
#include "scene/math.h"
#include "tests/content/scenes/loaded.h"

using namespace scenes;
using scenes_test::generated;
using scenes_test::Loaded;
using scenes_test::readFile;

TEST(SceneLayout, TheTrainKeepsToItsCurveAllTheWay) {
    Loaded l(readFile(generated(TRAIN_SCENE)));
    ASSERT_EQ(0, l.motion);
    const char* const bodies[] = {"Engine", "Coach1", "Coach2", "Coach3"};
    float widest = 0;
    for (int f = 0; f < TRAIN_FRAMES; f += 29) {
        ASSERT_EQ(0, scene::scene_set_frame(static_cast<float>(f)));
        ASSERT_EQ(0, scene::scene_update());
        for (const char* name : bodies) {
            SCOPED_TRACE(std::string(name) + " at frame " + std::to_string(f));
            auto* o = l.find<scene::Object>(name, scene::WORLD_OBJECT);
            ASSERT_NE(nullptr, o);
            // The middle of the body, and the way its length points. The library's axes are
            // the file's with y and z exchanged: its z runs across the line.
            const scene::Vector local{(o->boxMin.x + o->boxMax.x) / 2,
                                      (o->boxMin.y + o->boxMax.y) / 2,
                                      (o->boxMin.z + o->boxMax.z) / 2};
            scene::Vector at;
            scene::mat_transform(&o->matrix, &local, &at);
            EXPECT_NEAR(lineY(at.x), at.z, 3.0f) << "off the line at x " << at.x;
            EXPECT_NEAR(lineHeading(at.x), std::atan2(o->matrix.zx, o->matrix.xx), 0.03f);
            widest = std::fmax(widest, std::fabs(lineY(at.x)));
        }
    }
    EXPECT_GT(widest, 150.0f) << "the line bends";
}

TEST(SceneLayout, TheCabinsSnowFieldEndsAtItsWalls) {
    const Scene3ds s = makeCabinScene();
    const Mesh* field = nullptr;
    for (const Mesh& m : s.meshes)
        if (m.name == "Snowfield") field = &m;
    ASSERT_NE(nullptr, field);
    const float wallX = 50, wallY = 40; // the cabin's walls, about the origin
    int beside = 0;
    for (const Face& f : field->faces) {
        const Vec3 p[3] = {field->vertices[f.a], field->vertices[f.b], field->vertices[f.c]};
        float x0 = p[0].x, x1 = x0, y0 = p[0].y, y1 = y0;
        for (const Vec3& v : p) {
            x0 = std::fmin(x0, v.x), x1 = std::fmax(x1, v.x);
            y0 = std::fmin(y0, v.y), y1 = std::fmax(y1, v.y);
        }
        // A face reaching into the footprint: more than a hair inside both ways.
        const bool intoX = x1 > -wallX + 0.01f && x0 < wallX - 0.01f;
        const bool intoY = y1 > -wallY + 0.01f && y0 < wallY - 0.01f;
        EXPECT_FALSE(intoX && intoY) << "a face at x " << x0 << ".." << x1 << ", y " << y0 << ".."
                                     << y1 << " reaches under the cabin";
        beside += (x1 <= -wallX + 0.01f || x0 >= wallX - 0.01f) && intoY;
    }
    EXPECT_GT(beside, 0) << "the field comes right up to the walls";
}
