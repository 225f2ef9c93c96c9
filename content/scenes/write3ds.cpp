#include "content/scenes/write3ds.h"

#include <cmath>
#include <stdexcept>

#include "content/scenes/chunks.h"

namespace scenes {

namespace {

void colourBytes(ChunkWriter& w, std::uint16_t id, Colour c) {
    auto byte = [](float v) {
        return static_cast<std::uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
    };
    w.begin(id);
    w.begin(0x0011);
    w.u8(byte(c.r));
    w.u8(byte(c.g));
    w.u8(byte(c.b));
    w.end();
    w.end();
}

void percentage(ChunkWriter& w, std::uint16_t id, int value) {
    w.begin(id);
    w.begin(0x0030);
    w.u16(static_cast<std::uint16_t>(value));
    w.end();
    w.end();
}

void vec(ChunkWriter& w, Vec3 v) {
    w.f32(v.x);
    w.f32(v.y);
    w.f32(v.z);
}

void map(ChunkWriter& w, std::uint16_t id, const std::string& file) {
    w.begin(id);
    w.begin(0x0030);
    w.u16(100);
    w.end();
    w.begin(0xA300);
    w.text(file);
    w.end();
    w.begin(0xA351);
    w.u16(0);
    w.end();
    w.end();
}

void writeMaterial(ChunkWriter& w, const Material& m) {
    w.begin(0xAFFF);
    w.begin(0xA000);
    w.text(m.name);
    w.end();
    colourBytes(w, 0xA010, m.ambient);
    colourBytes(w, 0xA020, m.diffuse);
    colourBytes(w, 0xA030, m.specular);
    percentage(w, 0xA040, m.shininess);
    percentage(w, 0xA041, m.shininessStrength);
    percentage(w, 0xA050, m.transparency);
    percentage(w, 0xA052, m.transparencyFalloff);
    percentage(w, 0xA053, m.reflectionBlur);
    if (m.twoSided) w.empty(0xA081);
    percentage(w, 0xA084, m.selfIllumination);
    w.begin(0xA100);
    w.u16(m.shading);
    w.end();
    if (!m.texture.empty()) map(w, 0xA200, m.texture);
    if (!m.reflection.empty()) map(w, 0xA220, m.reflection);
    w.end();
}

void writeMesh(ChunkWriter& w, const Scene3ds& s, const Mesh& m) {
    w.begin(0x4000);
    w.text(m.name);
    w.begin(0x4100);
    w.begin(0x4110);
    w.u16(static_cast<std::uint16_t>(m.vertices.size()));
    for (const Vec3& p : m.vertices) vec(w, p + m.origin);
    w.end();
    if (!m.u.empty()) {
        w.begin(0x4140);
        w.u16(static_cast<std::uint16_t>(m.u.size()));
        for (std::size_t i = 0; i < m.u.size(); ++i) {
            w.f32(m.u[i]);
            w.f32(m.v[i]);
        }
        w.end();
    }
    // The object's frame: plain axes placed at its origin.
    w.begin(0x4160);
    vec(w, {1, 0, 0});
    vec(w, {0, 1, 0});
    vec(w, {0, 0, 1});
    vec(w, m.origin);
    w.end();
    w.begin(0x4120);
    w.u16(static_cast<std::uint16_t>(m.faces.size()));
    for (const Face& f : m.faces) {
        w.u16(f.a);
        w.u16(f.b);
        w.u16(f.c);
        w.u16(f.flags);
    }
    for (std::size_t mi = 0; mi < s.materials.size(); ++mi) {
        std::vector<std::uint16_t> uses;
        for (std::size_t i = 0; i < m.faces.size(); ++i)
            if (m.faces[i].material == mi) uses.push_back(static_cast<std::uint16_t>(i));
        if (uses.empty()) continue;
        w.begin(0x4130);
        w.text(s.materials[mi].name);
        w.u16(static_cast<std::uint16_t>(uses.size()));
        for (std::uint16_t i : uses) w.u16(i);
        w.end();
    }
    w.begin(0x4150);
    for (const Face& f : m.faces) w.u32(f.smoothing);
    w.end();
    w.end(); // 0x4120
    w.end(); // 0x4100
    w.end(); // 0x4000
}

void writeLight(ChunkWriter& w, const Light& l) {
    w.begin(0x4000);
    w.text(l.name);
    w.begin(0x4600);
    vec(w, l.position);
    w.begin(0x0010);
    w.f32(l.colour.r);
    w.f32(l.colour.g);
    w.f32(l.colour.b);
    w.end();
    w.begin(0x4659);
    w.f32(l.rangeStart);
    w.end();
    w.begin(0x465A);
    w.f32(l.rangeEnd);
    w.end();
    w.begin(0x465B);
    w.f32(l.multiplier);
    w.end();
    w.end();
    w.end();
}

void writeCamera(ChunkWriter& w, const Camera& c) {
    w.begin(0x4000);
    w.text(c.name);
    w.begin(0x4700);
    vec(w, c.position);
    vec(w, c.target);
    w.f32(c.roll);
    w.f32(c.lens);
    w.begin(0x4720); // clipping ranges
    w.f32(1);
    w.f32(100000);
    w.end();
    w.end();
    w.end();
}

void writeMeshData(ChunkWriter& w, const Scene3ds& s) {
    w.begin(0x3D3D);
    w.begin(0x3D3E);
    w.u32(3);
    w.end();
    for (const Material& m : s.materials) writeMaterial(w, m);
    w.begin(0x0100); // master scale
    w.f32(1);
    w.end();
    w.begin(0x2100);
    w.begin(0x0010);
    w.f32(s.ambient.r);
    w.f32(s.ambient.g);
    w.f32(s.ambient.b);
    w.end();
    w.end();
    for (const Mesh& m : s.meshes) writeMesh(w, s, m);
    for (const Light& l : s.lights) writeLight(w, l);
    for (const Camera& c : s.cameras) writeCamera(w, c);
    w.end();
}

void trackHeader(ChunkWriter& w, std::uint16_t id, TrackMode mode, std::size_t keys) {
    w.begin(id);
    w.u16(mode);
    w.u32(0);
    w.u32(0);
    w.u32(static_cast<std::uint32_t>(keys));
}

void keyHeader(ChunkWriter& w, int frame, const Tcb& t) {
    w.u32(static_cast<std::uint32_t>(frame));
    std::uint16_t flags = 0;
    const float params[5] = {t.tension, t.continuity, t.bias, t.easeTo, t.easeFrom};
    for (int i = 0; i < 5; ++i)
        if (params[i] != 0) flags |= static_cast<std::uint16_t>(1u << i);
    w.u16(flags);
    for (int i = 0; i < 5; ++i)
        if (params[i] != 0) w.f32(params[i]);
}

void vecTrack(ChunkWriter& w, std::uint16_t id, TrackMode mode, const std::vector<VecKey>& keys) {
    if (keys.empty()) return;
    trackHeader(w, id, mode, keys.size());
    for (const VecKey& k : keys) {
        keyHeader(w, k.frame, k.tcb);
        vec(w, k.value);
    }
    w.end();
}

void floatTrack(ChunkWriter& w, std::uint16_t id, TrackMode mode,
                const std::vector<FloatKey>& keys) {
    if (keys.empty()) return;
    trackHeader(w, id, mode, keys.size());
    for (const FloatKey& k : keys) {
        keyHeader(w, k.frame, k.tcb);
        w.f32(k.value);
    }
    w.end();
}

void writeNode(ChunkWriter& w, const Node& n) {
    w.begin(n.kind);
    w.begin(0xB030);
    w.u16(static_cast<std::uint16_t>(n.id));
    w.end();
    w.begin(0xB010);
    w.text(n.kind == NODE_AMBIENT ? "$AMBIENT$" : n.name);
    w.u16(n.hidden ? 0x0800 : 0);
    w.u16(0);
    w.u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(n.parent)));
    w.end();
    if (n.kind == NODE_OBJECT) {
        w.begin(0xB013);
        vec(w, n.pivot);
        w.end();
    }
    vecTrack(w, 0xB020, n.mode, n.position);
    if (!n.rotation.empty()) {
        trackHeader(w, 0xB021, n.mode, n.rotation.size());
        for (const RotKey& k : n.rotation) {
            keyHeader(w, k.frame, k.tcb);
            w.f32(k.angle);
            vec(w, k.axis);
        }
        w.end();
    }
    vecTrack(w, 0xB022, n.mode, n.scale);
    floatTrack(w, 0xB023, n.mode, n.fov);
    floatTrack(w, 0xB024, n.mode, n.roll);
    vecTrack(w, 0xB025, n.mode, n.colour);
    if (!n.hide.empty()) {
        trackHeader(w, 0xB029, TRACK_ONCE, n.hide.size());
        for (int f : n.hide) keyHeader(w, f, Tcb{});
        w.end();
    }
    w.end();
}

void writeKeyframer(ChunkWriter& w, const Scene3ds& s) {
    w.begin(0xB000);
    w.begin(0xB00A);
    w.u16(5);
    w.text("TINSEL");
    w.u32(static_cast<std::uint32_t>(s.endFrame));
    w.end();
    w.begin(0xB008);
    w.u32(static_cast<std::uint32_t>(s.startFrame));
    w.u32(static_cast<std::uint32_t>(s.endFrame));
    w.end();
    w.begin(0xB009);
    w.u32(static_cast<std::uint32_t>(s.startFrame));
    w.end();
    for (const Node& n : s.nodes) writeNode(w, n);
    w.end();
}

} // namespace

std::vector<std::uint8_t> write3ds(const Scene3ds& scene) {
    const std::string problem = checkScene(scene);
    if (!problem.empty()) throw std::invalid_argument(problem);
    ChunkWriter w;
    w.begin(0x4D4D);
    w.begin(0x0002);
    w.u32(3);
    w.end();
    writeMeshData(w, scene);
    writeKeyframer(w, scene);
    w.end();
    return w.bytes();
}

} // namespace scenes
