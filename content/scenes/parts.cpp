#include "content/scenes/parts.h"

#include <cmath>

namespace scenes {

namespace {
constexpr float PI = 3.14159265358979f;
}

std::uint16_t addMaterial(Scene3ds& s, Material m) {
    s.materials.push_back(std::move(m));
    return static_cast<std::uint16_t>(s.materials.size() - 1);
}

std::uint16_t addTextured(Scene3ds& s, std::string name, Shading shading, std::string texture,
                          bool twoSided) {
    Material m = makeMaterial(std::move(name), shading, twoSided);
    m.texture = std::move(texture);
    return addMaterial(s, std::move(m));
}

std::uint16_t addSeeThrough(Scene3ds& s, std::string name, std::string texture, int percent,
                            std::string key) {
    Material m = makeMaterial(std::move(name), FLAT);
    m.texture = std::move(texture);
    m.reflection = std::move(key);
    m.transparency = percent;
    return addMaterial(s, std::move(m));
}

void addAmbientNode(Scene3ds& s, int id) {
    Node ambient;
    ambient.kind = NODE_AMBIENT;
    ambient.id = id;
    ambient.colour = {{0, {s.ambient.r, s.ambient.g, s.ambient.b}, {}}};
    s.nodes.push_back(ambient);
}

Node& addObjectNode(Scene3ds& s, const std::string& name, int id, int parent, Vec3 position) {
    Node n;
    n.kind = NODE_OBJECT;
    n.name = name;
    n.id = id;
    n.parent = parent;
    n.position = {{0, position, {}}};
    n.scale = {{0, {1, 1, 1}, {}}};
    s.nodes.push_back(n);
    return s.nodes.back();
}

Light shadingLight(const std::string& name, Vec3 towards, float distance, float range) {
    const float length =
        std::sqrt(towards.x * towards.x + towards.y * towards.y + towards.z * towards.z);
    Light l;
    l.name = name;
    l.position = towards * (-distance / length);
    l.colour = {0.75f, 0.8f, 1.0f};
    l.rangeStart = 0;
    l.rangeEnd = range;
    return l;
}

void addLightNode(Scene3ds& s, const std::string& name, int id, int parent, Vec3 position) {
    Node n;
    n.kind = NODE_OMNI;
    n.name = name;
    n.id = id;
    n.parent = parent;
    n.position = {{0, position, {}}};
    s.nodes.push_back(n);
}

Mesh makeSky(std::uint16_t material, float radius) {
    MeshBuilder b("Sky", {});
    b.material = material;
    // Mirrored so that its faces turn inwards; rows from 6 degrees below the horizon to the
    // zenith, as the sky picture is painted.
    b.place = scaled({1, -1, 1});
    std::vector<std::pair<float, float>> profile;
    const int rows = 12;
    for (int j = 0; j <= rows; ++j) {
        const float e = (-6.0f + 96.0f * static_cast<float>(j) / rows) * PI / 180;
        profile.push_back({j == rows ? 0 : radius * std::cos(e), radius * std::sin(e)});
    }
    addLathe(b, profile, 32, true, 4);
    return b.take();
}

Mesh makeMoon(std::uint16_t material, Vec3 where, float radius) {
    MeshBuilder b("Moon", where);
    b.material = material;
    addSphere(b, radius, 16, 8, true);
    return b.take();
}

void addFir(MeshBuilder& b, Vec3 base, float height, float turn) {
    const Transform keep = b.place;
    b.place = keep * translate(base) * rotateZ(turn);
    const float h = height;
    addCylinder(b, 0.05f * h, 0, 0.2f * h, 6, false);
    // Three tiers, each a cone with a flat underside, narrowing upwards.
    const float tiers[3][3] = {{0.38f, 0.12f, 0.55f}, {0.30f, 0.38f, 0.78f}, {0.20f, 0.62f, 1.0f}};
    for (const auto& t : tiers)
        addLathe(b, {{0, t[1] * h}, {t[0] * h, t[1] * h}, {0, t[2] * h}}, 9, true, 2);
    b.place = keep;
}

void addDrift(MeshBuilder& b, Vec3 centre, float radius, float height) {
    const Transform keep = b.place;
    b.place = keep * translate(centre) * scaled({1, 0.7f, height / radius});
    std::vector<std::pair<float, float>> profile{{0, -0.2f * radius}};
    for (int j = 0; j <= 4; ++j) {
        const float a = static_cast<float>(j) / 4 * PI / 2;
        profile.push_back({j == 4 ? 0 : radius * std::cos(a), radius * std::sin(a)});
    }
    addLathe(b, profile, 10, false);
    b.place = keep;
}

void addCameraFlight(Scene3ds& s, int& id, std::span<const Shot> shots, Tcb (*keyOf)(const Shot&)) {
    s.cameras.push_back(
        {"Cam", shots[0].position, shots[0].target, shots[0].roll, 2400 / shots[0].fov});
    Node cam;
    cam.kind = NODE_CAMERA;
    cam.name = "Cam";
    cam.id = id++;
    Node target;
    target.kind = NODE_TARGET;
    target.name = "Cam";
    target.id = id++;
    for (const Shot& k : shots) {
        const Tcb t = keyOf(k);
        cam.position.push_back({k.frame, k.position, t});
        target.position.push_back({k.frame, k.target, t});
        cam.fov.push_back({k.frame, k.fov, {}});
        cam.roll.push_back({k.frame, k.roll, {}});
    }
    s.nodes.push_back(cam);
    s.nodes.push_back(target);
}

void addBillow(MeshBuilder& b, float radius, int seed) {
    // Three swollen lobes of different sizes, each leaning its own way: a cloud's lumpy
    // outline rather than a ball's.
    const Transform keep = b.place;
    const float turn = static_cast<float>(seed) * 1.7f;
    const float lobes[3][7] = {{0, 0, 0, 1.0f, 1.25f, 0.95f, 0.0f},
                               {0.85f, 0.25f, 0.35f, 0.72f, 0.9f, 0.7f, 0.8f},
                               {-0.75f, -0.3f, 0.45f, 0.6f, 0.75f, 0.6f, -0.6f}};
    for (const auto& l : lobes) {
        const Vec3 at = Vec3{l[0], l[1], l[2]} * radius;
        b.place = keep * rotateZ(turn) * translate(at) * rotateY(l[6] + turn * 0.3f) *
                  scaled(Vec3{l[4], l[5], l[3]} * radius);
        addSphere(b, 1, 7, 4, true);
    }
    b.place = keep;
}

void addPuffs(Scene3ds& s, const PuffStream& p) {
    const int life = p.count * p.period;
    for (int k = 0; k < p.count; ++k) {
        const std::string name = p.prefix + std::to_string(k + 1);
        MeshBuilder b(name, {});
        b.material = (k % 2) ? p.materialB : p.materialA;
        addBillow(b, 6, k);
        s.meshes.push_back(b.take());
        Node& n = addObjectNode(s, name, p.firstId + k, p.parent, p.from);
        n.position.clear();
        n.scale.clear();
        n.hide.push_back(0);
        // Each billow rolls slowly about an axis of its own as it drifts.
        const Vec3 axis{std::sin(1.3f * static_cast<float>(k)),
                        std::cos(0.7f * static_cast<float>(k)), 0.6f};
        for (int f = 0; f <= p.lastFrame; f += 8)
            n.rotation.push_back({f, f == 0 ? 0.0f : 0.12f, axis, {}});
        // Lives begin every `life` frames from this puff's turn; the last sixth of each life
        // is hidden, so the jump back to the start is never seen.
        for (int t0 = p.firstFrame + k * p.period; t0 < p.lastFrame; t0 += life) {
            n.hide.push_back(t0);
            if (t0 + life * 5 / 6 < p.lastFrame) n.hide.push_back(t0 + life * 5 / 6);
            for (int f = t0; f < t0 + life && f <= p.lastFrame; f += 8) {
                const float phase = static_cast<float>(f - t0) / static_cast<float>(life);
                const float wobble = 3 * std::sin(phase * 9 + static_cast<float>(k));
                Tcb edge;
                edge.tension = (f == t0 || f + 8 >= t0 + life) ? 1.0f : 0.0f;
                n.position.push_back({f, p.from + p.travel * phase + Vec3{0, wobble, 0}, edge});
                // Growing, and drawn out along the way it drifts as it thins.
                const float grow = 0.5f + 2.5f * std::sqrt(phase);
                n.scale.push_back({f, {grow * (1 + 0.5f * phase), grow, grow * 0.8f}, edge});
            }
        }
        if (n.position.empty() || n.position.front().frame != 0) {
            n.position.insert(n.position.begin(), {0, p.from, {}});
            n.scale.insert(n.scale.begin(), {0, {0.5f, 0.5f, 0.5f}, {}});
        }
    }
}

} // namespace scenes
