// Evaluation of the keyframer at the active scene's current frame: records, hierarchy,
// cameras, and the transform of every object for the active camera.
#include <cmath>

#include "scene/geometry.h"
#include "scene/lists.h"
#include "scene/scene.h"
#include "scene/track.h"

namespace scene {

namespace {

constexpr float PI = 3.14159265358979323846f;

Track* slot(KeyNode* n, int s) {
    return n->tracks[s - 1];
}

void evaluate_node(KeyNode* n, float f) {
    if (!n->record) return;
    switch (n->kind) {
    case KEY_CAMERA: {
        auto* c = static_cast<Camera*>(n->record);
        track_eval_vector(slot(n, 1), f, &c->position);
        track_eval_float(slot(n, 2), f, &c->fov);
        track_eval_float(slot(n, 3), f, &c->roll);
        break;
    }
    case KEY_CAMERA_TARGET:
        track_eval_vector(slot(n, 1), f, &static_cast<Camera*>(n->record)->target);
        break;
    case KEY_OMNI_LIGHT:
    case KEY_SPOT_LIGHT: {
        auto* l = static_cast<Light*>(n->record);
        track_eval_vector(slot(n, 1), f, &l->position);
        track_eval_vector(slot(n, 2), f, &l->color);
        if (n->kind == KEY_SPOT_LIGHT) track_eval_float(slot(n, 3), f, &l->roll);
        break;
    }
    case KEY_LIGHT_TARGET:
        track_eval_vector(slot(n, 1), f, &static_cast<Light*>(n->record)->target);
        break;
    case KEY_OBJECT: {
        auto* o = static_cast<Object*>(n->record);
        track_eval_vector(slot(n, 1), f, &o->position);
        track_eval_vector(slot(n, 2), f, &o->scale);
        track_eval_rotation(slot(n, 3), f, &o->rotation);
        int hidden = 0;
        track_eval_hide(slot(n, 5), f, &hidden);
        if (hidden)
            o->flags |= OBJECT_HIDDEN;
        else
            o->flags &= ~OBJECT_HIDDEN;
        MorphState morph;
        if (track_eval_morph(slot(n, 4), f, &morph) == SCENE_OK) {
            o->morphFrom = morph.from;
            o->morphTo = morph.to;
            o->morphAlpha = morph.alpha;
            o->flags |= OBJECT_MORPH;
        } else {
            o->flags &= ~OBJECT_MORPH;
        }
        Matrix rot, scale;
        mat_from_quat(&o->rotation, &rot);
        rot.xw = o->position.x;
        rot.yw = o->position.y;
        rot.zw = o->position.z;
        mat_scale(&o->scale, &scale);
        mat_mul(&rot, &scale, &o->matrix);
        break;
    }
    case KEY_AMBIENT:
        track_eval_vector(slot(n, 1), f, &static_cast<Ambient*>(n->record)->color);
        break;
    default:
        break;
    }
}

void apply_hierarchy(Scene* s) {
    for (KeyNode* n = s->keyFirst; n; n = n->next) {
        if (!n->record) continue;
        if (n->kind == KEY_OBJECT) {
            const Matrix& m = static_cast<Object*>(n->record)->matrix;
            for (KeyNode* c = n->firstChild; c; c = c->nextSibling) {
                if (!c->record) continue;
                switch (c->kind) {
                case KEY_OBJECT: {
                    auto* o = static_cast<Object*>(c->record);
                    mat_mul(&m, &o->matrix, &o->matrix);
                    break;
                }
                case KEY_CAMERA: {
                    auto* cam = static_cast<Camera*>(c->record);
                    mat_transform(&m, &cam->position, &cam->position);
                    break;
                }
                case KEY_CAMERA_TARGET: {
                    auto* cam = static_cast<Camera*>(c->record);
                    mat_transform(&m, &cam->target, &cam->target);
                    break;
                }
                case KEY_OMNI_LIGHT:
                case KEY_SPOT_LIGHT: {
                    auto* l = static_cast<Light*>(c->record);
                    mat_transform(&m, &l->position, &l->position);
                    break;
                }
                case KEY_LIGHT_TARGET: {
                    auto* l = static_cast<Light*>(c->record);
                    mat_transform(&m, &l->target, &l->target);
                    break;
                }
                default:
                    break;
                }
            }
        } else if (n->kind == KEY_CAMERA) {
            const Vector& p = static_cast<Camera*>(n->record)->position;
            for (KeyNode* c = n->firstChild; c; c = c->nextSibling) {
                if (c->record && (c->kind == KEY_OMNI_LIGHT || c->kind == KEY_SPOT_LIGHT)) {
                    auto* l = static_cast<Light*>(c->record);
                    vec_add(&p, &l->position, &l->position);
                }
            }
        }
    }
}

// Rotates normals with n and moves positions with m, over a whole object.
void transform_vertices(Object* o, const Matrix& m, const Matrix& n, bool normals) {
    Vertex* v = o->vertices;
    for (int i = 0, count = o->vertexCount; i < count; ++i) {
        const Vector p = v[i].position;
        v[i].transformed = Vector{m.xx * p.x + m.xy * p.y + m.xz * p.z + m.xw,
                                  m.yx * p.x + m.yy * p.y + m.yz * p.z + m.yw,
                                  m.zx * p.x + m.zy * p.y + m.zz * p.z + m.zw};
    }
    if (!normals) return;
    for (int i = 0, count = o->vertexCount; i < count; ++i) {
        const Vector q = v[i].normal;
        v[i].transformedNormal =
            Vector{n.xx * q.x + n.xy * q.y + n.xz * q.z, n.yx * q.x + n.yy * q.y + n.yz * q.z,
                   n.zx * q.x + n.zy * q.y + n.zz * q.z};
    }
    Face* f = o->faces;
    for (int i = 0, count = o->faceCount; i < count; ++i) {
        const Vector q = f[i].normal;
        f[i].transformedNormal =
            Vector{n.xx * q.x + n.xy * q.y + n.xz * q.z, n.yx * q.x + n.yy * q.y + n.yz * q.z,
                   n.zx * q.x + n.zy * q.y + n.zz * q.z};
    }
}

void transform_box(Object* o, const Vector& lo, const Vector& hi) {
    mat_transform(&o->matrix, &lo, &o->tboxMin);
    mat_transform(&o->matrix, &hi, &o->tboxMax);
}

// The morph sources of an object, or false when they cannot stand in for its geometry.
bool morph_sources(Scene* s, Object* o, Object** from, Object** to) {
    WorldNode* a = find_world_id(s, o->morphFrom, WORLD_OBJECT);
    WorldNode* b = find_world_id(s, o->morphTo, WORLD_OBJECT);
    if (!a || !b) return false;
    *from = static_cast<Object*>(a->record);
    *to = static_cast<Object*>(b->record);
    // Vertex for vertex interpolation needs the same vertex count on all three.
    return (*from)->vertexCount == o->vertexCount && (*to)->vertexCount == o->vertexCount;
}

void transform_morphed(Object* o, const Matrix& m, const Matrix& n, Object* from, Object* to) {
    int options = libraryState.options;
    float alpha = o->morphAlpha;
    Vector lo, hi;
    vec_lerp(&from->boxMin, &to->boxMin, alpha, &lo);
    vec_lerp(&from->boxMax, &to->boxMax, alpha, &hi);
    transform_box(o, lo, hi);
    bool normals = options & SCENE_NORMALS;
    bool sameFaces = from->faceCount == o->faceCount && to->faceCount == o->faceCount;
    // The morphed object-space positions go to the transformed field first, so normals can
    // be taken from them before the positions move on into camera space.
    for (int i = 0; i < o->vertexCount; ++i)
        vec_lerp(&from->vertices[i].position, &to->vertices[i].position, alpha,
                 &o->vertices[i].transformed);
    if (normals && (options & SCENE_MORPH_NORMALS) && sameFaces) {
        for (int i = 0; i < o->vertexCount; ++i) {
            Vector q;
            vec_lerp(&from->vertices[i].normal, &to->vertices[i].normal, alpha, &q);
            mat_rotate(&n, &q, &o->vertices[i].transformedNormal);
        }
        for (int i = 0; i < o->faceCount; ++i) {
            Vector q;
            vec_lerp(&from->faces[i].normal, &to->faces[i].normal, alpha, &q);
            mat_rotate(&n, &q, &o->faces[i].transformedNormal);
        }
    } else if (normals && (options & SCENE_NORMALS_RECOMPUTE)) {
        compute_normals(o, &Vertex::transformed, &Vertex::transformedNormal,
                        &Face::transformedNormal);
        for (int i = 0; i < o->vertexCount; ++i)
            mat_rotate(&n, &o->vertices[i].transformedNormal, &o->vertices[i].transformedNormal);
        for (int i = 0; i < o->faceCount; ++i)
            mat_rotate(&n, &o->faces[i].transformedNormal, &o->faces[i].transformedNormal);
    } else if (normals) {
        for (int i = 0; i < o->vertexCount; ++i)
            mat_rotate(&n, &o->vertices[i].normal, &o->vertices[i].transformedNormal);
        for (int i = 0; i < o->faceCount; ++i)
            mat_rotate(&n, &o->faces[i].normal, &o->faces[i].transformedNormal);
    }
    for (int i = 0; i < o->vertexCount; ++i)
        mat_transform(&m, &o->vertices[i].transformed, &o->vertices[i].transformed);
}

void transform_objects(Scene* s) {
    int options = libraryState.options;
    Camera* cam = libraryState.activeCamera;
    for (WorldNode* w = s->worldFirst; w; w = w->next) {
        if (w->kind != WORLD_OBJECT || !w->record) continue;
        auto* o = static_cast<Object*>(w->record);
        Matrix m, n;
        if (cam)
            mat_mul(&cam->matrix, &o->matrix, &m);
        else
            m = o->matrix;
        mat_normal(&o->matrix, &n);
        Object *from, *to;
        if ((options & SCENE_MORPH) && (o->flags & OBJECT_MORPH) &&
            morph_sources(s, o, &from, &to)) {
            transform_morphed(o, m, n, from, to);
            continue;
        }
        transform_box(o, o->boxMin, o->boxMax);
        transform_vertices(o, m, n, options & SCENE_NORMALS);
    }
}

} // namespace

void camera_build(Camera* c) {
    float half = std::tan(c->fov * 0.5f / 180.0f * PI);
    c->perspX = 0.5f * c->sizeX / half;
    c->perspY = 0.5f * c->sizeY / (c->aspect * half);
    Vector d;
    vec_sub(&c->target, &c->position, &d);
    float len = vec_length(&d);
    float r = -c->roll * PI / 180.0f;
    float h = -std::atan2(d.x, d.z);
    float ratio = d.y / len;
    // Rounding can carry the ratio a hair past 1, where asin has no value.
    if (ratio > 1.0f) ratio = 1.0f;
    if (ratio < -1.0f) ratio = -1.0f;
    float p = std::asin(ratio);
    float sh = std::sin(h), ch = std::cos(h), sp = std::sin(p), cp = std::cos(p);
    float sr = std::sin(r), cr = std::cos(r);
    Matrix m;
    m.xx = sh * sp * sr + ch * cr;
    m.xy = cp * sr;
    m.xz = sh * cr - ch * sp * sr;
    m.yx = sh * sp * cr - ch * sr;
    m.yy = cp * cr;
    m.yz = -ch * sp * cr - sh * sr;
    m.zx = -sh * cp;
    m.zy = sp;
    m.zz = ch * cp;
    m.xw = m.yw = m.zw = 0.0f;
    Vector back, offset;
    vec_negate(&c->position, &back);
    mat_rotate(&m, &back, &offset);
    m.xw = offset.x;
    m.yw = offset.y;
    m.zw = offset.z;
    c->matrix = m;
}

int scene_update() {
    Scene* s = libraryState.activeScene;
    if (!s || !s->worldFirst || !s->keyFirst) return SCENE_ERR_NOSCENE;
    float f = s->currentFrame;
    for (KeyNode* n = s->keyFirst; n; n = n->next) evaluate_node(n, f);
    if (libraryState.options & SCENE_HIERARCHY) apply_hierarchy(s);
    for (KeyNode* n = s->keyFirst; n; n = n->next) {
        if (n->kind == KEY_CAMERA && n->record) camera_build(static_cast<Camera*>(n->record));
    }
    if (libraryState.options & SCENE_TRANSFORM) transform_objects(s);
    return SCENE_OK;
}

} // namespace scene
