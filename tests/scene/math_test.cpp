#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene/math.h"

using namespace scene;

namespace {

constexpr float PI = 3.14159265358979323846f;

void expect_vec(const Vector& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

void expect_identity(const Matrix& m) {
    const Matrix id{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    const float* a = &m.xx;
    const float* b = &id.xx;
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(a[i], b[i]) << "element " << i;
}

TEST(VectorMath, LengthOfZeroIsOneAndNormalizeKeepsZero) {
    Vector zero{0, 0, 0};
    EXPECT_EQ(vec_length(&zero), 1.0f);
    Vector n;
    vec_normalize(&zero, &n);
    expect_vec(n, 0, 0, 0, 0);
    Vector v{3, 4, 12};
    EXPECT_FLOAT_EQ(vec_length(&v), 13.0f);
    vec_normalize(&v, &v); // output may alias the input
    expect_vec(v, 3.0f / 13, 4.0f / 13, 12.0f / 13);
}

TEST(VectorMath, CrossLerpAndAliasing) {
    Vector x{1, 0, 0}, y{0, 1, 0}, c;
    vec_cross(&x, &y, &c);
    expect_vec(c, 0, 0, 1, 0);
    Vector a{1, 2, 3}, b{5, 6, 7};
    vec_lerp(&a, &b, 0.25f, &a);
    expect_vec(a, 2, 3, 4);
    vec_sub(&b, &a, &b);
    expect_vec(b, 3, 3, 3);
    vec_cross(&a, &b, &a); // (2,3,4) x (3,3,3)
    expect_vec(a, 3 * 3 - 4 * 3, 4 * 3 - 2 * 3, 2 * 3 - 3 * 3);
}

TEST(MatrixMath, MulThenTransformEqualsTransformingTwice) {
    Matrix a{0.5f, -1, 2, 3, 1, 0.25f, 0, -4, 0, 1, 1.5f, 7};
    Matrix b{1, 2, 0, -1, 0, 1, 3, 2, -2, 0, 1, 0.5f};
    Matrix ab;
    mat_mul(&a, &b, &ab);
    Vector v{0.3f, -1.7f, 2.2f}, once, twice, direct;
    mat_transform(&b, &v, &once);
    mat_transform(&a, &once, &twice);
    mat_transform(&ab, &v, &direct);
    expect_vec(direct, twice.x, twice.y, twice.z, 1e-4f);
    // Aliasing the output with either input gives the same product.
    Matrix left = a, right = b;
    mat_mul(&left, &b, &left);
    mat_mul(&a, &right, &right);
    EXPECT_EQ(0, std::memcmp(&left, &ab, sizeof ab));
    EXPECT_EQ(0, std::memcmp(&right, &ab, sizeof ab));
}

TEST(MatrixMath, RotateIgnoresOffsetAndPremoveMovesIt) {
    Matrix m{0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 1, 30};
    Vector v{1, 2, 3}, r;
    mat_rotate(&m, &v, &r);
    expect_vec(r, -2, 1, 3, 0);
    Matrix moved;
    mat_premove(&v, &m, &moved);
    expect_vec(Vector{moved.xw, moved.yw, moved.zw}, 8, 21, 33, 0);
    EXPECT_EQ(moved.xy, -1.0f);
    Vector s{2, 3, 4};
    Matrix sm;
    mat_scale(&s, &sm);
    mat_transform(&sm, &v, &r);
    expect_vec(r, 2, 6, 12, 0);
}

TEST(MatrixMath, InverseOfAxesAndOfASingularMatrix) {
    // Orthogonal axes with lengths 2, 1 and 0.5: the inverse maps a point to its coordinates
    // along those axes; the offset column is kept as it is.
    Matrix axes{0, 2, 0, 5, -1, 0, 0, 6, 0, 0, 0.5f, 7};
    Matrix inv;
    EXPECT_EQ(0, mat_inverse(&axes, &inv));
    EXPECT_FLOAT_EQ(inv.xy, 0.5f);
    EXPECT_FLOAT_EQ(inv.yx, -1.0f);
    EXPECT_FLOAT_EQ(inv.zz, 2.0f);
    EXPECT_EQ(inv.xw, 5.0f);
    EXPECT_EQ(inv.zw, 7.0f);
    Matrix zeroRow{1, 0, 0, 9, 0, 0, 0, 9, 0, 0, 1, 9};
    EXPECT_EQ(13, mat_inverse(&zeroRow, &zeroRow));
    expect_identity(zeroRow);
}

TEST(MatrixMath, NormalDividesRowsByLengthAndLeavesZeroRows) {
    Matrix m{3, 0, 4, 8, 0, 0, 0, 9, 0, 2, 0, 1};
    mat_normal(&m, &m);
    EXPECT_FLOAT_EQ(m.xx, 0.6f);
    EXPECT_FLOAT_EQ(m.xz, 0.8f);
    EXPECT_EQ(m.yy, 0.0f);
    EXPECT_FLOAT_EQ(m.zy, 1.0f);
    EXPECT_EQ(m.xw, 8.0f);
    EXPECT_EQ(m.yw, 9.0f);
}

TEST(QuaternionMath, ZeroQuaternionGivesIdentityRotation) {
    Quaternion q;
    quat_zero(&q);
    Matrix m;
    mat_from_quat(&q, &m);
    expect_identity(m);
}

TEST(QuaternionMath, AngleAxisRotatesLikeTheMatrix) {
    Quaternion q;
    quat_from_angle_axis(PI / 2, 0, 0, 1, &q);
    Matrix m;
    mat_from_quat(&q, &m);
    Vector x{1, 0, 0}, r;
    mat_transform(&m, &x, &r);
    expect_vec(r, 0, 1, 0);
    // Two quarter turns make a half turn.
    Quaternion half;
    quat_mul(&q, &q, &half);
    EXPECT_NEAR(half.w, 0.0f, 1e-6f);
    EXPECT_NEAR(half.z, 1.0f, 1e-6f);
}

TEST(QuaternionMath, HamiltonProductAndInverses) {
    Quaternion a{1, 2, 3, 4}, b{-2, 0.5f, 1, -1}, p;
    quat_mul(&a, &b, &p);
    EXPECT_FLOAT_EQ(p.w, 1 * -2 - 2 * 0.5f - 3 * 1 - 4 * -1);
    EXPECT_FLOAT_EQ(p.x, 1 * 0.5f + 2 * -2 + 3 * -1 - 4 * 1);
    EXPECT_FLOAT_EQ(p.y, 1 * 1 + 3 * -2 + 4 * 0.5f - 2 * -1);
    EXPECT_FLOAT_EQ(p.z, 1 * -1 + 4 * -2 + 2 * 1 - 3 * 0.5f);
    Quaternion inv, one;
    quat_inverse(&a, &inv);
    quat_mul(&a, &inv, &one);
    EXPECT_NEAR(one.w, 1, 1e-6f);
    EXPECT_NEAR(one.x, 0, 1e-6f);
    quat_unit_inverse(&a, &inv);
    EXPECT_FLOAT_EQ(inv.w * std::sqrt(30.0f), 1.0f);
    EXPECT_FLOAT_EQ(inv.x * std::sqrt(30.0f), -2.0f);
}

TEST(QuaternionMath, LogarithmsAndExponential) {
    Quaternion axis{0, 0, 1, 0}, l;
    quat_ln(&axis, &l);
    EXPECT_EQ(l.w, 0.0f);
    EXPECT_FLOAT_EQ(l.y, PI / 2);
    Quaternion q;
    quat_from_angle_axis(1.2f, 0.6f, 0, 0.8f, &q);
    // The angle scales the vector part as it stands: theta = atan(|v| / w) = 0.6.
    quat_ln(&q, &l);
    EXPECT_NEAR(l.x, 0.6f * q.x, 1e-6f);
    EXPECT_NEAR(l.z, 0.6f * q.z, 1e-6f);
    Quaternion half{0, 0.3f * 0.6f, 0, 0.3f * 0.8f}, back;
    quat_exp(&half, &back);
    EXPECT_NEAR(back.w, std::cos(0.3f), 1e-6f);
    EXPECT_NEAR(back.x, 0.6f * std::sin(0.3f), 1e-6f);
    EXPECT_NEAR(back.z, 0.8f * std::sin(0.3f), 1e-6f);
    Quaternion zero{0.5f, 0, 0, 0}, e;
    quat_exp(&zero, &e);
    EXPECT_EQ(e.w, 1.0f);
    // ln(a^-1 b) between two turns about one axis is half their difference along the axis.
    Quaternion a, b;
    quat_from_angle_axis(0.4f, 0, 1, 0, &a);
    quat_from_angle_axis(1.0f, 0, 1, 0, &b);
    quat_ln_quotient(&a, &b, &l);
    EXPECT_NEAR(l.y, 0.3f, 1e-6f);
    EXPECT_NEAR(l.x, 0.0f, 1e-6f);
    quat_ln_quotient(&a, &a, &l);
    EXPECT_EQ(l.y, 0.0f);
}

TEST(QuaternionMath, SlerpWithAndWithoutSpins) {
    Quaternion a{1, 0, 0, 0}, b, r;
    quat_from_angle_axis(PI / 2, 0, 0, 1, &b);
    quat_slerp(&a, &b, 0, 0.5f, &r);
    EXPECT_NEAR(r.w, std::cos(PI / 8), 1e-6f);
    EXPECT_NEAR(r.z, std::sin(PI / 8), 1e-6f);
    // One spin adds a half turn of the quaternion arc (a whole turn of the rotation).
    quat_slerp(&a, &b, 1, 0.5f, &r);
    float theta = PI / 4, phi = theta + PI;
    float w1 = std::sin(theta - 0.5f * phi) / std::sin(theta);
    EXPECT_NEAR(r.w, w1 + std::sin(0.5f * phi) / std::sin(theta) * b.w, 1e-5f);
    EXPECT_NEAR(r.z, std::sin(0.5f * phi) / std::sin(theta) * b.z, 1e-5f);
    // Nearly equal ends interpolate linearly.
    quat_slerp(&a, &a, 3, 0.3f, &r);
    EXPECT_FLOAT_EQ(r.w, 1.0f);
}

} // namespace
