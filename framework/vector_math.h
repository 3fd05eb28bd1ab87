// The game's own small maths beside the physics engine's types: a float
// 3-vector, a column-major 4x4 matrix with the camera builders, and double
// triples. Angles of Matrix4 are in degrees; RotateY and the heading
// functions work in radians. Value operations only: nothing is checked, so
// normalising a zero vector gives non-numbers.
#pragma once

#include "math/ne_math.h"

// Degrees to radians in single precision, as every angle here is converted.
inline constexpr float kDegreesToRadians = 0.017453292f;

struct Vector3 {
  float x = 0, y = 0, z = 0;

  Vector3() = default;
  Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  Vector3& Set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
    return *this;
  }
  float Length() const;
  // Divides by the length, computed once; no zero test.
  void Normalize();
  Vector3 Negate() const { return {-x, -y, -z}; }
  Vector3 Copy() const { return *this; }
  // Turns x and z about the y axis by `radians` in place:
  // x' = cos·x + sin·z, z' = cos·z − sin·x.
  void RotateY(float radians);

  Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vector3 operator*(const Vector3& o) const { return {x * o.x, y * o.y, z * o.z}; }
  Vector3 operator/(const Vector3& o) const { return {x / o.x, y / o.y, z / o.z}; }
  Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
  Vector3& operator+=(const Vector3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  Vector3& operator-=(const Vector3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
};

inline Vector3 operator*(float s, const Vector3& v) { return v * s; }
float DotProduct(const Vector3& a, const Vector3& b);
Vector3 CrossProduct(const Vector3& a, const Vector3& b);

// Column-major: the element of row r and column c is m[c * 4 + r]; the
// translation is m[12], m[13], m[14]. A new matrix is the identity.
struct Matrix4 {
  float m[16];

  Matrix4() { LoadIdentity(); }
  void LoadIdentity();
  // Sixteen values given row by row, stored column-major.
  void Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
           float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33);
  // Each builder below first resets the matrix to the identity.
  void SetTranslation(const Vector3& v);
  void SetTranslationX(float x);
  void SetTranslationY(float y);
  void SetTranslationZ(float z);
  void SetScale(const Vector3& v);
  void SetRotationX(float degrees);
  void SetRotationY(float degrees);
  void SetRotationZ(float degrees);
  // Rotation about `axis`, which is normalised in place (the caller's vector).
  void SetRotationAxis(float degrees, Vector3& axis);

  Vector3 TransformPoint(float x, float y, float z) const;
  Vector3 TransformDirection(float x, float y, float z) const;

  Matrix4 operator+(const Matrix4& o) const;
  Matrix4 operator-(const Matrix4& o) const;
  Matrix4 operator*(const Matrix4& o) const;  // this × other
  Matrix4 operator*(float s) const;

  // View matrix of a camera at eye looking at centre (gluLookAt's matrix).
  void BuildLookAtMatrix(Vector3 eye, Vector3 centre, Vector3 up);
  // Projection matrix (gluPerspective's matrix); fovy in degrees.
  void BuildPerspectiveMatrix(float fovyDegrees, float aspect, float nearPlane, float farPlane);
};

Matrix4 Transpose(const Matrix4& m);

// v = m × v in place for a four-float column vector.
void TransformVector4(const Matrix4& m, float v[4]);

struct Vec3d {
  double x = 0, y = 0, z = 0;
};
double Vec3dLength(Vec3d v);
void Vec3dNormalize(Vec3d* out, Vec3d v);  // no zero test
void Vec3dCross(Vec3d* out, Vec3d a, Vec3d b);
void Vec3dSubtract(Vec3d* out, Vec3d a, Vec3d b);

// ---- Helpers over the engine's vector, used by the driving code ----------

neV3 CrossV3(neV3 a, neV3 b);
float LengthV3(neV3 v);
// v / length; no zero test (a zero vector gives non-numbers).
neV3 NormalizeV3(neV3 v);
// normalize(cross(p2 − p0, p1 − p0)) of the three points.
neV3 TriangleNormalV3(const neV3 triangle[3]);
float DistanceV3(neV3 a, neV3 b);
float DotV3(neV3 a, neV3 b);

// Signed change of heading on the ground from direction a to direction b,
// in radians within [−π, π]: each heading is acos(x / length), negated when
// z > 0 (so turning from +x toward −z is positive). 0 when a direction is
// the zero vector. Double precision.
float HeadingDelta(neV3 a, neV3 b);
// The same on normalised copies, in single precision.
float HeadingDeltaNormalized(neV3 a, neV3 b);

float AbsF(float x);
int FloatToInt(float x);  // toward zero; NaN gives 0, values beyond int the nearest int
