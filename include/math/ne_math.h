// The physics engine's value types: vector, matrix, quaternion, transform.
//
// Single-precision throughout; no operation allocates. The game's own maths
// and its driving code include this header too, so it is the one place where
// neV3 and its friends are defined.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

using f32 = float;
using f64 = double;
using s32 = int;
using u32 = unsigned int;
using u8 = unsigned char;

// A squared length, magnitude or component below this counts as zero.
constexpr f32 NE_ZERO = 1.0e-6f;
// A 3×3 determinant below this in magnitude makes the matrix singular.
constexpr f32 NE_SINGULAR_DETERMINANT = 1.0e-17f;
// π: the one definition for the engine, the game and its generator.
constexpr double NE_PI_D = 3.14159265358979323846;
constexpr double NE_TWO_PI_D = 2 * NE_PI_D;
constexpr f32 NE_PI = f32(NE_PI_D);
constexpr f32 NE_HALF_PI = f32(NE_PI_D / 2);

// ---- Index checks ------------------------------------------------------

// Receives a failed element-access check: the expression text, the header's
// name and the line. The default prints one line on stderr and returns; the
// access then goes ahead on the nearest valid element, so a bad index never
// reads or writes outside the record. Tests install their own to watch.
using neAssertReportFn = void (*)(const char* expression, const char* header, int line);

inline void neDefaultAssertReport(const char* expression, const char* header, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, header, line);
}

inline neAssertReportFn& neAssertReport() {
    static neAssertReportFn report = neDefaultAssertReport;
    return report;
}

#define NE_INDEX_CHECK(condition, header)                              \
    do {                                                               \
        if (!(condition)) neAssertReport()(#condition, header, __LINE__); \
    } while (0)

// ---- Scalars -------------------------------------------------------------

inline bool neIsConsiderZero(f32 f) { return std::fabs(f) < NE_ZERO; }
inline f32 neAbs(f32 f) { return std::fabs(f); }
inline f32 neAbsF(f32 f) { return std::fabs(f); }
inline f64 neAbsD(f64 d) { return std::fabs(d); }
// Arc cosine of a cosine that round-off may have pushed just outside [-1, 1].
inline f32 neAcos(f32 c) {
    if (c > 1.0f) c = 1.0f;
    if (c < -1.0f) c = -1.0f;
    return std::acos(c);
}
inline void neSwapFloats(f32& a, f32& b) {
    f32 t = a;
    a = b;
    b = t;
}

// ---- neV3 ------------------------------------------------------------------

// A 3-vector with a fourth float w. Only x, y, z take part in arithmetic. w is
// 0 in directions and in a transform's rotation columns and 1 in its position;
// operations that build a new vector by value leave w of the result at 0 here
// (callers must not rely on it). Copies carry all four floats.
struct neV3 {
    f32 x, y, z, w;

    f32& operator[](s32 I) {
        NE_INDEX_CHECK(I >= 0, "ne_math_v3_inline");
        NE_INDEX_CHECK(I <= 2, "ne_math_v3_inline");
        return I <= 0 ? x : (I == 1 ? y : z);
    }
    f32 operator[](s32 I) const {
        NE_INDEX_CHECK(I >= 0, "ne_math_v3_inline");
        NE_INDEX_CHECK(I <= 2, "ne_math_v3_inline");
        return I <= 0 ? x : (I == 1 ? y : z);
    }

    neV3& Set(f32 nx, f32 ny, f32 nz) {
        x = nx;
        y = ny;
        z = nz;
        return *this;
    }
    neV3& SetAll(f32 f) { return Set(f, f, f); }
    neV3& SetZero() { return Set(0.0f, 0.0f, 0.0f); }
    f32 GetX() const { return x; }
    f32 GetY() const { return y; }
    f32 GetZ() const { return z; }

    bool IsZero() const { return neIsConsiderZero(x) && neIsConsiderZero(y) && neIsConsiderZero(z); }
    f32 Dot(const neV3& b) const { return x * b.x + y * b.y + z * b.z; }
    neV3 Cross(const neV3& b) const {
        return neV3{y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x, 0.0f};
    }
    // 0 for vectors whose squared length counts as zero (shorter than 0.001).
    f32 Length() const {
        f32 d = Dot(*this);
        return neIsConsiderZero(d) ? 0.0f : std::sqrt(d);
    }
    // Unit length, or the zero vector when the length counts as zero.
    neV3& Normalize() {
        f32 l = Length();
        if (l == 0.0f) return SetZero();
        return *this *= 1.0f / l;
    }
    // (v·d)·d, d assumed unit.
    neV3 Project(const neV3& d) const { return d * Dot(d); }
    // v − (v·d)·d in place, d assumed unit.
    neV3& RemoveComponent(const neV3& d) {
        f32 k = Dot(d);
        x -= d.x * k;
        y -= d.y * k;
        z -= d.z * k;
        return *this;
    }
    // Turns about the x axis by a radians.
    neV3& RotateX(f32 a) {
        f32 c = std::cos(a), s = std::sin(a);
        f32 ny = c * y - s * z, nz = c * z + s * y;
        y = ny;
        z = nz;
        return *this;
    }
    // Turns about the z axis by a radians.
    neV3& RotateZ(f32 a) {
        f32 c = std::cos(a), s = std::sin(a);
        f32 nx = c * x - s * y, ny = c * y + s * x;
        x = nx;
        y = ny;
        return *this;
    }

    neV3 operator+(const neV3& b) const { return neV3{x + b.x, y + b.y, z + b.z, 0.0f}; }
    neV3 operator-(const neV3& b) const { return neV3{x - b.x, y - b.y, z - b.z, 0.0f}; }
    neV3 operator-() const { return neV3{-x, -y, -z, 0.0f}; }
    neV3 operator*(f32 f) const { return neV3{x * f, y * f, z * f, 0.0f}; }
    neV3 operator/(f32 f) const { return *this * (1.0f / f); }
    neV3& operator+=(const neV3& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    neV3& operator-=(const neV3& b) {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    neV3& operator*=(f32 f) {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
};

inline neV3 operator*(f32 f, const neV3& v) { return v * f; }
inline neV3 neMakeV3(f32 x, f32 y, f32 z) { return neV3{x, y, z, 0.0f}; }

static_assert(sizeof(neV3) == 16, "neV3 is four floats");

// ---- neM3 ------------------------------------------------------------------

// A 3×3 matrix of three columns: M[c] is column c, M[c][r] the element in row r.
struct neM3 {
    neV3 M[3];

    neV3& operator[](s32 I) {
        NE_INDEX_CHECK(I >= 0, "ne_math_m3_inline");
        NE_INDEX_CHECK(I < 3, "ne_math_m3_inline");
        return M[I < 0 ? 0 : (I > 2 ? 2 : I)];
    }
    const neV3& operator[](s32 I) const {
        NE_INDEX_CHECK(I >= 0, "ne_math_m3_inline");
        NE_INDEX_CHECK(I < 3, "ne_math_m3_inline");
        return M[I < 0 ? 0 : (I > 2 ? 2 : I)];
    }

    neM3& SetIdentity() {
        M[0].Set(1, 0, 0);
        M[1].Set(0, 1, 0);
        M[2].Set(0, 0, 1);
        return *this;
    }
    neM3& SetZero() {
        M[0].SetZero();
        M[1].SetZero();
        M[2].SetZero();
        return *this;
    }
    neM3& SetColumns(const neV3& c0, const neV3& c1, const neV3& c2) {
        M[0].Set(c0.x, c0.y, c0.z);
        M[1].Set(c1.x, c1.y, c1.z);
        M[2].Set(c2.x, c2.y, c2.z);
        return *this;
    }
    neV3 GetColumn(s32 i) const { return (*this)[i]; }

    neV3 operator*(const neV3& v) const { return M[0] * v.x + M[1] * v.y + M[2] * v.z; }
    // The transpose times v: each column dotted with v.
    neV3 TransposeMul(const neV3& v) const { return neMakeV3(M[0].Dot(v), M[1].Dot(v), M[2].Dot(v)); }
    neM3 operator*(const neM3& b) const {
        neM3 r;
        for (s32 j = 0; j < 3; ++j) {
            r.M[j] = *this * b.M[j];
            r.M[j].w = 0.0f;
        }
        return r;
    }
    neM3 operator+(const neM3& b) const {
        neM3 r;
        for (s32 j = 0; j < 3; ++j) r.M[j] = M[j] + b.M[j];
        return r;
    }
    neM3 operator-(const neM3& b) const {
        neM3 r;
        for (s32 j = 0; j < 3; ++j) r.M[j] = M[j] - b.M[j];
        return r;
    }
    neM3 operator*(f32 f) const {
        neM3 r;
        for (s32 j = 0; j < 3; ++j) r.M[j] = M[j] * f;
        return r;
    }

    // Transpose of m; works when m is this matrix itself.
    neM3& SetTranspose(const neM3& m) {
        neM3 t;
        t.M[0].Set(m.M[0].x, m.M[1].x, m.M[2].x);
        t.M[1].Set(m.M[0].y, m.M[1].y, m.M[2].y);
        t.M[2].Set(m.M[0].z, m.M[1].z, m.M[2].z);
        t.M[0].w = t.M[1].w = t.M[2].w = 0.0f;
        *this = t;
        return *this;
    }
    // Inverse by cofactors. False, and this matrix unusable, when m is singular.
    bool SetInvert(const neM3& m) {
        neV3 r0 = m.M[1].Cross(m.M[2]);
        neV3 r1 = m.M[2].Cross(m.M[0]);
        neV3 r2 = m.M[0].Cross(m.M[1]);
        f32 det = m.M[0].Dot(r0);
        if (std::fabs(det) < NE_SINGULAR_DETERMINANT) return false;
        f32 k = 1.0f / det;
        // r0, r1, r2 are the rows of the inverse (times det).
        M[0].Set(r0.x * k, r1.x * k, r2.x * k);
        M[1].Set(r0.y * k, r1.y * k, r2.y * k);
        M[2].Set(r0.z * k, r1.z * k, r2.z * k);
        M[0].w = M[1].w = M[2].w = 0.0f;
        return true;
    }
    // This matrix times the cross-product matrix of v.
    neM3 MulCrossMatrix(const neV3& v) const {
        neM3 r;
        r.M[0] = M[1] * v.z - M[2] * v.y;
        r.M[1] = M[2] * v.x - M[0] * v.z;
        r.M[2] = M[0] * v.y - M[1] * v.x;
        return r;
    }
    // Rz·Ry·Rx from angles in radians: the x turn applies first.
    neM3& RotateXYZ(const neV3& angles) {
        f32 cx = std::cos(angles.x), sx = std::sin(angles.x);
        f32 cy = std::cos(angles.y), sy = std::sin(angles.y);
        f32 cz = std::cos(angles.z), sz = std::sin(angles.z);
        neM3 rx, ry, rz;
        rx.SetColumns(neMakeV3(1, 0, 0), neMakeV3(0, cx, sx), neMakeV3(0, -sx, cx));
        ry.SetColumns(neMakeV3(cy, 0, -sy), neMakeV3(0, 1, 0), neMakeV3(sy, 0, cy));
        rz.SetColumns(neMakeV3(cz, sz, 0), neMakeV3(-sz, cz, 0), neMakeV3(0, 0, 1));
        *this = rz * (ry * rx);
        return *this;
    }
};

static_assert(sizeof(neM3) == 48, "neM3 is three neV3 columns");

inline neM3 MultiplyM3(const neM3& a, const neM3& b) { return a * b; }

// Each column of m replaced by v × column: the cross-product matrix of v times m.
inline neM3 neCrossMatrixMul(const neV3& v, const neM3& m) {
    neM3 r;
    for (s32 j = 0; j < 3; ++j) r.M[j] = v.Cross(m.M[j]);
    return r;
}

// ---- neQ -------------------------------------------------------------------

// A quaternion, scalar w last; the identity is (0, 0, 0, 1).
struct neQ {
    f32 x, y, z, w;

    neQ& SetIdentity() { return Set(0.0f, 0.0f, 0.0f, 1.0f); }
    neQ& Set(f32 nx, f32 ny, f32 nz, f32 nw) {
        x = nx;
        y = ny;
        z = nz;
        w = nw;
        return *this;
    }
    f32 Dot(const neQ& b) const { return x * b.x + y * b.y + z * b.z + w * b.w; }
    // Scales to unit length. No zero test: callers that may hold a zero
    // quaternion use neSafeNormalize below.
    neQ& Normalize() {
        f32 k = 1.0f / std::sqrt(x * x + y * y + z * z + w * w);
        x *= k;
        y *= k;
        z *= k;
        w *= k;
        return *this;
    }
    neQ& Negate() { return Set(-x, -y, -z, -w); }

    // Hamilton product this·b.
    neQ operator*(const neQ& b) const {
        return neQ{w * b.x + x * b.w + y * b.z - z * b.y, w * b.y - x * b.z + y * b.w + z * b.x,
                   w * b.z + x * b.y - y * b.x + z * b.w, w * b.w - x * b.x - y * b.y - z * b.z};
    }
    neQ operator*(f32 f) const { return neQ{x * f, y * f, z * f, w * f}; }
    neQ operator+(const neQ& b) const { return neQ{x + b.x, y + b.y, z + b.z, w + b.w}; }

    // Rotation matrix of a unit quaternion.
    neM3 ToM3() const {
        f32 xs = 2 * x, ys = 2 * y, zs = 2 * z;
        neM3 m;
        m.M[0] = neV3{1 - (ys * y + zs * z), xs * y + w * zs, xs * z - w * ys, 0.0f};
        m.M[1] = neV3{xs * y - w * zs, 1 - (xs * x + zs * z), ys * z + w * xs, 0.0f};
        m.M[2] = neV3{xs * z + w * ys, ys * z - w * xs, 1 - (xs * x + ys * y), 0.0f};
        return m;
    }

    // Quaternion of a rotation matrix, with w ≥ 0, normalised.
    neQ& SetupFromMatrix3(const neM3& m) {
        const neV3 *c0 = &m.M[0], *c1 = &m.M[1], *c2 = &m.M[2];
        f32 w2 = (c0->x + c1->y + c2->z + 1.0f) * 0.25f;
        f32 x2 = w2 - (c1->y + c2->z) * 0.5f;
        f32 y2 = w2 - (c0->x + c2->z) * 0.5f;
        f32 z2 = w2 - (c0->x + c1->y) * 0.5f;
        if (w2 > x2 && w2 > y2 && w2 > z2) {
            w = std::sqrt(w2);
            f32 k = 0.25f / w;
            x = (c1->z - c2->y) * k;
            y = (c2->x - c0->z) * k;
            z = (c0->y - c1->x) * k;
        } else if (x2 >= w2 && x2 > y2 && x2 > z2) {
            x = std::sqrt(x2);
            f32 k = 0.25f / x;
            w = (c1->z - c2->y) * k;
            y = (c0->y + c1->x) * k;
            z = (c0->z + c2->x) * k;
        } else if (y2 > z2) {
            y = std::sqrt(y2);
            f32 k = 0.25f / y;
            w = (c2->x - c0->z) * k;
            x = (c0->y + c1->x) * k;
            z = (c1->z + c2->y) * k;
        } else {
            z = std::sqrt(z2);
            f32 k = 0.25f / z;
            w = (c0->y - c1->x) * k;
            x = (c0->z + c2->x) * k;
            y = (c1->z + c2->y) * k;
        }
        if (w < 0.0f) Negate();
        return Normalize();
    }
};

static_assert(sizeof(neQ) == 16, "neQ is four floats");

// Normalises q; a quaternion of zero length becomes the identity instead of NaN.
inline neQ& neSafeNormalize(neQ& q) {
    f32 d = q.Dot(q);
    if (!(d > 0.0f) || !std::isfinite(d)) return q.SetIdentity();
    return q.Normalize();
}

// ---- neT3 ------------------------------------------------------------------

// A rigid transform: rotation then position. With SetHomogeneous applied its
// sixteen floats are an OpenGL column-major 4×4 matrix.
struct neT3 {
    neM3 rot;
    neV3 pos;

    neT3& SetHomogeneous() {
        rot.M[0].w = 0.0f;
        rot.M[1].w = 0.0f;
        rot.M[2].w = 0.0f;
        pos.w = 1.0f;
        return *this;
    }
    neT3& SetIdentity() {
        rot.SetIdentity();
        pos.SetZero();
        return SetHomogeneous();
    }
    // rot·v + pos: v taken as a point.
    neV3 operator*(const neV3& v) const { return rot * v + pos; }
    neT3 operator*(const neT3& t) const {
        neT3 r;
        r.rot = rot * t.rot;
        r.pos = rot * t.pos + pos;
        r.SetHomogeneous();
        return r;
    }
    // Inverse of a rigid transform.
    neT3 FastInverse() const {
        neT3 r;
        r.rot.SetTranspose(rot);
        r.pos = -(r.rot * pos);
        r.SetHomogeneous();
        return r;
    }
};

static_assert(sizeof(neT3) == 64, "neT3 is a 4x4 float matrix");
static_assert(offsetof(neT3, pos) == 48, "neT3's position is the fourth column");

// ---- neM4 ------------------------------------------------------------------

// A column-major 4×4 matrix: M[c][r] is row r of column c.
struct neM4 {
    f32 M[4][4];

    neM4& SetIdentity() {
        for (s32 c = 0; c < 4; ++c)
            for (s32 r = 0; r < 4; ++r) M[c][r] = (c == r) ? 1.0f : 0.0f;
        return *this;
    }
};

static_assert(sizeof(neM4) == 64, "neM4 is sixteen floats");

// ---- Inertia tensors -------------------------------------------------------
// Each returns the diagonal of the body-space tensor.

// The box's tensor is the same on every axis, from its largest side.
inline neV3 neBoxInertiaTensorXYZ(f32 x, f32 y, f32 z, f32 mass) {
    f32 s = x;
    if (y > s) s = y;
    if (z > s) s = z;
    f32 i = (2.0f / 3.0f) * mass * s * s;
    return neMakeV3(i, i, i);
}
inline neV3 neBoxInertiaTensor(const neV3& size, f32 mass) {
    return neBoxInertiaTensorXYZ(size.x, size.y, size.z, mass);
}
inline neV3 neSphereInertiaTensor(f32 diameter, f32 mass) {
    f32 r = diameter * 0.5f;
    f32 i = 0.4f * mass * r * r;
    return neMakeV3(i, i, i);
}
// Axis along y.
inline neV3 neCylinderInertiaTensor(f32 diameter, f32 height, f32 mass) {
    f32 r = diameter * 0.5f;
    f32 side = 0.25f * mass * r * r + (1.0f / 12.0f) * mass * height * height;
    return neMakeV3(side, 0.5f * mass * r * r, side);
}
