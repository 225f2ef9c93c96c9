#include "scene/math.h"

#include <cmath>

namespace scene {

void vec_add(const Vector* a, const Vector* b, Vector* out) {
    *out = Vector{a->x + b->x, a->y + b->y, a->z + b->z};
}
void vec_sub(const Vector* a, const Vector* b, Vector* out) {
    *out = Vector{a->x - b->x, a->y - b->y, a->z - b->z};
}
void vec_negate(const Vector* a, Vector* out) {
    *out = Vector{-a->x, -a->y, -a->z};
}
void vec_cross(const Vector* a, const Vector* b, Vector* out) {
    *out = Vector{a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
}

float vec_length(const Vector* a) {
    float len = std::sqrt(a->x * a->x + a->y * a->y + a->z * a->z);
    return len == 0.0f ? 1.0f : len;
}

void vec_normalize(const Vector* a, Vector* out) {
    // vec_length reports 1 for zero, so the zero vector stays zero.
    float len = vec_length(a);
    *out = Vector{a->x / len, a->y / len, a->z / len};
}

void vec_lerp(const Vector* a, const Vector* b, float alpha, Vector* out) {
    *out = Vector{a->x + (b->x - a->x) * alpha, a->y + (b->y - a->y) * alpha,
                  a->z + (b->z - a->z) * alpha};
}

void mat_identity(Matrix* m) {
    *m = Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
}

void mat_mul(const Matrix* a, const Matrix* b, Matrix* out) {
    Matrix r;
    r.xx = a->xx * b->xx + a->xy * b->yx + a->xz * b->zx;
    r.xy = a->xx * b->xy + a->xy * b->yy + a->xz * b->zy;
    r.xz = a->xx * b->xz + a->xy * b->yz + a->xz * b->zz;
    r.xw = a->xx * b->xw + a->xy * b->yw + a->xz * b->zw + a->xw;
    r.yx = a->yx * b->xx + a->yy * b->yx + a->yz * b->zx;
    r.yy = a->yx * b->xy + a->yy * b->yy + a->yz * b->zy;
    r.yz = a->yx * b->xz + a->yy * b->yz + a->yz * b->zz;
    r.yw = a->yx * b->xw + a->yy * b->yw + a->yz * b->zw + a->yw;
    r.zx = a->zx * b->xx + a->zy * b->yx + a->zz * b->zx;
    r.zy = a->zx * b->xy + a->zy * b->yy + a->zz * b->zy;
    r.zz = a->zx * b->xz + a->zy * b->yz + a->zz * b->zz;
    r.zw = a->zx * b->xw + a->zy * b->yw + a->zz * b->zw + a->zw;
    *out = r;
}

void mat_transform(const Matrix* m, const Vector* v, Vector* out) {
    Vector r{m->xx * v->x + m->xy * v->y + m->xz * v->z + m->xw,
             m->yx * v->x + m->yy * v->y + m->yz * v->z + m->yw,
             m->zx * v->x + m->zy * v->y + m->zz * v->z + m->zw};
    *out = r;
}

void mat_rotate(const Matrix* m, const Vector* v, Vector* out) {
    Vector r{m->xx * v->x + m->xy * v->y + m->xz * v->z, m->yx * v->x + m->yy * v->y + m->yz * v->z,
             m->zx * v->x + m->zy * v->y + m->zz * v->z};
    *out = r;
}

void mat_scale(const Vector* s, Matrix* out) {
    *out = Matrix{s->x, 0, 0, 0, 0, s->y, 0, 0, 0, 0, s->z, 0};
}

void mat_premove(const Vector* v, const Matrix* m, Matrix* out) {
    Vector t;
    mat_transform(m, v, &t);
    Matrix r = *m;
    r.xw = t.x;
    r.yw = t.y;
    r.zw = t.z;
    *out = r;
}

int mat_inverse(const Matrix* a, Matrix* out) {
    float lx = a->xx * a->xx + a->xy * a->xy + a->xz * a->xz;
    float ly = a->yx * a->yx + a->yy * a->yy + a->yz * a->yz;
    float lz = a->zx * a->zx + a->zy * a->zy + a->zz * a->zz;
    if (lx == 0.0f || ly == 0.0f || lz == 0.0f) {
        mat_identity(out);
        return 13;
    }
    Matrix r{a->xx / lx, a->xy / lx, a->xz / lx, a->xw,      a->yx / ly, a->yy / ly,
             a->yz / ly, a->yw,      a->zx / lz, a->zy / lz, a->zz / lz, a->zw};
    *out = r;
    return 0;
}

void mat_normal(const Matrix* a, Matrix* out) {
    Matrix r = *a;
    float* rows[3] = {&r.xx, &r.yx, &r.zx};
    for (float* row : rows) {
        float len = std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
        if (len != 0.0f) {
            row[0] /= len;
            row[1] /= len;
            row[2] /= len;
        }
    }
    *out = r;
}

void mat_from_quat(const Quaternion* q, Matrix* out) {
    float w = q->w, x = q->x, y = q->y, z = q->z;
    Matrix r;
    r.xx = 1 - 2 * (y * y + z * z);
    r.xy = 2 * (x * y - w * z);
    r.xz = 2 * (x * z + w * y);
    r.xw = 0;
    r.yx = 2 * (x * y + w * z);
    r.yy = 1 - 2 * (x * x + z * z);
    r.yz = 2 * (y * z - w * x);
    r.yw = 0;
    r.zx = 2 * (x * z - w * y);
    r.zy = 2 * (y * z + w * x);
    r.zz = 1 - 2 * (x * x + y * y);
    r.zw = 0;
    *out = r;
}

void quat_zero(Quaternion* q) {
    *q = Quaternion{0, 0, 0, 0};
}
void quat_identity(Quaternion* q) {
    *q = Quaternion{1, 0, 0, 0};
}

void quat_from_angle_axis(float angle, float x, float y, float z, Quaternion* out) {
    float s = std::sin(angle / 2);
    *out = Quaternion{std::cos(angle / 2), x * s, y * s, z * s};
}

void quat_mul(const Quaternion* a, const Quaternion* b, Quaternion* out) {
    Quaternion r{a->w * b->w - a->x * b->x - a->y * b->y - a->z * b->z,
                 a->w * b->x + a->x * b->w + a->y * b->z - a->z * b->y,
                 a->w * b->y + a->y * b->w + a->z * b->x - a->x * b->z,
                 a->w * b->z + a->z * b->w + a->x * b->y - a->y * b->x};
    *out = r;
}

float quat_dot(const Quaternion* a, const Quaternion* b) {
    return a->w * b->w + a->x * b->x + a->y * b->y + a->z * b->z;
}

float quat_norm(const Quaternion* a) {
    return std::sqrt(quat_dot(a, a));
}

void quat_inverse(const Quaternion* a, Quaternion* out) {
    float d = quat_dot(a, a);
    *out = Quaternion{a->w / d, -a->x / d, -a->y / d, -a->z / d};
}

void quat_unit_inverse(const Quaternion* a, Quaternion* out) {
    float n = quat_norm(a);
    *out = Quaternion{a->w / n, -a->x / n, -a->y / n, -a->z / n};
}

void quat_exp(const Quaternion* a, Quaternion* out) {
    float s = std::sqrt(a->x * a->x + a->y * a->y + a->z * a->z);
    if (s == 0.0f) {
        *out = Quaternion{1.0f, a->x, a->y, a->z};
        return;
    }
    float k = std::sin(s) / s;
    *out = Quaternion{std::cos(s), a->x * k, a->y * k, a->z * k};
}

void quat_ln(const Quaternion* a, Quaternion* out) {
    float s = std::sqrt(a->x * a->x + a->y * a->y + a->z * a->z);
    float theta = a->w == 0.0f ? 1.5707963267948966f : std::atan(s / a->w);
    *out = Quaternion{0.0f, a->x * theta, a->y * theta, a->z * theta};
}

void quat_ln_quotient(const Quaternion* a, const Quaternion* b, Quaternion* out) {
    Quaternion inv, p;
    quat_inverse(a, &inv);
    quat_mul(&inv, b, &p);
    float k = quat_dot(a, b) / (quat_norm(a) * quat_norm(b));
    float s = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    float theta = k == 0.0f ? 1.5707963267948966f : std::atan(s / k);
    if (s == 0.0f) {
        *out = Quaternion{0.0f, p.x * theta, p.y * theta, p.z * theta};
        return;
    }
    float f = theta / s;
    *out = Quaternion{0.0f, p.x * f, p.y * f, p.z * f};
}

void quat_slerp(const Quaternion* a, const Quaternion* b, float spins, float t, Quaternion* out) {
    float d = quat_dot(a, b);
    float w1, w2;
    if (1.0f - std::fabs(d) < 1e-06f) {
        w1 = 1.0f - t;
        w2 = t;
    } else {
        float theta = std::acos(d);
        float phi = theta + spins * 3.14159265358979323846f;
        float st = std::sin(theta);
        w1 = std::sin(theta - t * phi) / st;
        w2 = std::sin(t * phi) / st;
    }
    Quaternion r{w1 * a->w + w2 * b->w, w1 * a->x + w2 * b->x, w1 * a->y + w2 * b->y,
                 w1 * a->z + w2 * b->z};
    *out = r;
}

} // namespace scene
