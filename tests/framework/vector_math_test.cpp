// The game's maths against hand-computed values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/vector_math.h"

namespace {

void ExpectMatrixNear(const Matrix4& m, const float (&rowMajor)[16], float tolerance = 1e-5f) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(m.m[c * 4 + r], rowMajor[r * 4 + c], tolerance) << "row " << r << " column " << c;
}

}  // namespace

TEST(Matrix4, SetTakesRowsAndStoresColumnMajor) {
  Matrix4 m;
  m.Set(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
  EXPECT_EQ(m.m[1], 5);  // row 1, column 0
  EXPECT_EQ(m.m[4], 2);
  EXPECT_EQ(m.m[12], 4);
  const Matrix4 t = Transpose(m);
  EXPECT_EQ(t.m[1], 2);
}

TEST(Matrix4, NewMatrixIsIdentityAndBuildersReplaceIt) {
  Matrix4 m;
  ExpectMatrixNear(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  m.SetScale({2, 3, 4});
  m.SetTranslation({5, 6, 7});
  ExpectMatrixNear(m, {1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1});
  const Vector3 p = m.TransformPoint(1, 1, 1);
  EXPECT_FLOAT_EQ(p.x, 6);
  EXPECT_FLOAT_EQ(p.z, 8);
  const Vector3 d = m.TransformDirection(1, 1, 1);
  EXPECT_FLOAT_EQ(d.x, 1);
}

TEST(Matrix4, RotationsTurnAxesRightHanded) {
  Matrix4 m;
  m.SetRotationZ(90);
  Vector3 v = m.TransformDirection(1, 0, 0);
  EXPECT_NEAR(v.y, 1, 1e-6);
  m.SetRotationX(90);
  v = m.TransformDirection(0, 1, 0);
  EXPECT_NEAR(v.z, 1, 1e-6);
  m.SetRotationY(90);
  v = m.TransformDirection(0, 0, 1);
  EXPECT_NEAR(v.x, 1, 1e-6);
}

TEST(Matrix4, AxisRotationNormalisesTheCallersAxisAndMatchesRotationZ) {
  Vector3 axis(0, 0, 5);
  Matrix4 about, z;
  about.SetRotationAxis(30, axis);
  z.SetRotationZ(30);
  EXPECT_FLOAT_EQ(axis.z, 1);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(about.m[i], z.m[i], 1e-6) << i;
}

TEST(Matrix4, ProductAppliesTheRightOperandFirst) {
  Matrix4 move, turn;
  move.SetTranslation({10, 0, 0});
  turn.SetRotationZ(90);
  const Vector3 p = (move * turn).TransformPoint(1, 0, 0);
  EXPECT_NEAR(p.x, 10, 1e-5);
  EXPECT_NEAR(p.y, 1, 1e-5);
  float v[4] = {1, 0, 0, 1};
  TransformVector4(move * turn, v);
  EXPECT_NEAR(v[0], 10, 1e-5);
  EXPECT_NEAR(v[3], 1, 1e-6);
}

TEST(Matrix4, LookAtMatchesTheHandComputedView) {
  // Eye at (0, 0, 5) looking at the origin: a pure move by -5 along z.
  Matrix4 m;
  m.BuildLookAtMatrix({0, 0, 5}, {0, 0, 0}, {0, 1, 0});
  ExpectMatrixNear(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, -5, 0, 0, 0, 1});
  // Eye at (3, 0, 0) looking at the origin: forward -x, side -z... the
  // camera's +x is the world's -z.
  m.BuildLookAtMatrix({3, 0, 0}, {0, 0, 0}, {0, 1, 0});
  ExpectMatrixNear(m, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, -3, 0, 0, 0, 1});
  const Vector3 centre = m.TransformPoint(0, 0, 0);
  EXPECT_NEAR(centre.z, -3, 1e-5);  // in front of the camera, down its -z
}

TEST(Matrix4, LookAtWithUpAlongTheViewGivesNonNumbers) {
  Matrix4 m;
  m.BuildLookAtMatrix({0, 5, 0}, {0, 0, 0}, {0, 1, 0});
  EXPECT_TRUE(std::isnan(m.m[0]));
}

TEST(Matrix4, PerspectiveMatchesTheHandComputedProjection) {
  Matrix4 m;
  m.BuildPerspectiveMatrix(90, 2, 1, 3);
  // d = 1 / tan(45°) = 1; (n+f)/(n-f) = -2; 2nf/(n-f) = -3.
  ExpectMatrixNear(m, {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -3, 0, 0, -1, 0});
}

TEST(Vector3, ArithmeticAndProducts) {
  const Vector3 a(1, 2, 3), b(4, 5, 6);
  EXPECT_FLOAT_EQ(DotProduct(a, b), 32);
  const Vector3 c = CrossProduct(a, b);
  EXPECT_FLOAT_EQ(c.x, -3);
  EXPECT_FLOAT_EQ(c.y, 6);
  EXPECT_FLOAT_EQ(c.z, -3);
  EXPECT_FLOAT_EQ((2.0f * a - b).y, -1);
  EXPECT_FLOAT_EQ((b / a).z, 2);
  EXPECT_FLOAT_EQ(a.Negate().x, -1);
  Vector3 d(3, 0, 4);
  EXPECT_FLOAT_EQ(d.Length(), 5);
  d.Normalize();
  EXPECT_FLOAT_EQ(d.z, 0.8f);
  Vector3 zero;
  zero.Normalize();
  EXPECT_TRUE(std::isnan(zero.x));
}

TEST(Vector3, RotateYTurnsXTowardMinusZ) {
  Vector3 v(1, 0, 0);
  v.RotateY(NE_PI / 2);
  EXPECT_NEAR(v.x, 0, 1e-6);
  EXPECT_NEAR(v.z, -1, 1e-6);
  Vector3 w(0, 2, 1);
  w.RotateY(NE_PI / 2);
  EXPECT_NEAR(w.x, 1, 1e-6);
  EXPECT_FLOAT_EQ(w.y, 2);
}

TEST(Vec3d, DoubleTriples) {
  Vec3d out;
  Vec3dSubtract(&out, {4, 6, 3}, {1, 2, 3});
  EXPECT_DOUBLE_EQ(Vec3dLength(out), 5);
  Vec3dNormalize(&out, out);
  EXPECT_DOUBLE_EQ(out.y, 0.8);
  Vec3dCross(&out, {1, 0, 0}, {0, 1, 0});
  EXPECT_DOUBLE_EQ(out.z, 1);
  Vec3dNormalize(&out, {0, 0, 0});
  EXPECT_TRUE(std::isnan(out.x));
}

TEST(Heading, TurnTowardMinusZIsPositiveAndResultsStayWithinPi) {
  EXPECT_FLOAT_EQ(HeadingDelta(neMakeV3(1, 0, 0), neMakeV3(0, 0, -1)), NE_PI / 2);
  EXPECT_FLOAT_EQ(HeadingDelta(neMakeV3(1, 0, 0), neMakeV3(0, 0, 1)), -NE_PI / 2);
  EXPECT_FLOAT_EQ(HeadingDelta(neMakeV3(2, 0, 2), neMakeV3(2, 0, 2)), 0);
  // Across the ±π seam the short way round is taken.
  const float across = HeadingDelta(neMakeV3(-1, 0, -0.1f), neMakeV3(-1, 0, 0.1f));
  EXPECT_NEAR(across, 0.2f, 1e-3f);
  const float reverse = HeadingDelta(neMakeV3(-1, 0, 0.1f), neMakeV3(-1, 0, -0.1f));
  EXPECT_NEAR(reverse, -0.2f, 1e-3f);
  for (int i = 0; i < 64; ++i)
    for (int j = 0; j < 64; ++j) {
      const float a = 2 * NE_PI * i / 64, b = 2 * NE_PI * j / 64;
      const float d = HeadingDelta(neMakeV3(std::cos(a), 0, std::sin(a)), neMakeV3(std::cos(b), 0.3f, std::sin(b)));
      ASSERT_GE(d, -NE_PI - 1e-6f);
      ASSERT_LE(d, NE_PI + 1e-6f);
    }
}

TEST(Heading, ZeroVectorGivesNoChangeAndOppositeDirectionsPlusOrMinusPi) {
  EXPECT_EQ(HeadingDelta(neMakeV3(0, 0, 0), neMakeV3(1, 0, 0)), 0);
  EXPECT_EQ(HeadingDelta(neMakeV3(1, 0, 0), neMakeV3(0, 0, 0)), 0);
  EXPECT_EQ(HeadingDeltaNormalized(neMakeV3(0, 0, 0), neMakeV3(0, 0, 1)), 0);
  EXPECT_NEAR(std::fabs(HeadingDelta(neMakeV3(1, 0, 0), neMakeV3(-1, 0, 0))), NE_PI, 1e-6);
  EXPECT_NEAR(std::fabs(HeadingDeltaNormalized(neMakeV3(1, 0, 0), neMakeV3(-1, 0, 0))), NE_PI, 1e-6);
}

TEST(Heading, NormalisedVariantAgreesWithTheDoubleOne) {
  const neV3 a = neMakeV3(3, 1, -4), b = neMakeV3(-2, 5, -1);
  EXPECT_NEAR(HeadingDeltaNormalized(a, b), HeadingDelta(a, b), 1e-5);
  // Nearly straight ahead: rounding must not make the heading a non-number.
  EXPECT_NEAR(HeadingDeltaNormalized(neMakeV3(1e-8f, 0, 0) + neMakeV3(7, 0, 0), neMakeV3(0, 0, -1)), NE_PI / 2, 1e-5);
}

TEST(EngineVectorHelpers, ProductsLengthsAndTriangleNormal) {
  const neV3 c = CrossV3(neMakeV3(1, 0, 0), neMakeV3(0, 1, 0));
  EXPECT_FLOAT_EQ(c.z, 1);
  EXPECT_FLOAT_EQ(LengthV3(neMakeV3(3, 4, 0)), 5);
  EXPECT_FLOAT_EQ(DistanceV3(neMakeV3(1, 1, 1), neMakeV3(1, 4, 5)), 5);
  EXPECT_FLOAT_EQ(DotV3(neMakeV3(1, 2, 3), neMakeV3(4, 5, 6)), 32);
  EXPECT_FLOAT_EQ(NormalizeV3(neMakeV3(0, 0, 9)).z, 1);
  EXPECT_TRUE(std::isnan(NormalizeV3(neMakeV3(0, 0, 0)).x));
  // cross(p2 − p0, p1 − p0) of these points points down.
  const neV3 ground[3] = {neMakeV3(0, 0, 0), neMakeV3(1, 0, 0), neMakeV3(0, 0, -1)};
  EXPECT_FLOAT_EQ(TriangleNormalV3(ground).y, -1);
  EXPECT_FLOAT_EQ(AbsF(-2.5f), 2.5f);
}

TEST(FloatToInt, TruncatesTowardZeroAndGivesDefinedResultsForNonNumbers) {
  EXPECT_EQ(FloatToInt(59.99f), 59);
  EXPECT_EQ(FloatToInt(-2.7f), -2);
  EXPECT_EQ(FloatToInt(std::nanf("")), 0);
  EXPECT_EQ(FloatToInt(std::numeric_limits<float>::infinity()), std::numeric_limits<int>::max());
  EXPECT_EQ(FloatToInt(-std::numeric_limits<float>::infinity()), std::numeric_limits<int>::min());
  EXPECT_EQ(FloatToInt(3e9f), std::numeric_limits<int>::max());
  EXPECT_EQ(FloatToInt(-3e9f), std::numeric_limits<int>::min());
}
