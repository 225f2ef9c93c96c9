#pragma once
// Vectors, 3x4 affine matrices and quaternions in single precision. Every operation writes
// through its output argument, which may be the same record as an input.

namespace scene {

struct Vector {
    float x, y, z;
};

// Rows of a 3x4 matrix; the fourth column is the offset. Points are column vectors.
struct Matrix {
    float xx, xy, xz, xw;
    float yx, yy, yz, yw;
    float zx, zy, zz, zw;
};

// w is the scalar part and comes first in memory.
struct Quaternion {
    float w, x, y, z;
};

void vec_add(const Vector* a, const Vector* b, Vector* out);
void vec_sub(const Vector* a, const Vector* b, Vector* out);
void vec_negate(const Vector* a, Vector* out);
void vec_cross(const Vector* a, const Vector* b, Vector* out);
// A zero vector reports length 1 so callers may divide by it.
float vec_length(const Vector* a);
void vec_normalize(const Vector* a, Vector* out);
void vec_lerp(const Vector* a, const Vector* b, float alpha, Vector* out);

void mat_identity(Matrix* m);
void mat_mul(const Matrix* a, const Matrix* b, Matrix* out);
void mat_transform(const Matrix* m, const Vector* v, Vector* out);
void mat_rotate(const Matrix* m, const Vector* v, Vector* out);
void mat_scale(const Vector* s, Matrix* out);
void mat_premove(const Vector* v, const Matrix* m, Matrix* out);
// Inverse of a matrix whose rows are orthogonal axes; 13 (and the identity) for a zero row.
int mat_inverse(const Matrix* a, Matrix* out);
void mat_normal(const Matrix* a, Matrix* out);
void mat_from_quat(const Quaternion* q, Matrix* out);

void quat_zero(Quaternion* q);
void quat_identity(Quaternion* q);
void quat_from_angle_axis(float angle, float x, float y, float z, Quaternion* out);
void quat_mul(const Quaternion* a, const Quaternion* b, Quaternion* out);
float quat_dot(const Quaternion* a, const Quaternion* b);
float quat_norm(const Quaternion* a);
void quat_inverse(const Quaternion* a, Quaternion* out);
void quat_unit_inverse(const Quaternion* a, Quaternion* out);
void quat_exp(const Quaternion* a, Quaternion* out);
void quat_ln(const Quaternion* a, Quaternion* out);
void quat_ln_quotient(const Quaternion* a, const Quaternion* b, Quaternion* out);
// Spherical interpolation that adds `spins` extra half-turn multiples of pi to the arc.
void quat_slerp(const Quaternion* a, const Quaternion* b, float spins, float t, Quaternion* out);

} // namespace scene
