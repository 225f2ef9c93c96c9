#pragma once
// Building meshes from solids: every solid is closed and its faces run counter-clockwise seen
// from outside, so back-face culling and a painter's sort show it whole from any side.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "content/scenes/model.h"

namespace scenes {

// An affine map: p -> x * p.x + y * p.y + z * p.z + t.
struct Transform {
    Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1}, t;
    Vec3 apply(Vec3 p) const { return x * p.x + y * p.y + z * p.z + t; }
};
Transform translate(Vec3 t);
Transform rotateZ(float radians);
Transform rotateX(float radians);
Transform rotateY(float radians);
Transform scaled(Vec3 s);
// a after b: (a * b)(p) = a(b(p)).
Transform operator*(const Transform& a, const Transform& b);

class MeshBuilder {
  public:
    MeshBuilder(std::string name, Vec3 origin);
    // Adds a vertex given in the solid's own coordinates, placed by `place`.
    std::uint16_t vertex(Vec3 p, float u, float v);
    // Counter-clockwise seen from outside; faces of no area are left out.
    void tri(std::uint16_t a, std::uint16_t b, std::uint16_t c);
    void quad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);
    Mesh take();
    std::size_t faceCount() const { return mesh.faces.size(); }

    Transform place;              // applied to every vertex added
    Vec3 (*bend)(Vec3) = nullptr; // then this, when set: land laid along a curve
    std::uint16_t material = 0;   // of the faces added
    std::uint32_t smoothing = 1;

  private:
    Mesh mesh;
};

// A box from lo to hi with its own mapping on each side (u, v from 0 to `tile`), each side cut
// into divisions x divisions pieces.
void addBox(MeshBuilder& b, Vec3 lo, Vec3 hi, float tile = 1, int divisions = 1);
// The same box cut into nx, ny and nz pieces along x, y and z: a side spanning x and z gets
// nx by nz pieces.
void addBox(MeshBuilder& b, Vec3 lo, Vec3 hi, float tile, int nx, int ny, int nz);
// A flat sheet from o spanning du and dv, cut into nu x nv pieces, mapped u 0..tileU along du
// and v 0..tileV along dv, its faces turned towards `outward`.
void addSheet(MeshBuilder& b, Vec3 o, Vec3 du, Vec3 dv, int nu, int nv, float tileU, float tileV,
              Vec3 outward);
// A house in one closed solid: walls from lo to hi, and over the two ends at x = lo.x and hi.x
// gables rising to a ridge along x at height `ridge` (the slopes between the walls' tops and
// the ridge close it; a roof laid over them hides them). Walls are cut into n x n pieces
// (n even), the gables into n / 2 rows and the slopes into n x n / 2 pieces, so every piece
// meets its neighbours edge to edge. Walls and gables map v 0..tile over the walls' height
// and on up, so courses run on across the gables.
void addGabledBox(MeshBuilder& b, Vec3 lo, Vec3 hi, float ridge, float tile, int n);
// A solid of revolution about z: profile points (radius, height) from bottom to top; a radius
// of 0 closes the solid there. `seam` gives the mapping its own column of vertices where u
// wraps (for textures), else the vertices are shared all round (smooth gouraud light).
void addLathe(MeshBuilder& b, const std::vector<std::pair<float, float>>& profile, int segments,
              bool seam, float uTile = 1);
// A closed cylinder about z from z0 to z1.
void addCylinder(MeshBuilder& b, float radius, float z0, float z1, int segments, bool seam);
// A sphere about the origin.
void addSphere(MeshBuilder& b, float radius, int segments, int rings, bool seam);
// A convex outline in the x-z plane (counter-clockwise seen from -y) drawn out from y0 to y1.
void addPrism(MeshBuilder& b, const std::vector<std::pair<float, float>>& outline, float y0,
              float y1, float tile = 1);
// A height field over x0..x1, y0..y1 facing up, nx by ny cells, mapped `tile` times across.
void addTerrain(MeshBuilder& b, float x0, float y0, float x1, float y1, int nx, int ny,
                float (*height)(float, float), float tile);
// The same with a hole where a building stands on it (x and y from `lo` to `hi`): grid lines
// run along the hole's edges and no cell reaches under the building, so that none sorts half
// in front of its walls and half behind.
void addTerrain(MeshBuilder& b, float x0, float y0, float x1, float y1, int nx, int ny,
                float (*height)(float, float), float tile, Vec3 lo, Vec3 hi);

} // namespace scenes
