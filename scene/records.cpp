#include "scene/records.h"

#include <cstdlib>

namespace scene {

void free_object(Object* o) {
    if (!o) return;
    std::free(o->name);
    std::free(o->vertices);
    std::free(o->faces);
    std::free(o);
}

void free_material(Material* m) {
    if (!m) return;
    std::free(m->name);
    std::free(m->texture.fileName);
    std::free(m->bump.fileName);
    std::free(m->reflection.fileName);
    std::free(m);
}

void free_camera(Camera* c) {
    if (!c) return;
    std::free(c->name);
    std::free(c);
}

void free_light(Light* l) {
    if (!l) return;
    std::free(l->name);
    std::free(l);
}

void free_ambient(Ambient* a) {
    if (!a) return;
    std::free(a->name);
    std::free(a);
}

void free_track(Track* t) {
    if (!t) return;
    for (Key* k = t->first; k;) {
        Key* next = k->next;
        std::free(k);
        k = next;
    }
    std::free(t);
}

void free_world_record(int kind, void* record) {
    switch (kind) {
    case WORLD_CAMERA:
        free_camera(static_cast<Camera*>(record));
        break;
    case WORLD_LIGHT:
        free_light(static_cast<Light*>(record));
        break;
    case WORLD_OBJECT:
        free_object(static_cast<Object*>(record));
        break;
    case WORLD_MATERIAL:
        free_material(static_cast<Material*>(record));
        break;
    case WORLD_AMBIENT:
        free_ambient(static_cast<Ambient*>(record));
        break;
    default:
        break;
    }
}

const char* record_name(int kind, const void* record) {
    if (!record) return nullptr;
    switch (kind) {
    case WORLD_CAMERA:
        return static_cast<const Camera*>(record)->name;
    case WORLD_LIGHT:
        return static_cast<const Light*>(record)->name;
    case WORLD_OBJECT:
        return static_cast<const Object*>(record)->name;
    case WORLD_MATERIAL:
        return static_cast<const Material*>(record)->name;
    case WORLD_AMBIENT:
        return static_cast<const Ambient*>(record)->name;
    default:
        return nullptr;
    }
}

int record_id(int kind, const void* record) {
    if (!record) return -1;
    switch (kind) {
    case WORLD_CAMERA:
        return static_cast<const Camera*>(record)->id;
    case WORLD_LIGHT:
        return static_cast<const Light*>(record)->id;
    case WORLD_OBJECT:
        return static_cast<const Object*>(record)->id;
    case WORLD_MATERIAL:
        return static_cast<const Material*>(record)->id;
    case WORLD_AMBIENT:
        return static_cast<const Ambient*>(record)->id;
    default:
        return -1;
    }
}

} // namespace scene
