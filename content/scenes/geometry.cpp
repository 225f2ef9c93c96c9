#include "content/scenes/geometry.h"

#include <algorithm>
#include <cmath>
#include <map>
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
    const Vec3 placed = place.apply(p);
    mesh.vertices.push_back(bend ? bend(placed) : placed);
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
    addBox(b, lo, hi, tile, divisions, divisions, divisions);
}

void addBox(MeshBuilder& b, Vec3 lo, Vec3 hi, float tile, int nx, int ny, int nz) {
    // Each side: its corner order counter-clockwise seen from outside, split into a grid so
    // that its pieces sort against small things nearby.
    const Vec3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                       {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                       {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int sides[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
                             {3, 0, 4, 7}, {4, 5, 6, 7}, {3, 2, 1, 0}};
    // Pieces along each side's two directions: x by z, y by z, x by z, y by z, x by y, x by y.
    const int cuts[6][2] = {{nx, nz}, {ny, nz}, {nx, nz}, {ny, nz}, {nx, ny}, {nx, ny}};
    for (int s = 0; s < 6; ++s) {
        const Vec3 o = c[sides[s][0]], du = c[sides[s][1]] - o, dv = c[sides[s][3]] - o;
        const Vec3 outward = cross(du, dv);
        addSheet(b, o, du, dv, cuts[s][0], cuts[s][1], tile, tile, outward);
    }
}

void addSheet(MeshBuilder& b, Vec3 o, Vec3 du, Vec3 dv, int nu, int nv, float tileU, float tileV,
              Vec3 outward) {
    nu = nu < 1 ? 1 : nu;
    nv = nv < 1 ? 1 : nv;
    const Vec3 n = cross(du, dv);
    const bool flip = n.x * outward.x + n.y * outward.y + n.z * outward.z < 0;
    std::vector<std::uint16_t> id;
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            const float fu = static_cast<float>(i) / static_cast<float>(nu);
            const float fv = static_cast<float>(j) / static_cast<float>(nv);
            id.push_back(b.vertex(o + du * fu + dv * fv, fu * tileU, fv * tileV));
        }
    auto at = [&](int i, int j) { return id[static_cast<std::size_t>(j * (nu + 1) + i)]; };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            if (flip)
                b.quad(at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j));
            else
                b.quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
        }
}

namespace {

// A gable over the wall end at x, facing `outward` (-1 or 1 along x): rows of pieces from the
// walls' top to the ridge, each row two pieces narrower, the pieces as wide as the wall's
// below. Mapped on from the wall: u across its depth, v up its height (from floor).
void addGable(MeshBuilder& b, float x, float outward, Vec3 lo, Vec3 hi, float ridge, float tile,
              int n) {
    const int rows = n / 2;
    const float depth = hi.y - lo.y, step = depth / static_cast<float>(n);
    std::map<std::uint16_t, Vec3> at; // where the vertices made here lie
    auto point = [&](int row, int k) {
        const Vec3 p{x, lo.y + step * static_cast<float>(row + k),
                     hi.z + (ridge - hi.z) * static_cast<float>(row) / static_cast<float>(rows)};
        const std::uint16_t id =
            b.vertex(p, (p.y - lo.y) / depth * tile, (p.z - lo.z) / (hi.z - lo.z) * tile);
        at[id] = p;
        return id;
    };
    auto tri = [&](std::uint16_t p, std::uint16_t q, std::uint16_t r) {
        const Vec3 a = at[p], e = at[q] - a, f = at[r] - a;
        if ((e.y * f.z - e.z * f.y) * outward > 0)
            b.tri(p, q, r);
        else
            b.tri(p, r, q);
    };
    for (int row = 0; row < rows; ++row) {
        const int count = n - 2 * row; // pieces along the row's lower edge
        std::vector<std::uint16_t> lower, upper;
        for (int k = 0; k <= count; ++k) lower.push_back(point(row, k));
        for (int k = 0; k <= count - 2; ++k) upper.push_back(point(row + 1, k));
        tri(lower[0], lower[1], upper[0]);
        for (int k = 1; k + 1 < count; ++k) {
            tri(lower[k], lower[k + 1], upper[k]);
            tri(lower[k], upper[k], upper[k - 1]);
        }
        tri(lower[count - 1], lower[count], upper[count - 2]);
    }
}

} // namespace

void addGabledBox(MeshBuilder& b, Vec3 lo, Vec3 hi, float ridge, float tile, int n) {
    n = n < 2 ? 2 : n & ~1;
    const float width = hi.x - lo.x, depth = hi.y - lo.y, height = hi.z - lo.z;
    const Vec3 up{0, 0, height}, across{width, 0, 0};
    // Front and back walls, the ends' walls below their gables, the floor.
    addSheet(b, lo, across, up, n, n, tile, tile, {0, -1, 0});
    addSheet(b, {lo.x, hi.y, lo.z}, across, up, n, n, tile, tile, {0, 1, 0});
    addSheet(b, lo, {0, depth, 0}, up, n, n, tile, tile, {-1, 0, 0});
    addSheet(b, {hi.x, lo.y, lo.z}, {0, depth, 0}, up, n, n, tile, tile, {1, 0, 0});
    addSheet(b, lo, across, {0, depth, 0}, n, n, 1, 1, {0, 0, -1});
    addGable(b, lo.x, -1, lo, hi, ridge, tile, n);
    addGable(b, hi.x, 1, lo, hi, ridge, tile, n);
    // The slopes from the walls' tops to the ridge.
    const float rise = ridge - hi.z;
    addSheet(b, {lo.x, lo.y, hi.z}, across, {0, depth / 2, rise}, n, n / 2, 1, 1,
             {0, -rise, depth / 2});
    addSheet(b, {lo.x, hi.y, hi.z}, across, {0, -depth / 2, rise}, n, n / 2, 1, 1,
             {0, rise, depth / 2});
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
    addTerrain(b, x0, y0, x1, y1, nx, ny, height, tile, {1, 1, 0}, {0, 0, 0});
}

namespace {

// n even steps from a to b, with the cuts inside (a, b) added in order.
std::vector<float> gridLines(float a, float b, int n, float cutLo, float cutHi) {
    std::vector<float> at;
    for (int i = 0; i <= n; ++i)
        at.push_back(a + (b - a) * static_cast<float>(i) / static_cast<float>(n));
    for (float cut : {cutLo, cutHi})
        if (cut > a && cut < b && cutLo < cutHi) at.push_back(cut);
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end(),
                         [](float p, float q) { return std::fabs(p - q) < 1e-3f; }),
             at.end());
    return at;
}

} // namespace

void addTerrain(MeshBuilder& b, float x0, float y0, float x1, float y1, int nx, int ny,
                float (*height)(float, float), float tile, Vec3 lo, Vec3 hi) {
    const std::vector<float> xs = gridLines(x0, x1, nx, lo.x, hi.x),
                             ys = gridLines(y0, y1, ny, lo.y, hi.y);
    const int cx = static_cast<int>(xs.size()) - 1, cy = static_cast<int>(ys.size()) - 1;
    std::vector<std::uint16_t> id;
    for (int j = 0; j <= cy; ++j)
        for (int i = 0; i <= cx; ++i) {
            const float x = xs[static_cast<std::size_t>(i)], y = ys[static_cast<std::size_t>(j)];
            id.push_back(b.vertex({x, y, height(x, y)}, (x - x0) / (x1 - x0) * tile,
                                  (y - y0) / (y1 - y0) * tile));
        }
    auto at = [&](int i, int j) { return id[static_cast<std::size_t>(j * (cx + 1) + i)]; };
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i) {
            const float mx = (xs[static_cast<std::size_t>(i)] +
                              xs[static_cast<std::size_t>(i) + 1]) /
                             2,
                        my = (ys[static_cast<std::size_t>(j)] +
                              ys[static_cast<std::size_t>(j) + 1]) /
                             2;
            if (mx > lo.x && mx < hi.x && my > lo.y && my < hi.y) continue; // under the building
            b.quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
        }
}

} // namespace scenes
