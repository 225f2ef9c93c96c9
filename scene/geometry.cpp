#include "scene/geometry.h"

#include <cstdlib>

namespace scene {

void compute_bounding_box(Object* o) {
    if (o->vertexCount <= 0) return;
    Vector lo = o->vertices[0].position;
    Vector hi = lo;
    for (int i = 1; i < o->vertexCount; ++i) {
        const Vector& p = o->vertices[i].position;
        if (p.x < lo.x) lo.x = p.x;
        if (p.y < lo.y) lo.y = p.y;
        if (p.z < lo.z) lo.z = p.z;
        if (p.x > hi.x) hi.x = p.x;
        if (p.y > hi.y) hi.y = p.y;
        if (p.z > hi.z) hi.z = p.z;
    }
    o->boxMin = lo;
    o->boxMax = hi;
}

void compute_normals(Object* o, Vector Vertex::*position, Vector Vertex::*vertexNormal,
                     Vector Face::*faceNormal) {
    int n = o->vertexCount;
    if (n <= 0) return;
    // Face counts per vertex; the sums gather in the vertex normal fields themselves.
    int* uses = static_cast<int*>(std::calloc(n, sizeof(int)));
    for (int i = 0; i < n; ++i) o->vertices[i].*vertexNormal = Vector{0, 0, 0};
    for (int i = 0; i < o->faceCount; ++i) {
        Face& f = o->faces[i];
        Vertex& a = o->vertices[f.a];
        Vertex& b = o->vertices[f.b];
        Vertex& c = o->vertices[f.c];
        Vector ab, bc, cross;
        vec_sub(&(a.*position), &(b.*position), &ab);
        vec_sub(&(b.*position), &(c.*position), &bc);
        vec_cross(&ab, &bc, &cross);
        vec_normalize(&cross, &(f.*faceNormal));
        const int idx[3] = {f.a, f.b, f.c};
        for (int v : idx) {
            vec_add(&(o->vertices[v].*vertexNormal), &(f.*faceNormal),
                    &(o->vertices[v].*vertexNormal));
            if (uses) ++uses[v];
        }
    }
    for (int i = 0; i < n; ++i) {
        Vector& vn = o->vertices[i].*vertexNormal;
        int count = uses ? uses[i] : 0;
        if (count > 0) {
            float c = static_cast<float>(count);
            vn = Vector{vn.x / c, vn.y / c, vn.z / c};
        }
        vec_normalize(&vn, &vn);
    }
    std::free(uses);
}

} // namespace scene
