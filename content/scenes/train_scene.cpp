// The first scene. One unit is about 10 cm; the line runs along x in a gentle S (railway.h) on
// a bank 8 units high; the train comes round the bend from the west, passes the camera's
// clearing and runs on east round the next. The land, the forest and the camera's shots are
// laid out beside a straight line along x and then bent to follow the curve.
#include <cmath>

#include "content/art/image.h"
#include "content/scenes/lengths.h"
#include "content/scenes/parts.h"
#include "content/scenes/railway.h"
#include "content/scenes/scenes.h"

namespace scenes {

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float TRAIN_START_X = -2600, TRAIN_END_X = 3400, RAIL_Z = 8;
constexpr float SPEED = (TRAIN_END_X - TRAIN_START_X) / TRAIN_FRAMES;
constexpr int KEY_EVERY = 10; // frames between the keys that keep the train on the curve

struct Mats {
    std::uint16_t sky, moon, bed, snow, fir, drift, coach, roof, boiler, steel, wheel, steam, smoke,
        beam;
};

Mats trainMaterials(Scene3ds& s) {
    Mats m{};
    m.sky = addTextured(s, "NightSky", FLAT, "sky.tga");
    m.moon = addTextured(s, "MoonFace", FLAT, "moon.tga");
    m.bed = addTextured(s, "TrackBed", FLAT, "trackbed.tga");
    m.coach = addTextured(s, "CoachRed", FLAT, "coach.tga");
    m.snow = addTextured(s, "SnowField", GOURAUD, "snow.tga");
    m.roof = addTextured(s, "SnowRoof", GOURAUD, "snow.tga");
    // Two-sided flat: the light is fixed per vertex at load.
    m.fir = addTextured(s, "FirNeedles", FLAT, "pine.tga", true);
    m.drift = addMaterial(s, makeMaterial("SnowDrift", GOURAUD));
    m.boiler = addTextured(s, "Boiler", PHONG, "boiler.tga");
    m.steel = addMaterial(s, makeMaterial("Steel", METAL));
    m.wheel = addTextured(s, "Wheels", FLAT, "wheel.tga");
    m.steam = addSeeThrough(s, "Steam", "steam.tga", 50);
    m.smoke = addSeeThrough(s, "Smoke", "steam.tga", 70);
    m.beam = addSeeThrough(s, "LampBeam", "lamppool.tga", 40, "poolkey.tga");
    return m;
}

float groundHeight(float x, float y) {
    const float d = std::fabs(y) - 40;
    if (d <= 0) return 0;
    const float hills = d * d / 9000.0f;
    const float bumps = 6 * std::sin(x / 140.0f) * std::sin(y / 90.0f) * std::fmin(1.0f, d / 100);
    return hills + bumps;
}

void addLand(Scene3ds& s, const Mats& m) {
    MeshBuilder bed("TrackBank", {});
    bed.material = m.bed;
    bed.bend = alongLine;
    for (int i = 0; i < 80; ++i) {
        const float x = -4000.0f + 100.0f * static_cast<float>(i);
        addBox(bed, {x, -30, 0}, {x + 100, 30, RAIL_Z});
    }
    s.meshes.push_back(bed.take());
    for (int side = 0; side < 2; ++side) {
        MeshBuilder near(side ? "SnowNorth" : "SnowSouth", {});
        near.material = m.snow;
        near.bend = alongLine;
        // Cells of 80 x 50 near the line, where the camera goes low: a cell reaching behind the
        // camera is not drawn at all, so cells must stay small next to it.
        if (side)
            addTerrain(near, -4000, 30, 4000, 630, 100, 12, groundHeight, 20);
        else
            addTerrain(near, -4000, -630, 4000, -30, 100, 12, groundHeight, 20);
        s.meshes.push_back(near.take());
        MeshBuilder far(side ? "HillsNorth" : "HillsSouth", {});
        far.material = m.snow;
        far.bend = alongLine;
        if (side)
            addTerrain(far, -4000, 630, 4000, 3000, 32, 10, groundHeight, 16);
        else
            addTerrain(far, -4000, -3000, 4000, -630, 32, 10, groundHeight, 16);
        s.meshes.push_back(far.take());
    }
}

void addForest(Scene3ds& s, const Mats& m) {
    art::Rng rng(2026);
    MeshBuilder firs[2] = {MeshBuilder("FirsSouth", {}), MeshBuilder("FirsNorth", {})};
    MeshBuilder drifts("Drifts", {});
    drifts.material = m.drift;
    for (auto& f : firs) f.material = m.fir;
    int planted = 0;
    while (planted < 84) {
        const float x = rng.range(-3800, 3800), y = rng.range(-1500, 1500);
        if (std::fabs(y) < 150) continue;
        if (y < 0 && x > -1100 && x < 2600 && y > -1000) continue; // the camera's clearing
        const float h = rng.range(70, 150) * (std::fabs(y) > 700 ? 1.4f : 1.0f);
        firs[y > 0 ? 1 : 0].place = translate(alongLine({x, y, groundHeight(x, y) - 2}));
        addFir(firs[y > 0 ? 1 : 0], {}, h, rng.range(0, 2 * PI));
        ++planted;
    }
    for (int i = 0; i < 30; ++i) {
        const float x = rng.range(-400, 3000), y = (i % 2 ? 1.0f : -1.0f) * rng.range(70, 420);
        if (std::hypot(x + 300, y + 330) < 350) continue; // clear of the camera's first place
        addDrift(drifts, alongLine({x, y, groundHeight(x, y) - 3}), rng.range(18, 40),
                 rng.range(8, 16));
    }
    for (auto& f : firs) s.meshes.push_back(f.take());
    s.meshes.push_back(drifts.take());
}

// Rolling wheels: a turn every 4 frames as far as the train runs in them. Spokes and a
// counterweight painted round them (wheel.tga) show the turning.
void addWheel(Scene3ds& s, std::uint16_t material, const std::string& name, int id, int parent,
              Vec3 parentRest, Vec3 at, float radius) {
    MeshBuilder b(name, parentRest + at);
    b.material = material;
    b.place = rotateX(PI / 2);
    addCylinder(b, radius, -2.5f, 2.5f, 16, true);
    s.meshes.push_back(b.take());
    Node& n = addObjectNode(s, name, id, parent, at);
    for (int f = 0; f <= TRAIN_FRAMES; f += 4)
        n.rotation.push_back({f, f == 0 ? 0.0f : -SPEED * 4 / radius, {0, 1, 0}, {}});
}

int addEngine(Scene3ds& s, const Mats& m, int& id) {
    MeshBuilder b("Engine", {0, 0, RAIL_Z});
    b.material = m.coach;
    addBox(b, {-60, -18, 10}, {62, 18, 16}, 1, 2);  // footplate
    addBox(b, {-60, -20, 16}, {-15, 20, 66}, 1, 3); // cab
    b.material = m.roof;
    addBox(b, {-64, -23, 66}, {-12, 23, 71}, 1, 2);
    b.material = m.boiler;
    b.place = translate({-15, 0, 34}) * rotateY(PI / 2);
    addLathe(b, {{0, 0}, {16, 0}, {16, 22}, {16, 44}, {16, 70}, {0, 70}}, 16, false);
    b.material = m.steel;
    b.place = translate({55, 0, 34}) * rotateY(PI / 2);
    addCylinder(b, 17, 0, 7, 16, false); // smokebox door
    b.place = translate({48, 0, 48});
    addLathe(b, {{0, 0}, {6, 0}, {5, 16}, {8, 22}, {8, 24}, {0, 24}}, 10, false); // chimney
    b.place = translate({18, 0, 49});
    addSphere(b, 7, 10, 5, false); // steam dome
    b.place = translate({62, 0, 44}) * rotateY(PI / 2);
    addCylinder(b, 5, 0, 6, 10, false); // lamp
    b.place = Transform{};
    addPrism(b, {{62, 2}, {76, 2}, {62, 16}}, -18, 18); // cow-catcher
    s.meshes.push_back(b.take());
    const int engine = id++;
    Node& n = addObjectNode(s, "Engine", engine, -1, {TRAIN_START_X, 0, RAIL_Z});
    rideLine(n, {TRAIN_START_X, 0, RAIL_Z}, SPEED, TRAIN_FRAMES, KEY_EVERY);
    const float wx[3] = {-40, -5, 30};
    for (int i = 0; i < 6; ++i)
        addWheel(s, m.wheel, "EngineWheel" + std::to_string(i + 1), id++, engine, {0, 0, RAIL_Z},
                 {wx[i % 3], i < 3 ? -21.0f : 21.0f, 13}, 13);
    // The headlamp's beam: an open cone whose light thins out ahead of the engine.
    MeshBuilder beam("Beam", {68, 0, 44 + RAIL_Z});
    beam.material = m.beam;
    beam.place = translate({230, 0, -6}) * rotateY(-PI / 2 - 0.03f);
    addLathe(beam, {{34, 0}, {3, 230}}, 14, true);
    s.meshes.push_back(beam.take());
    addObjectNode(s, "Beam", id++, engine, {68, 0, 44});
    return engine;
}

void addCoaches(Scene3ds& s, const Mats& m, int engine, int& id) {
    for (int c = 0; c < 3; ++c) {
        const std::string name = "Coach" + std::to_string(c + 1);
        const Vec3 at{-150.0f - 140.0f * static_cast<float>(c), 0, 0};
        MeshBuilder b(name, at + Vec3{0, 0, RAIL_Z});
        b.material = m.coach;
        addBox(b, {-65, -20, 12}, {65, 20, 62}, 1, 4);
        b.material = m.roof;
        b.place = rotateZ(PI / 2); // the roof's outline is drawn out along x
        addPrism(b, {{-23, 62}, {23, 62}, {18, 68}, {0, 71}, {-18, 68}}, -68, 68);
        s.meshes.push_back(b.take());
        const int coach = id++;
        Node& n = addObjectNode(s, name, coach, engine, at);
        trailOnLine(n, {TRAIN_START_X, 0, RAIL_Z}, SPEED, TRAIN_FRAMES, KEY_EVERY, -at.x);
        for (int w = 0; w < 4; ++w)
            addWheel(s, m.wheel, name + "Wheel" + std::to_string(w + 1), id++, coach,
                     at + Vec3{0, 0, RAIL_Z}, {w % 2 ? 45.0f : -45.0f, w < 2 ? -21.0f : 21.0f, 10},
                     10);
    }
}

void addCamera(Scene3ds& s, int& id) {
    // Waiting low in the clearing as the lamp comes out of the west, turning as the train
    // passes, then rising after it as it runs off east under the northern glow.
    const Shot shots[] = {
        {0, {-300, -330, 28}, {-2300, 0, 60}, 42, 0},
        {180, {-320, -300, 26}, {-1500, 0, 40}, 40, 0},
        {300, {-330, -260, 30}, {-600, 0, 35}, 48, -2},
        {380, {-250, -280, 40}, {-100, 0, 32}, 55, 3},
        {480, {50, -330, 70}, {350, 0, 30}, 55, 5},
        {600, {600, -420, 150}, {1100, 0, 30}, 52, 2},
        {740, {1200, -520, 260}, {2100, 0, 40}, 56, -3},
        {TRAIN_FRAMES, {1700, -600, 380}, {2900, 150, 60}, 62, -6},
    };
    std::vector<Shot> bent(std::begin(shots), std::end(shots));
    for (Shot& k : bent) {
        k.position = alongLine(k.position);
        k.target = alongLine(k.target);
    }
    addCameraFlight(s, id, bent, [](const Shot& k) {
        Tcb t;
        t.continuity = 0;
        t.easeFrom = k.frame == 0 ? 0.5f : 0;
        return t;
    });
}

} // namespace

Scene3ds makeTrainScene() {
    Scene3ds s;
    s.startFrame = 0;
    s.endFrame = TRAIN_FRAMES;
    s.ambient = {0.10f, 0.12f, 0.22f};
    const Mats m = trainMaterials(s);
    s.meshes.push_back(makeSky(m.sky, 9000));
    const Vec3 moon{-6500, 1500, 1400};
    s.meshes.push_back(makeMoon(m.moon, moon, 220));
    addLand(s, m);
    addForest(s, m);
    int id = 0;
    addAmbientNode(s, id++);
    for (const char* still : {"Sky", "Moon", "TrackBank", "SnowSouth", "HillsSouth", "SnowNorth",
                              "HillsNorth", "FirsSouth", "FirsNorth", "Drifts"})
        addObjectNode(s, still, id++, -1, {});
    s.nodes[2].position[0].value = moon; // the moon's node places it
    const int engine = addEngine(s, m, id);
    addCoaches(s, m, engine, id);
    PuffStream steam;
    steam.prefix = "Puff";
    steam.parent = engine;
    steam.firstId = id;
    steam.count = 9; // close enough to run together into one plume
    steam.period = 8;
    steam.firstFrame = 1;
    steam.lastFrame = TRAIN_FRAMES;
    steam.from = {48, 0, 74};
    steam.travel = {-170, 0, 70};
    steam.materialA = m.steam;
    steam.materialB = m.smoke;
    addPuffs(s, steam);
    id += steam.count;
    // Gouraud faces are lit by the first light alone: moonlight from high in the west. The
    // moon's own light carries the flare on its face (sitting just before it so the flare is
    // drawn over the moon) and reaches nothing; the headlamp, and its flare, ride on the engine.
    s.lights.push_back(shadingLight("SkyLight", {-0.6f, -0.45f, 0.35f}, 6000, 13000));
    s.lights.push_back({"MoonLight", moon + Vec3{300, -80, -60}, {0.8f, 0.85f, 1.0f}, 0, 1, 1});
    s.lights.push_back({"Headlamp", {72, 0, 44 + RAIL_Z}, {1.0f, 0.9f, 0.7f}, 0, 350, 1});
    addLightNode(s, "SkyLight", id++, -1, s.lights[0].position);
    addLightNode(s, "MoonLight", id++, -1, s.lights[1].position);
    addLightNode(s, "Headlamp", id++, engine, {74, 0, 44});
    addCamera(s, id);
    return s;
}

} // namespace scenes
