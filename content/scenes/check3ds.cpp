// What a description must satisfy before it becomes a file that general readers and the
// scene library read alike.
#include <cmath>
#include <set>

#include "content/scenes/write3ds.h"

namespace scenes {

namespace {

// The scene library keeps names in a 64-byte buffer and general readers in 64-byte fields.
constexpr std::size_t MAX_NAME = 63;

std::string checkName(const std::string& what, const std::string& name) {
    if (name.empty()) return what + " has no name";
    if (name.size() > MAX_NAME) return what + " '" + name + "' has a name longer than 63 bytes";
    if (name.find('\0') != std::string::npos)
        return what + " '" + name + "' has a zero in its name";
    return {};
}

std::string checkMesh(const Scene3ds& s, const Mesh& m) {
    const std::string what = "mesh '" + m.name + "'";
    if (m.vertices.size() > 65535 || m.faces.size() > 65535)
        return what + " has more than 65535 vertices or faces";
    if (m.u.size() != m.v.size() || (!m.u.empty() && m.u.size() != m.vertices.size()))
        return what + " needs one mapping coordinate pair for every vertex";
    for (const Face& f : m.faces) {
        if (f.a >= m.vertices.size() || f.b >= m.vertices.size() || f.c >= m.vertices.size())
            return what + " has a face pointing past its vertices";
        if (f.material >= s.materials.size()) return what + " has a face without a material";
    }
    for (const Vec3& p : m.vertices)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return what + " has a vertex that is not a number";
    return {};
}

template <class K> std::string checkKeys(const std::string& what, const std::vector<K>& keys) {
    for (std::size_t i = 1; i < keys.size(); ++i)
        if (keys[i].frame <= keys[i - 1].frame) return what + " has keys out of frame order";
    for (const K& k : keys)
        if (k.frame < 0 || k.frame > 65535) return what + " has a key outside frames 0..65535";
    return {};
}

std::string checkNode(const Node& n, const std::set<int>& earlier) {
    const std::string what = "node " + std::to_string(n.id) + " ('" + n.name + "')";
    if (n.id < 0 || n.id > 32767) return what + " has an id outside 0..32767";
    if (earlier.count(n.id)) return what + " repeats an id";
    if (n.parent != -1 && !earlier.count(n.parent))
        return what + " names a parent that does not come before it";
    for (const std::string& e :
         {checkKeys(what + " position", n.position), checkKeys(what + " scale", n.scale),
          checkKeys(what + " colour", n.colour), checkKeys(what + " rotation", n.rotation),
          checkKeys(what + " fov", n.fov), checkKeys(what + " roll", n.roll)})
        if (!e.empty()) return e;
    for (std::size_t i = 1; i < n.hide.size(); ++i)
        if (n.hide[i] <= n.hide[i - 1]) return what + " hide keys out of frame order";
    return {};
}

} // namespace

std::string checkScene(const Scene3ds& s) {
    std::set<std::string> names;
    auto unique = [&](const std::string& what, const std::string& name) -> std::string {
        std::string e = checkName(what, name);
        if (!e.empty()) return e;
        if (!names.insert(name).second) return what + " '" + name + "' repeats a name";
        return {};
    };
    for (const Material& m : s.materials)
        if (auto e = unique("material", m.name); !e.empty()) return e;
    for (const Mesh& m : s.meshes) {
        if (auto e = unique("mesh", m.name); !e.empty()) return e;
        if (auto e = checkMesh(s, m); !e.empty()) return e;
    }
    for (const Light& l : s.lights)
        if (auto e = unique("light", l.name); !e.empty()) return e;
    for (const Camera& c : s.cameras)
        if (auto e = unique("camera", c.name); !e.empty()) return e;
    if (s.startFrame < 0 || s.endFrame <= s.startFrame) return "the frame range is empty";
    std::set<int> ids;
    for (const Node& n : s.nodes) {
        if (auto e = checkNode(n, ids); !e.empty()) return e;
        if (n.kind != NODE_AMBIENT && !names.count(n.name))
            return "node " + std::to_string(n.id) + " animates '" + n.name +
                   "', which the scene does not hold";
        ids.insert(n.id);
    }
    return {};
}

} // namespace scenes
