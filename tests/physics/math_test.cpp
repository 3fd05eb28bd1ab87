#include "math/ne_math.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct AssertCapture {
    static std::vector<std::string>& Seen() {
        static std::vector<std::string> seen;
        return seen;
    }
    static void Report(const char* expression, const char* header, int) {
        Seen().push_back(std::string(expression) + " @ " + header);
    }
    AssertCapture() {
        Seen().clear();
        previous = neAssertReport();
        neAssertReport() = Report;
    }
    ~AssertCapture() { neAssertReport() = previous; }
    neAssertReportFn previous;
};

void ExpectNear(const neV3& a, const neV3& b, f32 tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

void ExpectNear(const neM3& a, const neM3& b, f32 tolerance = 1e-5f) {
    for (int c = 0; c < 3; ++c) ExpectNear(a.M[c], b.M[c], tolerance);
}

neQ RandomUnitQuaternion(std::mt19937& gen) {
    std::normal_distribution<float> n(0.0f, 1.0f);
    neQ q{n(gen), n(gen), n(gen), n(gen)};
    return q.Normalize();
}

}  // namespace

TEST(EngineMath, ElementAccessReportsBadIndicesAndStaysInside) {
    AssertCapture capture;
    neV3 v = neMakeV3(1, 2, 3);
    EXPECT_EQ(v[2], 3.0f);
    EXPECT_TRUE(AssertCapture::Seen().empty());
    EXPECT_EQ(v[3], 3.0f);  // reported, then the nearest valid element
    EXPECT_EQ(v[-1], 1.0f);
    neM3 m;
    m.SetIdentity();
    EXPECT_EQ(m[3].z, 1.0f);
    EXPECT_EQ(m[-1].x, 1.0f);
    std::vector<std::string> expected = {"I <= 2 @ ne_math_v3_inline", "I >= 0 @ ne_math_v3_inline",
                                         "I < 3 @ ne_math_m3_inline", "I >= 0 @ ne_math_m3_inline"};
    EXPECT_EQ(AssertCapture::Seen(), expected);
}

TEST(EngineMath, ShortVectorsCountAsZero) {
    neV3 v = neMakeV3(0.0005f, 0, 0);
    EXPECT_EQ(v.Length(), 0.0f);
    v.Normalize();
    ExpectNear(v, neMakeV3(0, 0, 0), 0.0f);
    neV3 u = neMakeV3(3, 0, 4);
    EXPECT_FLOAT_EQ(u.Length(), 5.0f);
    u.Normalize();
    ExpectNear(u, neMakeV3(0.6f, 0, 0.8f));
    EXPECT_TRUE(neMakeV3(9e-7f, -9e-7f, 0).IsZero());
}

TEST(EngineMath, VectorProductsAndTurns) {
    neV3 a = neMakeV3(1, 2, 3), b = neMakeV3(-2, 0.5f, 4);
    ExpectNear(a.Cross(b), neMakeV3(2 * 4 - 3 * 0.5f, 3 * -2 - 1 * 4, 1 * 0.5f - 2 * -2));
    EXPECT_FLOAT_EQ(a.Dot(b), -2 + 1 + 12);
    neV3 d = neMakeV3(0, 1, 0);
    ExpectNear(a.Project(d), neMakeV3(0, 2, 0));
    neV3 r = a;
    r.RemoveComponent(d);
    ExpectNear(r, neMakeV3(1, 0, 3));
    neV3 y = neMakeV3(0, 1, 0);
    y.RotateX(NE_PI / 2);
    ExpectNear(y, neMakeV3(0, 0, 1));
    neV3 x = neMakeV3(1, 0, 0);
    x.RotateZ(NE_PI / 2);
    ExpectNear(x, neMakeV3(0, 1, 0));
    ExpectNear(a / 2.0f, neMakeV3(0.5f, 1, 1.5f));
}

TEST(EngineMath, InvertRefusesSingularMatricesAndInvertsOthers) {
    neM3 tiny;
    tiny.SetZero();
    tiny.M[0].x = 1e-6f;
    tiny.M[1].y = 1e-6f;
    tiny.M[2].z = 1e-6f;  // determinant 1e-18
    neM3 inv;
    EXPECT_FALSE(inv.SetInvert(tiny));

    neM3 m;
    m.SetColumns(neMakeV3(2, 1, 0), neMakeV3(0, 3, 1), neMakeV3(1, 0, 4));
    ASSERT_TRUE(inv.SetInvert(m));
    neM3 id;
    id.SetIdentity();
    ExpectNear(m * inv, id);
    ExpectNear(inv * m, id);
}

TEST(EngineMath, TransposeWorksInPlaceAndMatchesTransposeMul) {
    neM3 m;
    m.SetColumns(neMakeV3(1, 2, 3), neMakeV3(4, 5, 6), neMakeV3(7, 8, 9));
    neV3 v = neMakeV3(1, -1, 2);
    neM3 t = m;
    t.SetTranspose(t);
    ExpectNear(t.M[0], neMakeV3(1, 4, 7));
    ExpectNear(t * v, m.TransposeMul(v));
}

TEST(EngineMath, CrossMatrixProducts) {
    neM3 m;
    m.SetColumns(neMakeV3(1, 2, 3), neMakeV3(4, 5, 6), neMakeV3(7, 8, 10));
    neV3 v = neMakeV3(0.5f, -1, 2), u = neMakeV3(3, 1, -2);
    // M·[v]× applied to u equals M·(v × u).
    ExpectNear(m.MulCrossMatrix(v) * u, m * v.Cross(u), 1e-4f);
    // [v]×·M applied to u equals v × (M·u).
    ExpectNear(neCrossMatrixMul(v, m) * u, v.Cross(m * u), 1e-4f);
}

TEST(EngineMath, RotateXYZAppliesXFirst) {
    const f32 a = 0.7f, b = -0.4f;
    neM3 rz;
    rz.RotateXYZ(neMakeV3(0, 0, a));
    neV3 p = neMakeV3(1, 0, 0);
    ExpectNear(rz * p, neMakeV3(std::cos(a), std::sin(a), 0));

    neM3 rx, ry, rxy;
    rx.RotateXYZ(neMakeV3(a, 0, 0));
    ry.RotateXYZ(neMakeV3(0, b, 0));
    rxy.RotateXYZ(neMakeV3(a, b, 0));
    neV3 q = neMakeV3(0.3f, 1, -2);
    ExpectNear(rxy * q, ry * (rx * q));
}

TEST(EngineMath, QuaternionMatrixKnownCases) {
    neM3 id;
    id.SetIdentity();
    neQ q;
    q.SetupFromMatrix3(id);
    EXPECT_FLOAT_EQ(q.x, 0);
    EXPECT_FLOAT_EQ(q.y, 0);
    EXPECT_FLOAT_EQ(q.z, 0);
    EXPECT_FLOAT_EQ(q.w, 1);

    neM3 turn;
    turn.SetColumns(neMakeV3(-1, 0, 0), neMakeV3(0, 1, 0), neMakeV3(0, 0, -1));
    q.SetupFromMatrix3(turn);
    EXPECT_FLOAT_EQ(q.x, 0);
    EXPECT_FLOAT_EQ(q.y, 1);
    EXPECT_FLOAT_EQ(q.z, 0);
    EXPECT_FLOAT_EQ(q.w, 0);
    ExpectNear(q.ToM3(), turn);
}

TEST(EngineMath, QuaternionMatrixRoundTripsOverRandomRotations) {
    std::mt19937 gen(12345);
    for (int i = 0; i < 20000; ++i) {
        neQ q = RandomUnitQuaternion(gen);
        if (q.w < 0) q.Negate();
        neM3 m = q.ToM3();
        neQ back;
        back.SetupFromMatrix3(m);
        EXPECT_GE(back.w, 0.0f);
        // The same rotation: q and back equal up to sign (sign fixed by w ≥ 0
        // except where w is ~0 and either sign is right).
        EXPECT_NEAR(std::fabs(q.Dot(back)), 1.0f, 2e-5f) << i;
        ExpectNear(back.ToM3(), m, 2e-5f);
        if (HasFailure()) break;
    }
}

TEST(EngineMath, QuaternionProductComposesRotations) {
    std::mt19937 gen(99);
    for (int i = 0; i < 200; ++i) {
        neQ a = RandomUnitQuaternion(gen), b = RandomUnitQuaternion(gen);
        ExpectNear((a * b).ToM3(), a.ToM3() * b.ToM3(), 2e-5f);
    }
}

TEST(EngineMath, ZeroQuaternionNormalisesToIdentity) {
    neQ q{0, 0, 0, 0};
    neSafeNormalize(q);
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.x, 0.0f);
    neQ r{0, 0, 0, 2};
    neSafeNormalize(r);
    EXPECT_EQ(r.w, 1.0f);
}

TEST(EngineMath, TransformIsAColumnMajorGlMatrix) {
    neT3 t;
    t.SetIdentity();
    t.rot.RotateXYZ(neMakeV3(0, 0, NE_PI / 2));
    t.pos.Set(5, 6, 7);
    t.SetHomogeneous();
    const f32* m = reinterpret_cast<const f32*>(&t);
    EXPECT_EQ(m[3], 0.0f);
    EXPECT_EQ(m[7], 0.0f);
    EXPECT_EQ(m[11], 0.0f);
    EXPECT_EQ(m[12], 5.0f);
    EXPECT_EQ(m[13], 6.0f);
    EXPECT_EQ(m[14], 7.0f);
    EXPECT_EQ(m[15], 1.0f);
    ExpectNear(t * neMakeV3(1, 0, 0), neMakeV3(5, 7, 7));

    neT3 inv = t.FastInverse();
    ExpectNear(inv * (t * neMakeV3(1, 2, 3)), neMakeV3(1, 2, 3));
    neT3 both = t * inv;
    neM3 id;
    id.SetIdentity();
    ExpectNear(both.rot, id);
    ExpectNear(both.pos, neMakeV3(0, 0, 0));
    EXPECT_EQ(both.pos.w, 1.0f);
}

TEST(EngineMath, InertiaHelpers) {
    ExpectNear(neBoxInertiaTensor(neMakeV3(2, 1, 0.5f), 3), neMakeV3(8, 8, 8));
    ExpectNear(neBoxInertiaTensorXYZ(1, 4, 2, 0.75f), neMakeV3(8, 8, 8));
    ExpectNear(neCylinderInertiaTensor(2, 3, 12), neMakeV3(12, 6, 12));
    ExpectNear(neSphereInertiaTensor(2, 10), neMakeV3(4, 4, 4));
}

TEST(EngineMath, ArcCosineClampsRoundOff) {
    EXPECT_EQ(neAcos(1.0000001f), 0.0f);
    EXPECT_FLOAT_EQ(neAcos(-1.0000001f), NE_PI);
    EXPECT_FLOAT_EQ(neAcos(0.0f), NE_PI / 2);
}
