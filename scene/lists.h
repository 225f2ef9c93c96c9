#pragma once
// Appending to and searching the world and keyframer lists of a scene.
#include "scene/records.h"

namespace scene {

// Appends a node for the record; false when out of memory (the record stays the caller's).
bool append_world_node(Scene* scene, int kind, void* record);
// First world node of a kind in `kindMask` whose record is named `name` (case-sensitive).
WorldNode* find_world_name(const Scene* scene, const char* name, int kindMask);
WorldNode* find_world_id(const Scene* scene, int id, int kindMask);

void append_key_node(Scene* scene, KeyNode* node);
// The last keyframer node in list order with this node id, or null.
KeyNode* find_key_node(const Scene* scene, int nodeId);

// World record kind animated by a keyframer node kind.
int world_kind_of(int keyKind);

char* copy_string(const char* s);

} // namespace scene
