#include "physics_test_util.h"
#include "suspension_test.h"
#include "terrain_test_util.h"

namespace {

struct RideResult {
    f32 height;   // along the ground normal, at the end
    f32 highest;  // over the last 50 s
    f32 lowest;
    f32 drift;    // along the ground, over the last 50 s
};

RideResult RideOnSlope(f32 slope, const SuspensionShape& shape = SuspensionShape::Simple()) {
    neV3 g = neMakeV3(0, -SuspensionRig::kGravity, 0);
    SimulatorHolder sim(neSimulatorSizes(), &g);
    const f32 rise = std::tan(slope);
    TestTerrain terrain(20, 3.0f, [rise](f32 x, f32) { return x * rise; });
    neTriangleMesh mesh = terrain.Mesh();
    EXPECT_TRUE(sim->SetTerrainMesh(&mesh));
    SuspensionController controller;
    neRigidBody* body = MakeSensorBorneBox(sim.sim, &controller, shape);
    const neV3 normal = neMakeV3(-std::sin(slope), std::cos(slope), 0);
    neM3 tilt;
    tilt.RotateXYZ(neMakeV3(0, 0, slope));
    body->SetRotation(tilt);
    body->SetPos(normal * 1.6f);

    RideResult r{0, -1e9f, 1e9f, 0};
    neV3 settled{};
    for (int frame = 0; frame < 1500; ++frame) {  // 60 s in frames of 0.04 s
        sim->Advance(0.04f, 4);
        f32 h = body->GetPos().Dot(normal);
        if (frame == 250) settled = body->GetPos();
        if (frame >= 250) {
            r.highest = std::fmax(r.highest, h);
            r.lowest = std::fmin(r.lowest, h);
        }
        r.height = h;
    }
    neV3 moved = body->GetPos() - settled;
    r.drift = (moved - normal * moved.Dot(normal)).Length();
    return r;
}

}  // namespace

TEST(SensorBorneBox, RestsOnFlatAndSlopedGroundAtThePredictedRideHeight) {
    for (f32 slope : {0.0f, 0.25f}) {
        RideResult r = RideOnSlope(slope);
        const f32 expected = PredictedRideHeight(SuspensionShape::Simple(), slope);
        EXPECT_NEAR(r.height, expected, 0.001f) << "slope " << slope;
        EXPECT_NEAR(r.highest, expected, 0.001f) << "slope " << slope;
        EXPECT_NEAR(r.lowest, expected, 0.001f) << "slope " << slope;
        EXPECT_LT(r.drift, 0.001f) << "slope " << slope;
    }
}

TEST(SensorBorneBox, TruckShapedBodyRidesOnItsSplayedWheelLines) {
    for (f32 slope : {0.0f, 0.2f}) {
        RideResult r = RideOnSlope(slope, SuspensionShape::Truck());
        const f32 expected = PredictedRideHeight(SuspensionShape::Truck(), slope);
        EXPECT_NEAR(r.height, expected, 0.001f) << "slope " << slope;
        EXPECT_NEAR(r.highest, expected, 0.001f) << "slope " << slope;
        EXPECT_NEAR(r.lowest, expected, 0.001f) << "slope " << slope;
        EXPECT_LT(r.drift, 0.001f) << "slope " << slope;
    }
}
