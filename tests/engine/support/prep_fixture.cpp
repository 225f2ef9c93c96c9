#include "tests/engine/support/prep_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/log.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/sort_table.h"
#include "scene/lists.h"
#include "scene/scene.h"

namespace preptest {

namespace {

using datatest::put16;

Bytes header(int type, int w, int h, int depth, int mapLength) {
    Bytes b(18, 0);
    b[1] = mapLength ? 1 : 0;
    b[2] = static_cast<std::uint8_t>(type);
    put16(b, 5, static_cast<std::uint32_t>(mapLength));
    b[7] = mapLength ? 32 : 0;
    put16(b, 12, static_cast<std::uint32_t>(w));
    put16(b, 14, static_cast<std::uint32_t>(h));
    b[16] = static_cast<std::uint8_t>(depth);
    b[17] = 0x20; // top row first
    return b;
}

Bytes trueColour(int w, int h, int bytes, const std::function<std::uint32_t(int, int)>& texel) {
    Bytes b = header(2, w, h, bytes * 8, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = texel(x, y);
            for (int i = 0; i < bytes; ++i) b.push_back((v >> (8 * i)) & 0xFF);
        }
    return b;
}

std::string captured;
void collect(const char* text) {
    captured += text;
}

char* copyOf(const std::string& s) {
    return scene::copy_string(s.c_str());
}

} // namespace

Bytes Tga32(int w, int h, const std::function<std::uint32_t(int, int)>& texel) {
    return trueColour(w, h, 4, texel);
}

Bytes Tga24(int w, int h, const std::function<std::uint32_t(int, int)>& texel) {
    return trueColour(w, h, 3, texel);
}

Bytes Tga8(int w, int h, const std::vector<std::uint32_t>& palette,
           const std::function<std::uint8_t(int, int)>& index) {
    const int n = static_cast<int>(palette.size());
    Bytes b = header(1, w, h, 8, n);
    for (std::uint32_t c : palette)
        for (int i = 0; i < 4; ++i) b.push_back((c >> (8 * i)) & 0xFF);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.push_back(index(x, y));
    return b;
}

PictureFile::PictureFile(const std::vector<Entry>& entries) {
    char pattern[] = "/tmp/vrkprep.XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    dir = pattern;
    datatest::writeFile(path("vrk.bin"), datatest::buildArchive(entries));
    archive = std::make_unique<DataArchive>(path("vrk.bin").c_str());
    engine::SetPictureArchive(archive.get());
}

PictureFile::~PictureFile() {
    engine::SetPictureArchive(nullptr);
    archive.reset();
    std::filesystem::remove_all(dir);
}

bool HaveConvert() {
    return std::system("command -v convert >/dev/null 2>&1") == 0;
}

bool Convert(const std::string& arguments) {
    return std::system(("convert " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

SceneBuilder::SceneBuilder() {
    scene::scene_alloc(&s);
}

SceneBuilder::~SceneBuilder() {
    engine::ReleaseSceneTextures(s);
    engine::FreeFaceSortTable(s);
    scene::scene_release(s);
}

int PrepareWithSortTable(scene::Scene* scene) {
    engine::AllocFaceSortTable(scene);
    return engine::PrepareScene(scene);
}

void SceneBuilder::append(int kind, void* record) {
    scene::append_world_node(s, kind, record);
}

scene::Material* SceneBuilder::material(const std::string& name, int shading,
                                        const std::string& texture, int flags) {
    auto* m = static_cast<scene::Material*>(std::calloc(1, sizeof(scene::Material)));
    m->name = copyOf(name);
    m->id = nextId++;
    m->shading = shading;
    m->flags = flags;
    if (!texture.empty()) m->texture.fileName = copyOf(texture);
    append(scene::WORLD_MATERIAL, m);
    return m;
}

void SceneBuilder::setTexture(scene::Material* m, const std::string& file) {
    std::free(m->texture.fileName);
    m->texture.fileName = copyOf(file);
}

void SceneBuilder::setReflection(scene::Material* m, const std::string& file) {
    std::free(m->reflection.fileName);
    m->reflection.fileName = copyOf(file);
}

scene::Object* SceneBuilder::object(const std::string& name, int vertices, int faces,
                                    scene::Material* m) {
    auto* o = static_cast<scene::Object*>(std::calloc(1, sizeof(scene::Object)));
    o->name = copyOf(name);
    o->id = nextId++;
    o->vertexCount = vertices;
    o->faceCount = faces;
    if (vertices)
        o->vertices = static_cast<scene::Vertex*>(std::calloc(vertices, sizeof(scene::Vertex)));
    if (faces) o->faces = static_cast<scene::Face*>(std::calloc(faces, sizeof(scene::Face)));
    for (int f = 0; f < faces; ++f) {
        scene::Face& face = o->faces[f];
        face.a = 0;
        face.b = vertices > 1 ? 1 : 0;
        face.c = vertices > 2 ? 2 : 0;
        face.material = m;
        face.materialId = m ? m->id : 0;
    }
    append(scene::WORLD_OBJECT, o);
    return o;
}

scene::Light* SceneBuilder::light(float x, float y, float z, float rangeStart, float rangeEnd) {
    auto* l = static_cast<scene::Light*>(std::calloc(1, sizeof(scene::Light)));
    char name[24];
    std::snprintf(name, sizeof name, "light%d", nextId);
    l->name = copyOf(name);
    l->id = nextId++;
    l->position = {x, y, z};
    l->rangeStart = rangeStart;
    l->rangeEnd = rangeEnd;
    append(scene::WORLD_LIGHT, l);
    return l;
}

scene::Ambient* SceneBuilder::ambient(float r, float g, float b) {
    auto* a = static_cast<scene::Ambient*>(std::calloc(1, sizeof(scene::Ambient)));
    a->name = copyOf("ambient");
    a->id = nextId++;
    a->color = {r, g, b};
    append(scene::WORLD_AMBIENT, a);
    return a;
}

int SceneBuilder::countKind(int kind) const {
    int n = 0;
    for (scene::WorldNode* w = s->worldFirst; w; w = w->next) n += w->kind == kind;
    return n;
}

MessageCapture::MessageCapture() {
    captured.clear();
    engine::SetMessageSink(collect);
}

MessageCapture::~MessageCapture() {
    engine::SetMessageSink(nullptr);
}

std::string MessageCapture::text() const {
    return captured;
}

} // namespace preptest
