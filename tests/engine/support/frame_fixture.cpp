#include "tests/engine/frame_fixture.h"

namespace frame_test {

std::vector<Call> calls;

namespace {

// A texture address for materials; recorders never read through it.
std::uint8_t textureBytes[16];

void record(const char* name, const float (*v)[5], const void* texture) {
    Call c{};
    c.drawer = name;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 5; ++j) c.v[i][j] = v[i][j];
    c.texture = texture;
    calls.push_back(c);
}

void plain(const char* name, engine::ScreenVertex* v, const void* texture) {
    float r[3][5];
    for (int i = 0; i < 3; ++i) {
        r[i][0] = v[i].x;
        r[i][1] = v[i].y;
        r[i][2] = v[i].a;
        r[i][3] = v[i].b;
        r[i][4] = 0;
    }
    record(name, r, texture);
}

engine::FrameDrawers makeRecorders() {
    engine::FrameDrawers d{};
    d.gouraud = [](engine::ScreenVertex* v) { plain("gouraud", v, nullptr); };
    d.shadedTexture = [](engine::ShadedVertex* v, const std::uint8_t* t) {
        float r[3][5];
        for (int i = 0; i < 3; ++i) {
            r[i][0] = v[i].x;
            r[i][1] = v[i].y;
            r[i][2] = v[i].u;
            r[i][3] = v[i].v;
            r[i][4] = v[i].light;
        }
        record("shaded", r, t);
    };
    d.environment = [](engine::ScreenVertex* v, const std::uint32_t* p, int w, int h) {
        plain("environment", v, nullptr);
        calls.back().previous = p;
        calls.back().previousWidth = w;
        calls.back().previousHeight = h;
    };
    d.textured = [](engine::ScreenVertex* v, const std::uint8_t* t) { plain("textured", v, t); };
    d.texturedHalf = [](engine::ScreenVertex* v, const std::uint8_t* t) { plain("half", v, t); };
    d.texturedBlend = [](engine::ScreenVertex* v, const std::uint8_t* t, std::uint32_t o,
                         std::uint32_t tr) {
        plain("blend", v, t);
        calls.back().opacity = o;
        calls.back().transparency = tr;
    };
    d.texturedAlpha = [](engine::ScreenVertex* v, const std::uint8_t* t) { plain("alpha", v, t); };
    d.blitFlare = [](const std::uint32_t* picture, int w, int h, int x, int y, std::uint32_t*, int,
                     int) {
        Call c{};
        c.drawer = "flare";
        c.texture = picture;
        c.flareX = x;
        c.flareY = y;
        c.flareW = w;
        c.flareH = h;
        calls.push_back(c);
    };
    return d;
}

} // namespace

const engine::FrameDrawers recorders = makeRecorders();

TestScene::TestScene() {
    camera.perspX = PERSPECTIVE;
    camera.perspY = PERSPECTIVE;
    scene::mat_identity(&camera.matrix);
    settings.flareType = 0;
    lights.lightAverage = 1.0f;
    frame.assign(320 * 200, 0);
    previous.assign(320 * 200, 0);
    flarePicture.assign(64 * 64, 0x00101010);
    calls.clear();
}

void TestScene::link(int kind, void* record) {
    nodes.push_back({kind, record, nullptr, scene.worldLast});
    scene::WorldNode* n = &nodes.back();
    if (scene.worldLast)
        scene.worldLast->next = n;
    else
        scene.worldFirst = n;
    scene.worldLast = n;
}

scene::Material* TestScene::material(int shading, bool textured, int transparencyClass) {
    materials.push_back({});
    scene::Material* m = &materials.back();
    m->shading = shading;
    m->id = static_cast<int>(materials.size());
    m->texture.texturePixels = textured ? textureBytes : nullptr;
    m->transparencyClass = transparencyClass;
    link(scene::WORLD_MATERIAL, m);
    return m;
}

scene::Object* TestScene::object(const std::vector<std::array<float, 3>>& screenDepth,
                                 const std::vector<std::array<int, 3>>& faces, scene::Material* m) {
    vertexArrays.emplace_back(screenDepth.size());
    std::vector<scene::Vertex>& vs = vertexArrays.back();
    for (std::size_t i = 0; i < screenDepth.size(); ++i) {
        const float sx = screenDepth[i][0], sy = screenDepth[i][1], z = screenDepth[i][2];
        vs[i].transformed = {(sx - 160.0f) * z / PERSPECTIVE, (100.0f - sy) * z / PERSPECTIVE, z};
        vs[i].u = static_cast<float>(i) * 10.0f;
        vs[i].v = static_cast<float>(i) * 20.0f;
    }
    faceArrays.emplace_back(faces.size());
    std::vector<scene::Face>& fs = faceArrays.back();
    for (std::size_t i = 0; i < faces.size(); ++i) {
        fs[i].a = faces[i][0];
        fs[i].b = faces[i][1];
        fs[i].c = faces[i][2];
        fs[i].va = &vs[faces[i][0]];
        fs[i].vb = &vs[faces[i][1]];
        fs[i].vc = &vs[faces[i][2]];
        fs[i].material = m;
    }
    objects.push_back({});
    scene::Object* o = &objects.back();
    o->vertexCount = static_cast<int>(vs.size());
    o->faceCount = static_cast<int>(fs.size());
    o->vertices = vs.data();
    o->faces = fs.data();
    link(scene::WORLD_OBJECT, o);
    return o;
}

scene::Light* TestScene::light(scene::Vector position, bool inTable) {
    lightRecords.push_back({});
    scene::Light* l = &lightRecords.back();
    l->position = position;
    l->flareWidth = 64.0f;
    l->flareHeight = 64.0f;
    l->flareWidthInt = 64;
    l->flareHeightInt = 64;
    link(scene::WORLD_LIGHT, l);
    if (inTable && lights.count < engine::MAX_LIGHTS) {
        lights.lights[lights.count++] = l;
        lights.lightAverage = 1.0f / static_cast<float>(lights.count);
    }
    return l;
}

engine::FrameContext TestScene::context() {
    int faces = 0;
    for (const scene::Object& o : objects) faces += o.faceCount;
    if (table.size() < static_cast<std::size_t>(faces + engine::MAX_LIGHTS))
        table.resize(faces + engine::MAX_LIGHTS);
    return {
        &settings,    &lights, &recorders,      table.data(),       static_cast<int>(table.size()),
        frame.data(), 320 * 4, previous.data(), flarePicture.data()};
}

int TestScene::render() {
    calls.clear();
    engine::ProjectScene(&scene, &camera, 320, 200);
    return engine::RenderFrame(&scene, &camera, context());
}

} // namespace frame_test
