#include "physics_test_util.h"
#include "scene_builders.h"
#include "terrain_test_util.h"

namespace {

neGeometry Box(const neV3& size) {
    neGeometry g{};
    g.SetDefaults();
    g.SetBoxSize(size);
    g.SetMaterialIndex(4);
    return g;
}

neM3 IdentityM3() {
    neM3 m;
    m.SetIdentity();
    return m;
}

// Two triangles sharing the diagonal x + z = 0 of a flat square at height 0.
struct FlatSquare {
    neV3 vertices[4] = {neMakeV3(-1, 0, -1), neMakeV3(-1, 0, 1), neMakeV3(1, 0, -1), neMakeV3(1, 0, 1)};
    neTriangle triangles[2];
    s32 indices[2] = {0, 1};
    neGeometry set{};
    FlatSquare() {
        triangles[0].indices[0] = 0;
        triangles[0].indices[1] = 1;
        triangles[0].indices[2] = 2;
        triangles[0].materialIndex = 7;
        triangles[1].indices[0] = 2;
        triangles[1].indices[1] = 1;
        triangles[1].indices[2] = 3;
        triangles[1].materialIndex = 8;
        set.SetDefaults();
        set.SetMesh(indices, 2, triangles, vertices);
    }
};

}  // namespace

TEST(Sensor, TooShortLineHasNoLengthOrDirection) {
    neSensor s{};
    s.Reset();
    s.SetLineSensor(neMakeV3(1, 2, 3), neMakeV3(0, -0.0005f, 0));
    EXPECT_EQ(s.lineLength, 0.0f);
    ExpectV3Near(s.GetLineUnitVector(), neMakeV3(0, 0, 0), 0);
    s.SetLineSensor(neMakeV3(0, 0, 0), neMakeV3(0, -2, 0));
    EXPECT_FLOAT_EQ(s.lineLength, 2.0f);
    ExpectV3Near(s.GetLineUnitVector(), neMakeV3(0, -1, 0));
    EXPECT_EQ(s.GetDetectRigidBody(), nullptr);
    EXPECT_EQ(s.GetDetectAnimatedBody(), nullptr);
}

TEST(SensorLineBox, EntryFaceGivesDepthNormalAndPoint) {
    neGeometry box = Box(neMakeV3(2, 2, 2));
    neLineHit hit{};
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(0.2f, 3, 0), neMakeV3(0, -3, 0), 3, box, IdentityM3(), hit));
    EXPECT_FLOAT_EQ(hit.depth, 1.0f);
    ExpectV3Near(hit.normal, neMakeV3(0, 1, 0));
    ExpectV3Near(hit.contactPoint, neMakeV3(0.2f, 1, 0));
    EXPECT_EQ(hit.material, 4);
    // Ends before the box.
    EXPECT_FALSE(neCollideLineGeometry(neMakeV3(0, 3, 0), neMakeV3(0, -1.5f, 0), 1.5f, box, IdentityM3(), hit));
    // Parallel to the x faces: outside the slab misses, inside sets no limit.
    EXPECT_FALSE(neCollideLineGeometry(neMakeV3(1.5f, 3, 0), neMakeV3(0, -3, 0), 3, box, IdentityM3(), hit));
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(0.99f, 3, 0.5f), neMakeV3(0, -3, 0), 3, box, IdentityM3(), hit));
    // A line too short to have an entry face reports nothing.
    EXPECT_FALSE(
        neCollideLineGeometry(neMakeV3(0, 0, 0), neMakeV3(0, -0.0000001f, 0), 0, box, IdentityM3(), hit));
    // Other shapes are not seen.
    box.SetSphereDiameter(2);
    EXPECT_FALSE(neCollideLineGeometry(neMakeV3(0, 3, 0), neMakeV3(0, -3, 0), 3, box, IdentityM3(), hit));
}

TEST(SensorLineTerrain, StartOnTheSurfaceReportsTheFullLengthEndOnItNothing) {
    FlatSquare square;
    neLineHit hit{};
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(0.5f, 0, 0.2f), neMakeV3(0, -2, 0), 2, square.set, IdentityM3(), hit));
    EXPECT_FLOAT_EQ(hit.depth, 2.0f);
    ExpectV3Near(hit.normal, neMakeV3(0, 1, 0));
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(0.5f, 2, 0.2f), neMakeV3(0, -2, 0), 2, square.set, IdentityM3(), hit));
    EXPECT_EQ(hit.depth, 0.0f);  // found at t = 1, but depth 0 is kept by no sensor
    // From below, the normal faces the line's start.
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(-0.5f, -1, 0), neMakeV3(0, 2, 0), 2, square.set, IdentityM3(), hit));
    ExpectV3Near(hit.normal, neMakeV3(0, -1, 0));
    EXPECT_EQ(hit.material, 7);
}

TEST(SensorLineTerrain, DeeperTriangleWinsAndLaterOneWinsTies) {
    FlatSquare square;
    // A third triangle above the square's left half.
    neV3 vertices[7] = {square.vertices[0], square.vertices[1], square.vertices[2], square.vertices[3],
                        neMakeV3(-1, 0.5f, -1), neMakeV3(-1, 0.5f, 1), neMakeV3(0.5f, 0.5f, -1)};
    neTriangle triangles[3] = {square.triangles[0], square.triangles[1], square.triangles[0]};
    triangles[2].indices[0] = 4;
    triangles[2].indices[1] = 5;
    triangles[2].indices[2] = 6;
    triangles[2].materialIndex = 9;
    s32 order[3] = {2, 0, 1};
    neGeometry set{};
    set.SetDefaults();
    set.SetMesh(order, 3, triangles, vertices);
    neLineHit hit{};
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(-0.5f, 1, 0), neMakeV3(0, -2, 0), 2, set, IdentityM3(), hit));
    EXPECT_FLOAT_EQ(hit.depth, 1.5f);  // the upper triangle, though it came first
    EXPECT_EQ(hit.material, 9);
    // Through the shared edge x + z = 0 ... of the square: equal depths, the later one stands.
    ASSERT_TRUE(neCollideLineGeometry(neMakeV3(0, 1, 0), neMakeV3(0, -2, 0), 2, square.set, IdentityM3(), hit));
    EXPECT_FLOAT_EQ(hit.depth, 1.0f);
    EXPECT_EQ(hit.material, 8);
}

// Over a bumpy mesh whose every triangle is a candidate, the line finds the
// triangle under its crossing point, also slanted and also through a
// corner shared by six triangles, where the last of them in order stands.
TEST(SensorLineTerrain, FindsTheTriangleUnderTheCrossingAmongHundreds) {
    TestTerrain ground(12, 1.0f, [](f32 x, f32 z) { return 0.3f * std::sin(x) * std::cos(0.7f * z); });
    std::vector<s32> order(ground.triangles.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<s32>(i);
        ground.triangles[i].materialIndex = static_cast<s32>(i);
    }
    neGeometry set{};
    set.SetDefaults();
    set.SetMesh(order.data(), static_cast<s32>(order.size()), ground.triangles.data(), ground.vertices.data());
    auto cellOf = [](f32 v) { return static_cast<s32>(std::floor(v + 6.0f)); };
    for (f32 x = -5.7f; x < 5.8f; x += 0.9f) {
        for (f32 z = -5.3f; z < 5.8f; z += 1.1f) {
            neLineHit hit{};
            ASSERT_TRUE(neCollideLineGeometry(neMakeV3(x, 2, z), neMakeV3(0.2f, -4, -0.1f), 4.0f, set,
                                              IdentityM3(), hit));
            const neV3 at = hit.contactPoint;
            const f32 u = at.x + 6.0f - static_cast<f32>(cellOf(at.x)), w = at.z + 6.0f - static_cast<f32>(cellOf(at.z));
            const s32 cell = 2 * (cellOf(at.z) * 12 + cellOf(at.x));
            EXPECT_EQ(hit.material, u + w < 1.0f ? cell : cell + 1) << x << " " << z;
        }
    }
    neLineHit hit{};
    const neV3 corner = ground.vertices[6 * 13 + 6];  // where six triangles meet
    ASSERT_TRUE(neCollideLineGeometry(corner + neMakeV3(0, 1, 0), neMakeV3(0, -2, 0), 2.0f, set, IdentityM3(), hit));
    EXPECT_EQ(hit.material, 2 * (6 * 12 + 6));  // the last of the six in order
    EXPECT_NEAR(hit.depth, 1.0f, 1e-5f);
}

class SensorReader : public neRigidBodyControllerCallback {
public:
    void ControllerCallback(neRigidBodyController* controller, f32) override {
        controller->GetRigidBody()->BeginIterateSensor();
        neSensor* s = controller->GetRigidBody()->GetNextSensor();
        depths.push_back(s->GetDetectDepth());
        bodies.push_back(s->detectedBody);
        rigid.push_back(s->GetDetectRigidBody());
        animated.push_back(s->GetDetectAnimatedBody());
    }
    std::vector<f32> depths;
    std::vector<neBody*> bodies;
    std::vector<neRigidBody*> rigid;
    std::vector<neAnimatedBody*> animated;
};

// Every line's depth, read in the controller callback.
class AllLinesReader : public neRigidBodyControllerCallback {
public:
    void ControllerCallback(neRigidBodyController* controller, f32) override {
        neRigidBody* body = controller->GetRigidBody();
        body->BeginIterateSensor();
        while (neSensor* s = body->GetNextSensor()) depths.push_back(s->GetDetectDepth());
    }
    std::vector<f32> depths;
};

TEST(SensorInSimulator, TerrainHitIsSeenInTheCallbackAndResetAfterTheStep) {
    SimulatorHolder sim;
    ASSERT_TRUE(SetFlatGround(sim.sim, 8, 2.0f));
    neRigidBody* car = SensorCar(sim.sim, neMakeV3(0.3f, 0, 0.3f), neMakeV3(0, -2, 0));
    neSensor* wheel = car->sensorFirst;
    car->SetPos(neMakeV3(0, 1.25f, 0));
    SensorReader reader;
    car->AddController(&reader, 0);
    sim->Advance(0.01f, 1);
    ASSERT_EQ(reader.depths.size(), 1u);
    EXPECT_FLOAT_EQ(reader.depths[0], 0.75f);
    EXPECT_EQ(reader.bodies[0], nullptr);
    EXPECT_EQ(reader.rigid[0], nullptr);
    EXPECT_EQ(reader.animated[0], nullptr);
    // Read after the step, outside a callback: reset.
    EXPECT_EQ(wheel->GetDetectDepth(), 0.0f);
    ExpectV3Near(wheel->GetDetectNormal(), neMakeV3(0, 1, 0));
    ExpectV3Near(wheel->GetDetectContactPoint(), neMakeV3(0.3f, 0, 0.3f));

    car->SetPos(neMakeV3(0, 2, 0));  // the line's end just touches the ground
    sim->Advance(0.01f, 1);
    EXPECT_EQ(reader.depths.back(), 0.0f);
    car->SetPos(neMakeV3(0, 0, 0));  // the line starts on the ground
    sim->Advance(0.01f, 1);
    EXPECT_FLOAT_EQ(reader.depths.back(), 2.0f);
    car->SetPos(neMakeV3(0, 5, 0));  // out of reach
    sim->Advance(0.01f, 1);
    EXPECT_EQ(reader.depths.back(), 0.0f);
}

// Lines spread under one body over ground that slopes in x: each finds the
// ground under its own start, also when the body has more lines than the
// terrain stage keeps boxes for (the last lines then share one).
TEST(SensorInSimulator, ManyLinesOverSlopedGroundEachReadTheirOwnDepth) {
    constexpr f32 kSlope = 0.1f;
    for (const int lines : {4, 12}) {
        SimulatorHolder sim;
        TestTerrain ground(16, 1.0f, [](f32 x, f32) { return kSlope * x; });
        neTriangleMesh mesh = ground.Mesh();
        ASSERT_TRUE(sim->SetTerrainMesh(&mesh));
        neRigidBody* car = sim->CreateRigidBody();
        car->AddGeometry()->SetBoxSize(neMakeV3(0.2f, 0.2f, 0.2f));
        for (int i = 0; i < lines; ++i)
            car->AddSensor()->SetLineSensor(neMakeV3(-5.5f + i * 0.9f, 0, 0.4f * (i % 3)), neMakeV3(0, -3, 0));
        car->UpdateBoundingInfo();
        car->GravityEnable(false);
        car->SetPos(neMakeV3(0.3f, 2, 0.1f));
        AllLinesReader reader;
        car->AddController(&reader, 0);
        sim->Advance(0.01f, 1);
        ASSERT_EQ(reader.depths.size(), static_cast<size_t>(lines));
        for (int i = 0; i < lines; ++i) {
            const f32 x = 0.3f - 5.5f + i * 0.9f;
            EXPECT_NEAR(reader.depths[static_cast<size_t>(i)], 3.0f - (2.0f - kSlope * x), 1e-4f) << lines << " " << i;
        }
    }
}

TEST(SensorInSimulator, RigidSensorsSeeAnimatedBodiesButNotRigidOnes) {
    SimulatorHolder sim;
    neRigidBody* car = SensorCar(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, -3, 0));
    SensorReader reader;
    car->AddController(&reader, 0);

    neAnimatedBody* platform = sim->CreateAnimatedBody();
    platform->AddGeometry()->SetBoxSize(neMakeV3(4, 1, 4));
    platform->UpdateBoundingInfo();
    platform->SetPos(neMakeV3(0, -2, 0));
    sim->Advance(0.01f, 1);
    ASSERT_EQ(reader.depths.size(), 1u);
    EXPECT_FLOAT_EQ(reader.depths[0], 1.5f);
    EXPECT_EQ(reader.bodies[0], platform);
    EXPECT_EQ(reader.animated[0], platform);
    EXPECT_EQ(reader.rigid[0], nullptr);

    platform->SetActive(false);
    neRigidBody* crate = sim->CreateRigidBody();
    crate->AddGeometry()->SetBoxSize(neMakeV3(4, 1, 4));
    crate->UpdateBoundingInfo();
    crate->GravityEnable(false);
    crate->SetPos(neMakeV3(0, -2, 0));
    sim->Advance(0.01f, 1);
    sim->Advance(0.01f, 1);
    EXPECT_EQ(reader.depths.back(), 0.0f);
    EXPECT_EQ(reader.bodies.back(), nullptr);
}

// Only boxes are seen: a body whose one geometry is a sphere shows its
// enclosing box, a sphere beside a box on another body is passed through.
// Over a platform and the ground at once the deeper detection stands, the
// platform's (found first) on a tie.
TEST(SensorInSimulator, OnlyBoxesAreSeenAndTheDeeperOfPlatformAndGroundStands) {
    SimulatorHolder sim;
    ASSERT_TRUE(SetFlatGround(sim.sim, 8, 2.0f));
    neRigidBody* car = SensorCar(sim.sim, neMakeV3(0, 0, 0), neMakeV3(0, -4, 0));
    car->SetPos(neMakeV3(0.5f, 3, 0.5f));  // the line ends 1 m below the ground
    SensorReader reader;
    car->AddController(&reader, 0);

    neAnimatedBody* ball = sim->CreateAnimatedBody();
    ball->AddGeometry()->SetSphereDiameter(1);
    ball->UpdateBoundingInfo();
    ball->SetPos(neMakeV3(0.1f, 1, 0.1f));  // the line misses the sphere, not its box
    sim->Advance(0.01f, 1);
    EXPECT_FLOAT_EQ(reader.depths.back(), 2.5f);
    EXPECT_EQ(reader.bodies.back(), ball);

    ball->SetActive(false);
    neAnimatedBody* pair = sim->CreateAnimatedBody();
    pair->AddGeometry()->SetSphereDiameter(1);
    neGeometry* side = pair->AddGeometry();
    side->SetBoxSize(neMakeV3(1, 1, 1));
    side->SetTransform(Placed(neMakeV3(3, 0, 0)));
    pair->UpdateBoundingInfo();
    pair->SetPos(neMakeV3(0.5f, 1, 0.5f));  // the line runs through the sphere's centre
    sim->Advance(0.01f, 1);
    EXPECT_FLOAT_EQ(reader.depths.back(), 1.0f);  // the ground only
    EXPECT_EQ(reader.bodies.back(), nullptr);

    pair->SetActive(false);
    neAnimatedBody* slab = sim->CreateAnimatedBody();
    slab->AddGeometry()->SetBoxSize(neMakeV3(2, 0.5f, 2));
    slab->UpdateBoundingInfo();
    slab->SetPos(neMakeV3(0, 0, 0));  // its top at 0.25: deeper than the ground
    sim->Advance(0.01f, 1);
    EXPECT_FLOAT_EQ(reader.depths.back(), 1.25f);
    EXPECT_EQ(reader.bodies.back(), slab);
    slab->SetPos(neMakeV3(0, -0.25f, 0));  // its top on the ground: a tie
    sim->Advance(0.01f, 1);
    EXPECT_FLOAT_EQ(reader.depths.back(), 1.0f);
    EXPECT_EQ(reader.bodies.back(), slab);
    slab->SetPos(neMakeV3(0, -0.5f, 0));  // below the ground
    sim->Advance(0.01f, 1);
    EXPECT_FLOAT_EQ(reader.depths.back(), 1.0f);
    EXPECT_EQ(reader.bodies.back(), nullptr);
}
