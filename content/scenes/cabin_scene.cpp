// The second scene: the cabin of the aurora panel, up close. It stands at the origin with its
// front (window and door) facing south (-y); the aurora hangs over the firs to the north.
#include <cmath>

#include "content/art/image.h"
#include "content/scenes/lengths.h"
#include "content/scenes/parts.h"
#include "content/scenes/scenes.h"

namespace scenes {

namespace {

constexpr float PI = 3.14159265358979f;

struct Mats {
    std::uint16_t sky, moon, ground, drift, fir, logs, roof, window, door, warm, glass, lantern,
        stone, smokeHalf, smokeBlend, aurora, meteor;
};

Mats cabinMaterials(Scene3ds& s) {
    Mats m{};
    m.sky = addTextured(s, "NightSky", FLAT, "sky.tga");
    m.moon = addTextured(s, "MoonFace", FLAT, "moon.tga");
    m.ground = addTextured(s, "SnowField", GOURAUD, "snow.tga");
    m.drift = addMaterial(s, makeMaterial("SnowDrift", GOURAUD));
    m.fir = addTextured(s, "FirNeedles", FLAT, "pine.tga", true);
    m.logs = addTextured(s, "LogWall", FLAT, "logs.tga");
    m.roof = addTextured(s, "SnowRoof", GOURAUD, "snow.tga");
    m.window = addTextured(s, "WarmWindow", FLAT, "window.tga");
    m.door = addTextured(s, "Planks", FLAT, "door.tga");
    m.warm = addTextured(s, "Doorway", FLAT, "warmlite.tga");
    m.glass = addTextured(s, "BlueGlass", PHONG, "bauble.tga");
    m.lantern = addMaterial(s, makeMaterial("Lantern", METAL));
    m.stone = addMaterial(s, makeMaterial("Chimney", GOURAUD));
    m.smokeHalf = addSeeThrough(s, "WoodSmoke", "steam.tga", 50);
    m.smokeBlend = addSeeThrough(s, "ThinSmoke", "steam.tga", 75);
    m.aurora = addSeeThrough(s, "Aurora", "aurora.tga", 60, "aurorkey.tga");
    m.meteor = addTextured(s, "StarTrail", FLAT, "warmlite.tga");
    return m;
}

float fieldHeight(float x, float y) {
    const float r = std::hypot(x, y);
    const float slope = r > 160 ? (r - 160) * (r - 160) / 12000.0f : 0;
    return slope + 3 * std::sin(x / 50.0f) * std::sin(y / 37.0f) - (y > 0 ? 0 : 2);
}

void addCabin(Scene3ds& s, const Mats& m, int& id) {
    MeshBuilder b("Cabin", {});
    b.material = m.logs;
    // Walls and gables in one solid, in small pieces that sort well against the window: a
    // gable of its own would turn an inner face into the roof's space, which the painter's
    // sort let show through at the ridge's ends. The slopes under the roof are cut like the
    // slabs over them, so each lies behind the slab piece above it.
    // The walls reach below the snow, which lies up to 5 under the cabin's floor at the front.
    addGabledBox(b, {-50, -40, -5}, {50, 40, 60}, 89, 2 * 65 / 60.0f, 12);
    for (float side : {-1.0f, 1.0f}) { // snowed roof slabs on the two slopes
        b.material = m.roof;
        b.place = translate({0, side * 22, 77}) * rotateX(-side * std::atan2(32.0f, 40.0f));
        addBox(b, {-58, -30, -2}, {58, 30, 4}, 1, 14, 6, 1);
    }
    b.place = Transform{};
    b.material = m.window;
    // Window, doorway and door stand out of the wall and no further in than its face: the
    // painter's sort compares the centres of faces, so a wall piece must not come out nearer
    // than what lies on it, and a side reaching through the wall would sort half in front of
    // it and half behind (a stepped edge).
    addBox(b, {-38, -44, 22}, {-8, -40, 50}, 1, 3);
    b.material = m.warm; // the lit doorway behind the door
    addBox(b, {11, -42, -3}, {33, -40, 45}, 1, 6);
    b.material = m.stone;
    addBox(b, {22, 8, 70}, {36, 22, 112}, 1, 2);
    b.material = m.lantern;
    b.place = translate({42, -52, 40});
    addLathe(b, {{0, -8}, {4, -8}, {5, 0}, {3, 4}, {0, 8}}, 8, false);
    b.place = Transform{};
    addBox(b, {40, -52, 48}, {44, -39, 50}); // its bracket
    s.meshes.push_back(b.take());
    const int cabin = id++;
    addObjectNode(s, "Cabin", cabin, -1, {});

    // The door hangs on its right edge, part of the cabin's hierarchy, with a glass bauble; it
    // swings out to the right and shows the lit room to the camera coming in from the left.
    MeshBuilder d("Door", {34, -44.5f, 0});
    d.material = m.door;
    addBox(d, {-24, -1.5f, -3}, {0, 1, 46}, 1, 6); // down to the snow, which dips at the door
    d.material = m.glass;
    d.place = translate({-12, -6, 32});
    addSphere(d, 4, 12, 6, false);
    s.meshes.push_back(d.take());
    Node& door = addObjectNode(s, "Door", id++, cabin, {34, -44.5f, 0});
    door.rotation = {{0, 0, {0, 0, 1}, {}},
                     {450, 0, {0, 0, 1}, {}},
                     {580, -0.9f, {0, 0, 1}, {0, 0, 0, 0.6f, 0.6f}}};
}

void addSurroundings(Scene3ds& s, const Mats& m, int& id) {
    MeshBuilder g("Snowfield", {});
    g.material = m.ground;
    addTerrain(g, -900, -1100, 900, 700, 60, 60, fieldHeight, 12, {-50, -40, 0}, {50, 40, 0});
    s.meshes.push_back(g.take());
    addObjectNode(s, "Snowfield", id++, -1, {});
    // Snow heaped against the cabin and along the path.
    MeshBuilder drifts("Drifts", {});
    drifts.material = m.drift;
    const float heaps[][4] = {{-62, -10, 22, 12}, {-58, 30, 26, 14},  {60, 20, 24, 12},
                              {64, -28, 18, 9},   {-95, -90, 30, 10}, {85, -120, 26, 9},
                              {-40, 70, 30, 14},  {30, 72, 28, 12}};
    for (const auto& h : heaps)
        addDrift(drifts, {h[0], h[1], fieldHeight(h[0], h[1]) - 3}, h[2], h[3]);
    s.meshes.push_back(drifts.take());
    addObjectNode(s, "Drifts", id++, -1, {});

    art::Rng rng(1224);
    MeshBuilder firs("Firs", {});
    firs.material = m.fir;
    int planted = 0;
    while (planted < 46) {
        const float x = rng.range(-850, 850), y = rng.range(-300, 680);
        if (std::fabs(x) < 110 && y < 120) continue; // keep the cabin's front open
        if (y < 60 && std::fabs(x) < 260) continue;
        firs.place = translate({x, y, fieldHeight(x, y) - 2});
        addFir(firs, {}, rng.range(90, 170), rng.range(0, 2 * PI));
        ++planted;
    }
    s.meshes.push_back(firs.take());
    addObjectNode(s, "Firs", id++, -1, {});

    // The aurora: a curtain bending over the northern sky, swaying slowly.
    MeshBuilder a("AuroraVeil", {0, 4500, 0});
    a.material = m.aurora;
    std::vector<std::uint16_t> low, high;
    for (int i = 0; i <= 16; ++i) {
        const float t = static_cast<float>(i) / 16;
        const float x = -4200 + 8400 * t, y = 900 * std::sin(t * PI * 2.2f);
        low.push_back(a.vertex({x, y, 700}, t * 3, 0));
        high.push_back(a.vertex({x, y + 300, 2600}, t * 3, 1));
    }
    for (int i = 0; i < 16; ++i)
        a.quad(low[static_cast<std::size_t>(i)], low[static_cast<std::size_t>(i) + 1],
               high[static_cast<std::size_t>(i) + 1], high[static_cast<std::size_t>(i)]);
    s.meshes.push_back(a.take());
    Node& veil = addObjectNode(s, "AuroraVeil", id++, -1, {0, 4500, 0});
    veil.rotation = {{0, 0, {0, 0, 1}, {}},
                     {200, 0.05f, {0, 0, 1}, {}},
                     {400, -0.08f, {0, 0, 1}, {}},
                     {CABIN_FRAMES, 0.05f, {0, 0, 1}, {}}};
    veil.scale = {
        {0, {1, 1, 1}, {}}, {300, {1.05f, 1, 1.15f}, {}}, {CABIN_FRAMES, {1, 1, 0.95f}, {}}};

    // A shooting star crossing once, shown by its hide track only while it flies.
    MeshBuilder star("Meteor", {});
    star.material = m.meteor;
    star.place = rotateY(-0.35f); // the tail trails up and back along the way it falls
    addBox(star, {-260, -5, -5}, {0, 5, 5}, 1, 4);
    s.meshes.push_back(star.take());
    Node& meteor = addObjectNode(s, "Meteor", id++, -1, {-650, 3300, 1400});
    meteor.position.push_back({200, {-650, 3300, 1400}, {}}); // hidden until it falls
    meteor.position.push_back({232, {650, 3100, 950}, {}});
    meteor.hide = {0, 200, 232};
}

void addCamera(Scene3ds& s, int& id) {
    // From the edge of the firs, in towards the warm window.
    const Shot shots[] = {
        {0, {-260, -900, 70}, {0, 0, 90}, 56, -2},
        {150, {-200, -680, 62}, {-5, 0, 70}, 54, 1},
        {300, {-140, -460, 55}, {-15, -20, 55}, 50, -1.5f},
        {450, {-70, -260, 46}, {-20, -40, 42}, 46, 1},
        {CABIN_FRAMES, {-30, -175, 40}, {-20, -40, 36}, 42, 0},
    };
    addCameraFlight(s, id, shots, [](const Shot& k) {
        Tcb t;
        t.easeTo = k.frame == CABIN_FRAMES ? 0.8f : 0;
        return t;
    });
}

} // namespace

Scene3ds makeCabinScene() {
    Scene3ds s;
    s.startFrame = 0;
    s.endFrame = CABIN_FRAMES;
    s.ambient = {0.12f, 0.12f, 0.2f};
    const Mats m = cabinMaterials(s);
    int id = 0;
    addAmbientNode(s, id++);
    s.meshes.push_back(makeSky(m.sky, 9000));
    addObjectNode(s, "Sky", id++, -1, {});
    const Vec3 moon{2600, 6200, 2100};
    s.meshes.push_back(makeMoon(m.moon, moon, 200));
    addObjectNode(s, "Moon", id++, -1, moon);
    addSurroundings(s, m, id);
    addCabin(s, m, id);
    PuffStream smoke;
    smoke.prefix = "Smoke";
    smoke.parent = -1;
    smoke.firstId = id;
    smoke.count = 6;
    smoke.period = 20;
    smoke.firstFrame = 1;
    smoke.lastFrame = CABIN_FRAMES;
    smoke.from = {29, 15, 116};
    smoke.travel = {110, 40, 160};
    smoke.materialA = m.smokeHalf;
    smoke.materialB = m.smokeBlend;
    addPuffs(s, smoke);
    id += smoke.count;
    // Moonlight from high behind the camera lights the gouraud faces (the first light): the
    // snowed roof and the field turn their lit side to the viewer.
    s.lights.push_back(shadingLight("MoonLight", {-0.3f, -0.7f, 0.65f}, 6000, 13000));
    s.lights.push_back({"WindowLight", {-23, -70, 36}, {1.0f, 0.75f, 0.45f}, 20, 260, 1});
    s.lights.push_back({"LanternLight", {42, -60, 40}, {1.0f, 0.8f, 0.5f}, 5, 120, 1});
    for (const Light& l : s.lights) addLightNode(s, l.name, id++, -1, l.position);
    addCamera(s, id);
    return s;
}

} // namespace scenes
