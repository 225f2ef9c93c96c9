// The face sort table, the optimizer, the ambient tint and the light table.
#include <cmath>
#include <gtest/gtest.h>

#include "engine/lights.h"
#include "engine/log.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "scene/scene.h"
#include "tests/engine/support/prep_fixture.h"

namespace {

using namespace preptest;

class Optimize : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::engineSettings = engine::SecondScenePreset();
        engine::ambientTint = {1.0f, 1.0f, 1.0f};
    }
    SceneBuilder scene;
};

TEST_F(Optimize, SortTableHoldsEveryFacePlusOnePerFlareAndIsReleasedOnce) {
    scene.object("a", 3, 10);
    scene.object("b", 3, 7);
    scene.material("m", 1);
    ASSERT_EQ(engine::AllocFaceSortTable(scene.get()), 1);
    ASSERT_NE(scene.get()->faceSortTable, nullptr);
    EXPECT_EQ(engine::FaceSortCapacity(scene.get()), 10 + 7 + 32);
    auto* entries = static_cast<const engine::SortEntry*>(scene.get()->faceSortTable);
    for (int i = 0; i < 49; ++i) EXPECT_EQ(entries[i].item, nullptr);
    engine::FreeFaceSortTable(scene.get());
    EXPECT_EQ(scene.get()->faceSortTable, nullptr);
    EXPECT_EQ(engine::FaceSortCapacity(scene.get()), 0);
    engine::FreeFaceSortTable(scene.get()); // freeing nothing is harmless

    engine::RefuseAllocationsTagged("face_sort_table[]");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(engine::AllocFaceSortTable(scene.get()), 0);
    engine::RefuseAllocationsTagged(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\n memory callocation error: face_sort_table[], file: src\\hrkemp2, line: 71");
}

TEST_F(Optimize, RemovesEmptyObjectsThenTheMaterialsOnlyTheyUsed) {
    scene::Material* kept = scene.material("kept", 1);
    scene::Material* orphan = scene.material("orphan", 1);
    scene.material("never", 2);
    scene.object("mesh", 3, 2, kept);
    scene.object("nofaces", 3, 0, orphan);
    scene.object("dummy", 0, 0);
    // Faces without a material use none, even when a material's id happens to be 0.
    scene.object("bare", 3, 1, nullptr);
    ASSERT_EQ(kept->id, 0);

    MessageCapture log;
    EXPECT_EQ(engine::OptimizeScene(scene.get(), 1), 1);
    EXPECT_EQ(log.text(), "\nTrying to optimize scene... Please wait..."
                          "\nOptimizer: object 'nofaces' has 0 vertices or 0 faces! Deleted."
                          "\nOptimizer: object 'dummy' has 0 vertices or 0 faces! Deleted."
                          "\nOptimizer: material 'orphan' is unused! Deleted."
                          "\nOptimizer: material 'never' is unused! Deleted.");
    EXPECT_EQ(scene.countKind(scene::WORLD_OBJECT), 2);
    EXPECT_EQ(scene.countKind(scene::WORLD_MATERIAL), 1);
    EXPECT_EQ(scene.countKind(0), 4); // placeholders the library still frees (ASan checks)
    for (scene::WorldNode* n = scene.get()->worldFirst; n; n = n->next)
        if (n->kind == 0) {
            EXPECT_EQ(n->record, nullptr);
        }

    // Quiet when not verbose, and a second run finds nothing more.
    MessageCapture quiet;
    EXPECT_EQ(engine::OptimizeScene(scene.get(), 0), 1);
    EXPECT_EQ(quiet.text(), "");
    EXPECT_EQ(scene.countKind(0), 4);
}

TEST_F(Optimize, AmbientTintComesFromTheFirstAmbientRecordWhenAsked) {
    scene.ambient(0.5f, 0.25f, 1.0f);
    scene.ambient(0.1f, 0.1f, 0.1f);
    engine::engineSettings.computeAmbient = 0;
    EXPECT_EQ(engine::ComputeAmbient(scene.get()), 1);
    EXPECT_EQ(engine::ambientTint.r, 1.0f);

    engine::engineSettings.computeAmbient = 1;
    engine::engineSettings.reportAmbient = 1;
    MessageCapture log;
    EXPECT_EQ(engine::ComputeAmbient(scene.get()), 1);
    EXPECT_EQ(log.text(), "\n scene ambient color: R=127 G=63 B=255 \n");
    EXPECT_EQ(engine::ambientTint.r, 0.5f);
    EXPECT_EQ(engine::ambientTint.g, 0.25f);
    EXPECT_EQ(engine::ambientTint.b, 1.0f);

    SceneBuilder none;
    EXPECT_EQ(engine::ComputeAmbient(none.get()), 0);
}

TEST_F(Optimize, LightTableTakesTheFirst32LightsInListOrder) {
    EXPECT_EQ(engine::CollectLights(scene.get()), 0);
    EXPECT_EQ(engine::lightTable.lightAverage, 1.0f);
    std::vector<scene::Light*> lights;
    for (int i = 0; i < 33; ++i) {
        lights.push_back(scene.light(float(i), 0, 0));
        if (i == 5) scene.material("between", 1);
    }
    EXPECT_EQ(engine::CollectLights(scene.get()), 32);
    EXPECT_EQ(engine::lightTable.count, 32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(engine::lightTable.lights[i], lights[i]);
    EXPECT_FLOAT_EQ(engine::lightTable.lightAverage, 1.0f / 32);

    SceneBuilder two;
    two.light(0, 0, 0);
    two.light(1, 0, 0);
    EXPECT_EQ(engine::CollectLights(two.get()), 2);
    EXPECT_EQ(engine::lightTable.lightAverage, 0.5f);
    EXPECT_EQ(engine::lightTable.lights[2], nullptr); // the rest of the table is cleared
}

TEST_F(Optimize, VertexLightAveragesTheLightsThatReachTheVertex) {
    scene::Vertex v{};
    v.transformed = {0, 0, 0};
    engine::CollectLights(scene.get());
    EXPECT_EQ(engine::VertexLightIntensity(v), 0.0f); // no lights

    scene.light(5, 0, 0, 10, 20);  // inside the range start: 1.0
    scene.light(15, 0, 0, 10, 20); // halfway: 0.5
    scene.light(30, 0, 0, 10, 20); // beyond the end: not counted
    scene.light(15, 0, 0, 15, 15); // an empty range reached exactly: not counted
    engine::CollectLights(scene.get());
    EXPECT_FLOAT_EQ(engine::VertexLightIntensity(v), 0.75f);

    // Measured from the position the vertex has at preparation time.
    v.transformed = {15, 0, 0};
    EXPECT_FLOAT_EQ(engine::VertexLightIntensity(v), (1.0f + 1.0f + 0.5f + 1.0f) / 4);

    // A position that is not a number gives no light rather than a value no drawer can use.
    v.transformed = {std::nanf(""), 0, 0};
    EXPECT_EQ(engine::VertexLightIntensity(v), 0.0f);
}

} // namespace
