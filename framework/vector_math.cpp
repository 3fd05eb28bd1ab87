#include "framework/vector_math.h"

#include <cmath>
#include <limits>

float Vector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

void Vector3::Normalize() {
  const float length = Length();
  x /= length;
  y /= length;
  z /= length;
}

void Vector3::RotateY(float radians) {
  const float c = std::cos(radians);
  const float s = std::sin(radians);
  const float nx = c * x + s * z;
  const float nz = c * z - s * x;
  x = nx;
  z = nz;
}

float DotProduct(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 CrossProduct(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Matrix4::LoadIdentity() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Matrix4::Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                  float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                  float m32, float m33) {
  const float rows[16] = {m00, m01, m02, m03, m10, m11, m12, m13,
                          m20, m21, m22, m23, m30, m31, m32, m33};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) m[c * 4 + r] = rows[r * 4 + c];
}

void Matrix4::SetTranslation(const Vector3& v) {
  LoadIdentity();
  m[12] = v.x;
  m[13] = v.y;
  m[14] = v.z;
}

void Matrix4::SetTranslationX(float x) {
  LoadIdentity();
  m[12] = x;
}

void Matrix4::SetTranslationY(float y) {
  LoadIdentity();
  m[13] = y;
}

void Matrix4::SetTranslationZ(float z) {
  LoadIdentity();
  m[14] = z;
}

void Matrix4::SetScale(const Vector3& v) {
  LoadIdentity();
  m[0] = v.x;
  m[5] = v.y;
  m[10] = v.z;
}

void Matrix4::SetRotationX(float degrees) {
  LoadIdentity();
  const float a = degrees * kDegreesToRadians;
  const float c = std::cos(a), s = std::sin(a);
  m[5] = c;   // (1,1)
  m[6] = s;   // (2,1)
  m[9] = -s;  // (1,2)
  m[10] = c;  // (2,2)
}

void Matrix4::SetRotationY(float degrees) {
  LoadIdentity();
  const float a = degrees * kDegreesToRadians;
  const float c = std::cos(a), s = std::sin(a);
  m[0] = c;   // (0,0)
  m[8] = s;   // (0,2)
  m[2] = -s;  // (2,0)
  m[10] = c;  // (2,2)
}

void Matrix4::SetRotationZ(float degrees) {
  LoadIdentity();
  const float a = degrees * kDegreesToRadians;
  const float c = std::cos(a), s = std::sin(a);
  m[0] = c;   // (0,0)
  m[1] = s;   // (1,0)
  m[4] = -s;  // (0,1)
  m[5] = c;   // (1,1)
}

void Matrix4::SetRotationAxis(float degrees, Vector3& axis) {
  const float a = degrees * kDegreesToRadians;
  const float c = std::cos(a), s = std::sin(a), t = 1.0f - c;
  axis.Normalize();
  const float x = axis.x, y = axis.y, z = axis.z;
  LoadIdentity();
  m[0] = t * x * x + c;
  m[1] = t * x * y + s * z;
  m[2] = t * x * z - s * y;
  m[4] = t * x * y - s * z;
  m[5] = t * y * y + c;
  m[6] = t * y * z + s * x;
  m[8] = t * x * z + s * y;
  m[9] = t * y * z - s * x;
  m[10] = t * z * z + c;
}

Vector3 Matrix4::TransformPoint(float x, float y, float z) const {
  return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
          m[2] * x + m[6] * y + m[10] * z + m[14]};
}

Vector3 Matrix4::TransformDirection(float x, float y, float z) const {
  return {m[0] * x + m[4] * y + m[8] * z, m[1] * x + m[5] * y + m[9] * z,
          m[2] * x + m[6] * y + m[10] * z};
}

Matrix4 Matrix4::operator+(const Matrix4& o) const {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = m[i] + o.m[i];
  return r;
}

Matrix4 Matrix4::operator-(const Matrix4& o) const {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = m[i] - o.m[i];
  return r;
}

Matrix4 Matrix4::operator*(const Matrix4& o) const {
  Matrix4 r;
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * o.m[c * 4 + k];
      r.m[c * 4 + row] = sum;
    }
  return r;
}

Matrix4 Matrix4::operator*(float s) const {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = m[i] * s;
  return r;
}

void Matrix4::BuildLookAtMatrix(Vector3 eye, Vector3 centre, Vector3 up) {
  Vector3 f = eye - centre;  // from the target back to the eye
  f.Normalize();
  Vector3 s = CrossProduct(up, f);
  s.Normalize();
  Vector3 u = CrossProduct(f, s);
  u.Normalize();
  Set(s.x, s.y, s.z, -DotProduct(s, eye),  //
      u.x, u.y, u.z, -DotProduct(u, eye),  //
      f.x, f.y, f.z, -DotProduct(f, eye),  //
      0, 0, 0, 1);
}

void Matrix4::BuildPerspectiveMatrix(float fovyDegrees, float aspect, float nearPlane,
                                     float farPlane) {
  const float d = 1.0f / std::tan(fovyDegrees / 2.0f * NE_PI / 180.0f);
  for (float& e : m) e = 0;
  m[0] = d / aspect;
  m[5] = d;
  m[10] = (nearPlane + farPlane) / (nearPlane - farPlane);
  m[14] = 2.0f * nearPlane * farPlane / (nearPlane - farPlane);  // (2,3)
  m[11] = -1.0f;                                                 // (3,2)
}

Matrix4 Transpose(const Matrix4& in) {
  Matrix4 r;
  for (int row = 0; row < 4; ++row)
    for (int c = 0; c < 4; ++c) r.m[c * 4 + row] = in.m[row * 4 + c];
  return r;
}

void TransformVector4(const Matrix4& m, float v[4]) {
  float r[4];
  for (int row = 0; row < 4; ++row)
    r[row] = m.m[row] * v[0] + m.m[4 + row] * v[1] + m.m[8 + row] * v[2] + m.m[12 + row] * v[3];
  for (int i = 0; i < 4; ++i) v[i] = r[i];
}

double Vec3dLength(Vec3d v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

void Vec3dNormalize(Vec3d* out, Vec3d v) {
  const double length = Vec3dLength(v);
  *out = {v.x / length, v.y / length, v.z / length};
}

void Vec3dCross(Vec3d* out, Vec3d a, Vec3d b) {
  *out = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Vec3dSubtract(Vec3d* out, Vec3d a, Vec3d b) { *out = {a.x - b.x, a.y - b.y, a.z - b.z}; }

neV3 CrossV3(neV3 a, neV3 b) {
  return neMakeV3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float LengthV3(neV3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

neV3 NormalizeV3(neV3 v) {
  const float length = LengthV3(v);
  return neMakeV3(v.x / length, v.y / length, v.z / length);
}

neV3 TriangleNormalV3(const neV3 triangle[3]) {
  const neV3 e2 = neMakeV3(triangle[2].x - triangle[0].x, triangle[2].y - triangle[0].y,
                           triangle[2].z - triangle[0].z);
  const neV3 e1 = neMakeV3(triangle[1].x - triangle[0].x, triangle[1].y - triangle[0].y,
                           triangle[1].z - triangle[0].z);
  return NormalizeV3(CrossV3(e2, e1));
}

float DistanceV3(neV3 a, neV3 b) { return LengthV3(neMakeV3(a.x - b.x, a.y - b.y, a.z - b.z)); }

float DotV3(neV3 a, neV3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

namespace {

// Wraps a heading difference into [−π, π] with the constants of the
// original single-precision arithmetic.
template <typename Real>
Real WrapHeading(Real d) {
  const Real pi = Real(NE_PI), twoPi = Real(2 * NE_PI);
  if (d > pi) d = -std::fabs(twoPi - d);
  if (d < -pi) d = std::fabs(twoPi - std::fabs(d));
  return d;
}

// acos(x / length), negative when z > 0. The cosine is kept within [−1, 1]
// so that rounding cannot turn a straight heading into a non-number.
template <typename Real>
Real Heading(Real x, Real length, Real z) {
  Real cosine = x / length;
  if (cosine > 1) cosine = 1;
  if (cosine < -1) cosine = -1;
  const Real angle = std::acos(cosine);
  return z > 0 ? -angle : angle;
}

}  // namespace

float HeadingDelta(neV3 a, neV3 b) {
  const double lengthA = std::sqrt(double(a.x) * a.x + double(a.y) * a.y + double(a.z) * a.z);
  const double lengthB = std::sqrt(double(b.x) * b.x + double(b.y) * b.y + double(b.z) * b.z);
  const double d = WrapHeading(Heading<double>(b.x, lengthB, b.z) - Heading<double>(a.x, lengthA, a.z));
  return std::isnan(d) ? 0.0f : float(d);
}

float HeadingDeltaNormalized(neV3 a, neV3 b) {
  a.Normalize();
  b.Normalize();
  const float d = WrapHeading(Heading<float>(b.x, b.Length(), b.z) - Heading<float>(a.x, a.Length(), a.z));
  // A zero direction has no heading: no change rather than a non-number.
  return std::isnan(d) ? 0.0f : d;
}

float AbsF(float x) { return std::fabs(x); }

int FloatToInt(float x) {
  // A plain conversion of a value outside int's range is undefined.
  if (std::isnan(x)) return 0;
  if (x >= 2147483648.0f) return std::numeric_limits<int>::max();
  if (x <= -2147483648.0f) return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}
