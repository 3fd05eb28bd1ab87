#include "physics_test_util.h"
#include "scene_builders.h"

#include <cmath>
#include <cstring>

namespace {

neGeometry Fresh() {
    neGeometry g{};
    g.SetDefaults();
    return g;
}

}  // namespace

TEST(Geometry, TypedGettersRefuseOtherShapesAndLeaveOutputsAlone) {
    neGeometry g = Fresh();
    f32 d = 42, h = 43;
    EXPECT_FALSE(g.GetCylinder(d, h));
    EXPECT_FALSE(g.GetSphereDiameter(d));
    EXPECT_EQ(d, 42);
    EXPECT_EQ(h, 43);
    g.SetCylinder(1, 2);
    EXPECT_TRUE(g.GetCylinder(d, h));
    EXPECT_FLOAT_EQ(d, 1);
    EXPECT_FLOAT_EQ(h, 2);
    neV3 size = neMakeV3(9, 9, 9);
    EXPECT_FALSE(g.GetBoxSize(size));
    EXPECT_EQ(size.x, 9);
    // Only the box setters write the radius.
    g.SetBoxSize(neMakeV3(2, 2, 2));
    g.SetSphereDiameter(10);
    EXPECT_NEAR(g.boundingRadius, 1.7320508f, 1e-6f);
    EXPECT_TRUE(g.GetSphereDiameter(d));
    EXPECT_FLOAT_EQ(d, 10);
}

TEST(Geometry, BoundingBoxesOfTheShapes) {
    neGeometry g = Fresh();
    neV3 lo, hi;
    g.SetCylinder(1, 2);
    g.GetBoundingBox(lo, hi);
    ExpectV3Near(hi, neMakeV3(0.5f, 1.5f, 0.5f));
    ExpectV3Near(lo, neMakeV3(-0.5f, -1.5f, -0.5f));

    g.SetBoxSize(neMakeV3(2, 2, 2));
    g.SetTransform(Placed(neMakeV3(1, 0, 0), neMakeV3(0, NE_PI / 4, 0)));
    g.GetBoundingBox(lo, hi);
    ExpectV3Near(hi, neMakeV3(1 + std::sqrt(2.0f), 1, std::sqrt(2.0f)));

    g.SetSphereDiameter(3);
    g.GetBoundingBox(lo, hi);
    ExpectV3Near(lo, neMakeV3(-0.5f, -1.5f, -1.5f));
    EXPECT_NEAR(g.GetBoundingRadius(), 1.5f + 1.0f, 1e-6f);

    // A convex block's bounds ignore the frame and are doubled.
    alignas(16) u8 block[sizeof(neConvexHeader) + 16 * 2 + 16 * 2] = {};
    neConvexHeader header{2, 2, {0, 0}};
    std::memcpy(block, &header, sizeof header);
    neV3 vertices[2] = {neMakeV3(-1, -1, -1), neMakeV3(1, 1, 1)};
    std::memcpy(block + sizeof header + 32, vertices, sizeof vertices);
    g.SetConvex(block);
    g.GetBoundingBox(lo, hi);
    ExpectV3Near(lo, neMakeV3(-2, -2, -2));
    ExpectV3Near(hi, neMakeV3(2, 2, 2));
    EXPECT_NEAR(g.GetBoundingRadius(), std::sqrt(3.0f), 1e-6f);
    const u8* back = nullptr;
    EXPECT_TRUE(g.GetConvex(back));
    EXPECT_EQ(back, block);
}

TEST(Geometry, BoxInertiaAboutTheBodyOrigin) {
    neGeometry g = Fresh();
    g.SetBoxSize(neMakeV3(2, 2, 2));
    g.frame.pos.Set(0, 3, 0);
    f32 mass = 0;
    neM3 inertia = g.InertiaContribution(0.5f, mass);
    EXPECT_FLOAT_EQ(mass, 4.0f);
    EXPECT_FLOAT_EQ(inertia.M[0].x, 4.0f * 2 / 3 + 4.0f * 9);
    EXPECT_FLOAT_EQ(inertia.M[1].y, 4.0f * 2 / 3);
    g.SetSphereDiameter(1);
    inertia = g.InertiaContribution(0.5f, mass);
    EXPECT_EQ(mass, 0.0f);
}

TEST(BodyBounds, OneBoxKeepsItsOwnFrameTwoBoxesGiveAnAxisAlignedBox) {
    SimulatorHolder sim;
    neRigidBody* one = sim->CreateRigidBody();
    neGeometry* g = one->AddGeometry();
    g->SetBoxSize(neMakeV3(2, 1, 1));
    g->SetTransform(Placed(neMakeV3(0, 0, 0), neMakeV3(0, NE_PI / 4, 0)));
    g->SetMaterialIndex(1);
    one->UpdateBoundingInfo();
    EXPECT_EQ(one->bounding.materialIndex, 1);
    ExpectV3Near(one->bounding.frame.rot.M[0], g->frame.rot.M[0]);
    EXPECT_NEAR(one->boundingRadius, std::sqrt(1.5f), 1e-6f);

    neRigidBody* two = sim->CreateRigidBody();
    two->AddGeometry()->SetBoxSize(neMakeV3(1, 1, 1));
    neGeometry* second = two->AddGeometry();
    second->SetBoxSize(neMakeV3(1, 1, 1));
    second->frame.pos.Set(2, 0, 0);
    two->UpdateBoundingInfo();
    ExpectV3Near(two->bounding.frame.rot.M[0], neMakeV3(1, 0, 0));
    ExpectV3Near(two->bounding.frame.pos, neMakeV3(1, 0, 0));
    EXPECT_FLOAT_EQ(two->bounding.shape.box.hx, 1.5f);
}

TEST(BodyBounds, WorldBoxCoversTheSensorLinesButTheRecordDoesNot) {
    SimulatorHolder sim;
    neRigidBody* car = sim->CreateRigidBody();
    car->AddGeometry()->SetBoxSize(neMakeV3(4, 1, 2));
    car->AddSensor()->SetLineSensor(neMakeV3(1.5f, 0, 0.8f), neMakeV3(0, -2, 0));
    car->UpdateBoundingInfo();
    EXPECT_FLOAT_EQ(car->bounding.shape.box.hy, 0.5f);
    car->SetPos(neMakeV3(10, 5, 0));
    car->UpdateAabb();
    ExpectV3Near(car->minBound, neMakeV3(8, 3, -1));
    ExpectV3Near(car->maxBound, neMakeV3(12, 5.5f, 1));
}

TEST(BodyBounds, RotatedSingleBoxWorldBoxFollowsTheRotation) {
    SimulatorHolder sim;
    neRigidBody* b = sim->CreateRigidBody();
    b->AddGeometry()->SetBoxSize(neMakeV3(2, 2, 2));
    b->UpdateBoundingInfo();
    neM3 r;
    r.RotateXYZ(neMakeV3(0, NE_PI / 4, 0));
    b->SetRotation(r);
    b->UpdateAabb();
    ExpectV3Near(b->maxBound, neMakeV3(std::sqrt(2.0f), 1, std::sqrt(2.0f)));
}
