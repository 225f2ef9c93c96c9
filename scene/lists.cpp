#include "scene/lists.h"

#include <cstdlib>
#include <cstring>

namespace scene {

bool append_world_node(Scene* scene, int kind, void* record) {
    auto* node = static_cast<WorldNode*>(std::calloc(1, sizeof(WorldNode)));
    if (!node) return false;
    node->kind = kind;
    node->record = record;
    node->prev = scene->worldLast;
    if (scene->worldLast)
        scene->worldLast->next = node;
    else
        scene->worldFirst = node;
    scene->worldLast = node;
    return true;
}

WorldNode* find_world_name(const Scene* scene, const char* name, int kindMask) {
    for (WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (!(n->kind & kindMask)) continue;
        const char* own = record_name(n->kind, n->record);
        if (own && std::strcmp(own, name) == 0) return n;
    }
    return nullptr;
}

WorldNode* find_world_id(const Scene* scene, int id, int kindMask) {
    for (WorldNode* n = scene->worldFirst; n; n = n->next) {
        if ((n->kind & kindMask) && n->record && record_id(n->kind, n->record) == id) return n;
    }
    return nullptr;
}

void append_key_node(Scene* scene, KeyNode* node) {
    node->prev = scene->keyLast;
    node->next = nullptr;
    if (scene->keyLast)
        scene->keyLast->next = node;
    else
        scene->keyFirst = node;
    scene->keyLast = node;
}

KeyNode* find_key_node(const Scene* scene, int nodeId) {
    for (KeyNode* n = scene->keyLast; n; n = n->prev) {
        if (n->id == nodeId) return n;
    }
    return nullptr;
}

int world_kind_of(int keyKind) {
    switch (keyKind) {
    case KEY_CAMERA:
    case KEY_CAMERA_TARGET:
        return WORLD_CAMERA;
    case KEY_OMNI_LIGHT:
    case KEY_SPOT_LIGHT:
    case KEY_LIGHT_TARGET:
        return WORLD_LIGHT;
    case KEY_OBJECT:
        return WORLD_OBJECT;
    case KEY_AMBIENT:
        return WORLD_AMBIENT;
    default:
        return 0;
    }
}

char* copy_string(const char* s) {
    std::size_t n = std::strlen(s) + 1;
    auto* out = static_cast<char*>(std::malloc(n));
    if (out) std::memcpy(out, s, n);
    return out;
}

} // namespace scene
