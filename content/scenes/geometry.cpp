#include "content/scenes/geometry.h"

#include <cmath>
#include <stdexcept>

namespace scenes {

namespace {

constexpr float PI = 3.14159265358979f;

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

} // namespace

Transform translate(Vec3 t) {
    Transform r;
    r.t = t;
    return r;
}

Transform rotateZ(float a) {
    Transform r;
    r.x = {std::cos(a), std::sin(a), 0};
    r.y = {-std::sin(a), std::cos(a), 0};
    return r;
}

Transform rotateY(float a) {
    Transform r;
    r.x = {std::cos(a), 0, -std::sin(a)};
    r.z = {std::sin(a), 0, std::cos(a)};
    return r;
}

Transform rotateX(float a) {
    Transform r;
    r.y = {0, std::cos(a), std::sin(a)};
    r.z = {0, -std::sin(a), std::cos(a)};
    return r;
}

Transform scaled(Vec3 s) {
    Transform r;
    r.x = {s.x, 0, 0};
    r.y = {0, s.y, 0};
    r.z = {0, 0, s.z};
    return r;
}

Transform operator*(const Transform& a, const Transform& b) {
    Transform r;
    r.x = a.apply(b.x) - a.t;
    r.y = a.apply(b.y) - a.t;
    r.z = a.apply(b.z) - a.t;
    r.t = a.apply(b.t);
    return r;
}

MeshBuilder::MeshBuilder(std::string name, Vec3 origin) {
    mesh.name = std::move(name);
    mesh.origin = origin;
}

std::uint16_t MeshBuilder::vertex(Vec3 p, float u, float v) {
    if (mesh.vertices.size() >= 65535) throw std::length_error(mesh.name + ": too many vertices");
    mesh.vertices.push_back(place.apply(p));
    mesh.u.push_back(u);
    mesh.v.push_back(v);
    return static_cast<std::uint16_t>(mesh.vertices.size() - 1);
}

void MeshBuilder::tri(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
    const Vec3 n = cross(mesh.vertices[b] - mesh.vertices[a], mesh.vertices[c] - mesh.vertices[a]);
    if (n.x * n.x + n.y * n.y + n.z * n.z < 1e-12f) return;
    Face f;
    f.a = a;
    f.b = b;
    f.c = c;
    f.material = material;
    f.smoothing = smoothing;
    mesh.faces.push_back(f);
}

void MeshBuilder::quad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    tri(a, b, c);
    tri(a, c, d);
}

Mesh MeshBuilder::take() {
    return std::move(mesh);
}

void addBox(MeshBuilder& b, Vec3 lo, Vec3 hi, float tile, int divisions) {
    // Each side: its corner order counter-clockwise seen from outside, split into a grid so
    // that its pieces sort against small things nearby.
    const Vec3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                       {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                       {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int sides[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
                             {3, 0, 4, 7}, {4, 5, 6, 7}, {3, 2, 1, 0}};
    const int n = divisions < 1 ? 1 : divisions;
    for (const auto& s : sides) {
        const Vec3 o = c[s[0]], du = c[s[1]] - o, dv = c[s[3]] - o;
        std::vector<std::uint16_t> id;
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) {
                const float fu = static_cast<float>(i) / static_cast<float>(n);
                const float fv = static_cast<float>(j) / static_cast<float>(n);
                id.push_back(b.vertex(o + du * fu + dv * fv, fu * tile, fv * tile));
            }
        auto at = [&](int i, int j) { return id[static_cast<std::size_t>(j * (n + 1) + i)]; };
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                b.quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
    }
}

void addLathe(MeshBuilder& b, const std::vector<std::pair<float, float>>& profile, int segments,
              bool seam, float uTile) {
    const int rows = static_cast<int>(profile.size());
    const int columns = seam ? segments + 1 : segments;
    std::vector<std::uint16_t> id(static_cast<std::size_t>(rows * columns));
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const float a = 2 * PI * static_cast<float>(i) / static_cast<float>(segments);
            const auto [r, z] = profile[static_cast<std::size_t>(j)];
            id[static_cast<std::size_t>(j * columns + i)] =
                b.vertex({r * std::cos(a), r * std::sin(a), z},
                         uTile * static_cast<float>(i) / static_cast<float>(segments),
                         static_cast<float>(j) / static_cast<float>(rows - 1));
        }
    for (int j = 0; j + 1 < rows; ++j)
        for (int i = 0; i < segments; ++i) {
            const int i1 = seam ? i + 1 : (i + 1) % segments;
            auto at = [&](int jj, int ii) {
                return id[static_cast<std::size_t>(jj * columns + ii)];
            };
            b.quad(at(j, i), at(j, i1), at(j + 1, i1), at(j + 1, i));
        }
}

void addCylinder(MeshBuilder& b, float radius, float z0, float z1, int segments, bool seam) {
    addLathe(b, {{0, z0}, {radius, z0}, {radius, z1}, {0, z1}}, segments, seam);
}

void addSphere(MeshBuilder& b, float radius, int segments, int rings, bool seam) {
    std::vector<std::pair<float, float>> profile;
    for (int j = 0; j <= rings; ++j) {
        const float a = -PI / 2 + PI * static_cast<float>(j) / static_cast<float>(rings);
        profile.push_back({j == 0 || j == rings ? 0 : radius * std::cos(a), radius * std::sin(a)});
    }
    addLathe(b, profile, segments, seam);
}

void addPrism(MeshBuilder& b, const std::vector<std::pair<float, float>>& outline, float y0,
              float y1, float tile) {
    const std::size_t n = outline.size();
    float minX = outline[0].first, maxX = minX, minZ = outline[0].second, maxZ = minZ;
    for (auto [x, z] : outline) {
        minX = std::fmin(minX, x);
        maxX = std::fmax(maxX, x);
        minZ = std::fmin(minZ, z);
        maxZ = std::fmax(maxZ, z);
    }
    auto uOf = [&](float x) { return tile * (x - minX) / (maxX - minX); };
    auto vOf = [&](float z) { return tile * (z - minZ) / (maxZ - minZ); };
    // Front (seen from -y) and back caps as fans.
    std::vector<std::uint16_t> front, back;
    for (auto [x, z] : outline) {
        front.push_back(b.vertex({x, y0, z}, uOf(x), vOf(z)));
        back.push_back(b.vertex({x, y1, z}, tile - uOf(x), vOf(z)));
    }
    for (std::size_t i = 1; i + 1 < n; ++i) {
        b.tri(front[0], front[i], front[i + 1]);
        b.tri(back[0], back[i + 1], back[i]);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto [xa, za] = outline[i];
        const auto [xb, zb] = outline[(i + 1) % n];
        const std::uint16_t a0 = b.vertex({xa, y0, za}, 0, 0), b0 = b.vertex({xb, y0, zb}, 0, tile),
                            b1 = b.vertex({xb, y1, zb}, tile, tile),
                            a1 = b.vertex({xa, y1, za}, tile, 0);
        b.quad(a0, a1, b1, b0);
    }
}

void addTerrain(MeshBuilder& b, float x0, float y0, float x1, float y1, int nx, int ny,
                float (*height)(float, float), float tile) {
    std::vector<std::uint16_t> id;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            const float fx = static_cast<float>(i) / static_cast<float>(nx);
            const float fy = static_cast<float>(j) / static_cast<float>(ny);
            const float x = x0 + (x1 - x0) * fx, y = y0 + (y1 - y0) * fy;
            id.push_back(b.vertex({x, y, height(x, y)}, fx * tile, fy * tile));
        }
    auto at = [&](int i, int j) { return id[static_cast<std::size_t>(j * (nx + 1) + i)]; };
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) b.quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
}

void addPanel(MeshBuilder& b, float width, float height) {
    const float w = width / 2, h = height / 2;
    const std::uint16_t a = b.vertex({-w, 0, -h}, 0, 0), c = b.vertex({w, 0, -h}, 1, 0),
                        d = b.vertex({w, 0, h}, 1, 1), e = b.vertex({-w, 0, h}, 0, 1);
    b.quad(a, c, d, e);
}

} // namespace scenes
