// Screen positions of every vertex and light for one frame.
#include "engine/frame.h"

namespace engine {

namespace {

void projectObject(scene::Object* o, const scene::Camera& cam, float cx, float cy) {
    if (o->flags & (scene::OBJECT_HIDDEN | scene::OBJECT_DISPLAY_HIDDEN)) return;
    if (!o->vertices) return;
    for (int i = 0; i < o->vertexCount; ++i) {
        scene::Vertex& v = o->vertices[i];
        const scene::Vector& p = v.transformed;
        // A vertex at or behind the near limit is never drawn, so its screen position is left
        // at the centre instead of dividing by a depth near zero (NaN fails the test too).
        v.visible = p.z > 1.0f ? 1 : 0;
        if (v.visible) {
            v.sx = p.x * cam.perspX / p.z + cx;
            v.sy = cy - p.y * cam.perspY / p.z;
        } else {
            v.sx = cx;
            v.sy = cy;
        }
    }
}

void projectLight(scene::Light* l, const scene::Camera& cam, float cx, float cy, int w, int h) {
    scene::Vector p;
    scene::mat_transform(&cam.matrix, &l->position, &p);
    l->flareVisible = 0;
    if (!(p.z > 1.0f)) return;
    l->sx = p.x * cam.perspX / p.z + cx;
    l->sy = cy - p.y * cam.perspY / p.z;
    if (-l->flareWidth < l->sx && l->sx < (w - 1) + l->flareWidth && -l->flareHeight < l->sy &&
        l->sy < (h - 1) + l->flareHeight) {
        l->flareVisible = 1;
        l->depth = p.z;
    }
}

} // namespace

void ProjectScene(scene::Scene* scene, scene::Camera* camera, int width, int height) {
    if (!scene || !camera) return;
    const float cx = static_cast<float>(width >> 1);
    const float cy = static_cast<float>(height >> 1);
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (!n->record) continue;
        if (n->kind == scene::WORLD_OBJECT)
            projectObject(static_cast<scene::Object*>(n->record), *camera, cx, cy);
        else if (n->kind == scene::WORLD_LIGHT)
            projectLight(static_cast<scene::Light*>(n->record), *camera, cx, cy, width, height);
    }
}

} // namespace engine
