// Whole scenes of resting bodies: boxes dropped on a triangle mesh, a tower,
// and a busy field of boxes and sensor-borne trucks.
#include "physics_test_util.h"
#include "world/physics_constants.h"
#include "scene_builders.h"
#include "terrain_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <vector>

namespace {

// The game's world: gravity and four sub-steps per 60 Hz frame of 2.3× time.

struct Scene {
    explicit Scene(const neSimulatorSizes& sizes = neSimulatorSizes())
        : sim(neSimulatorCore::CreateSimulator(sizes, nullptr, &kGameGravity)) {
        SetFlatGround(sim, 16, 8.0f);
    }
    ~Scene() { neSimulatorCore::DestroySimulator(sim); }
    void Step() { sim->Advance(kPhysicsSubStep, 1); }
    // Steps until the body sleeps; false when it is still awake after `seconds`.
    bool StepUntilAsleep(neRigidBody* body, f32 seconds) {
        for (f32 t = 0; t < seconds; t += kPhysicsSubStep) {
            Step();
            if (body->IsIdle()) return true;
        }
        return false;
    }
    neSimulatorCore* sim;
};

f32 Energy(neRigidBody* b) {
    const neV3 l = b->GetAngularMomentum();
    const neV3 w = b->GetAngularVelocity();
    return 0.5f * b->GetMass() * b->GetVelocity().Dot(b->GetVelocity()) + 0.5f * w.Dot(l) -
           b->GetMass() * kGameGravity.y * b->GetPos().y;
}

TEST(StackScene, UnitBoxDroppedOnTheMeshRestsOnItsFaceAndSleeps) {
    // Over a cell's middle, on a triangle edge and near a vertex.
    for (const neV3& at : {neMakeV3(3, 1.5f, 2), neMakeV3(4.2f, 1.5f, 3.8f), neMakeV3(0.1f, 1.5f, -0.1f)}) {
        Scene scene;
        neRigidBody* box = MakeBox(scene.sim, at);
        ASSERT_TRUE(scene.StepUntilAsleep(box, 10.0f)) << at.x;
        EXPECT_NEAR(box->GetPos().y, 0.5f, 0.01f) << at.x;
        EXPECT_NEAR(box->GetPos().x, at.x, 0.25f);
        EXPECT_NEAR(box->GetPos().z, at.z, 0.25f);
        EXPECT_NE(box->stackNode, nullptr);

        // Asleep it stays put; a push wakes it.
        const neV3 rest = box->GetPos();
        for (int i = 0; i < 100; ++i) scene.Step();
        EXPECT_TRUE(box->IsIdle());
        ExpectV3Near(box->GetPos(), rest, 1e-6f);
        box->SetVelocity(neMakeV3(2, 0, 0));
        scene.Step();
        EXPECT_FALSE(box->IsIdle());
        EXPECT_GT(box->GetPos().x, rest.x);
    }
}

TEST(StackScene, ABoxLandingOnASleepingOneWakesItAndBothSleepAgain) {
    Scene scene;
    neRigidBody* low = MakeBox(scene.sim, neMakeV3(2, 0.55f, 2));
    ASSERT_TRUE(scene.StepUntilAsleep(low, 5.0f));
    neRigidBody* high = MakeBox(scene.sim, neMakeV3(2.1f, 2.0f, 2.1f));
    bool woke = false;
    for (f32 t = 0; t < 1.0f && !woke; t += kPhysicsSubStep) {
        scene.Step();
        woke = !low->IsIdle();
    }
    EXPECT_TRUE(woke);
    ASSERT_TRUE(scene.StepUntilAsleep(high, 5.0f));
    for (f32 t = 0; t < 2.0f && !low->IsIdle(); t += kPhysicsSubStep) scene.Step();
    EXPECT_TRUE(low->IsIdle());
    EXPECT_NEAR(low->GetPos().y, 0.5f, 0.02f);
    EXPECT_NEAR(high->GetPos().y, 1.5f, 0.04f);
    EXPECT_EQ(high->stackNode->stack, low->stackNode->stack);
}

TEST(StackScene, TowerOfFiveBoxesHoldsAndSleepsAndItsSleepingBoxesHoldStillUnderAWakingTop) {
    Scene scene;
    neRigidBody* boxes[5];
    for (int i = 0; i < 5; ++i) boxes[i] = MakeBox(scene.sim, neMakeV3(3.3f, 0.5f + i * 1.0f, 2.2f));
    neRigidBody* top = boxes[4];
    for (f32 t = 0; t < 1.0f; t += kPhysicsSubStep) scene.Step();
    const neV3 settled = top->GetPos();
    EXPECT_NEAR(settled.y, 4.5f, 0.1f);
    f32 drift = 0;
    for (f32 t = 0; t < 10.0f; t += kPhysicsSubStep) {
        scene.Step();
        drift = std::max(drift, (top->GetPos() - settled).Length());
    }
    EXPECT_LT(drift, 0.02f);
    for (neRigidBody* b : boxes) EXPECT_TRUE(b->IsIdle());
    ASSERT_NE(top->stackNode, nullptr);
    EXPECT_EQ(top->stackNode->stack, boxes[0]->stackNode->stack);
    EXPECT_EQ(top->stackNode->stack->count, 5);

    // The top wakes; the boxes under it stay asleep, and the stack's solve
    // answers the top against them as fixed supports, leaving them unmoved.
    neV3 rest[5];
    for (int i = 0; i < 5; ++i) rest[i] = boxes[i]->GetPos();
    top->WakeUp();
    for (int step = 0; step < 20; ++step) {
        scene.Step();
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(boxes[i]->IsIdle()) << step;
            EXPECT_EQ(boxes[i]->GetVelocity().Length(), 0.0f) << step << " " << i;
        }
    }
    ASSERT_TRUE(scene.StepUntilAsleep(top, 2.0f));
    ExpectV3Near(top->GetPos(), rest[4], 0.01f);
    for (int i = 0; i < 4; ++i) ExpectV3Near(boxes[i]->GetPos(), rest[i], 1e-6f);
}

TEST(StackScene, JoinedBoxesRestTogetherAndSleep) {
    Scene scene;
    neRigidBody* left = MakeBox(scene.sim, neMakeV3(-0.55f, 0.6f, 0));
    neRigidBody* right = MakeBox(scene.sim, neMakeV3(0.55f, 0.6f, 0));
    neConstraint* joint = scene.sim->CreateConstraint(left, right);
    joint->SetJointFrameWorld(Placed(neMakeV3(0, 0.6f, 0)));
    joint->Enable(1);
    bool asleep = false;
    for (f32 t = 0; t < 5.0f && !asleep; t += kPhysicsSubStep) {
        scene.Step();
        asleep = left->IsIdle() && right->IsIdle();
    }
    EXPECT_TRUE(asleep);
    EXPECT_NEAR(left->GetPos().y, 0.5f, 0.02f);
    EXPECT_NEAR(right->GetPos().y, 0.5f, 0.02f);
    EXPECT_NEAR(right->GetPos().x - left->GetPos().x, 1.1f, 0.03f);
}

TEST(StackScene, AStackUnderAJointedBodyIsSolvedWithItsSet) {
    Scene scene;
    neRigidBody* low = MakeBox(scene.sim, neMakeV3(-2, 0.5f, 1));
    neRigidBody* high = MakeBox(scene.sim, neMakeV3(-2, 1.5f, 1));
    for (f32 t = 0; t < 0.5f; t += kPhysicsSubStep) scene.Step();
    ASSERT_NE(high->stackNode, nullptr);
    neStack* stack = high->stackNode->stack;
    ASSERT_EQ(stack->builtIn, 0);

    // A joint holding the top box where it is: its set takes the stack along.
    neConstraint* joint = scene.sim->CreateConstraintWorld(high);
    joint->SetJointFrameWorld(Placed(high->GetPos() + neMakeV3(0.5f, 0, 0)));
    joint->Enable(1);
    high->WakeUp();
    low->WakeUp();
    stack->stepWord = 0;
    scene.sim->SolveConstraints();
    EXPECT_EQ(stack->stepWord, 1);  // solved in this step: the stack phase leaves it
    ASSERT_EQ(scene.sim->solveList.Count(), 2);
    EXPECT_EQ(scene.sim->solveList[0], high->constraintSet);
    EXPECT_EQ(scene.sim->solveList[1], stack);
    const neV3 lowAt = low->GetPos(), highAt = high->GetPos();
    for (f32 t = 0; t < 3.0f; t += kPhysicsSubStep) scene.Step();
    EXPECT_LT((low->GetPos() - lowAt).Length(), 0.02f);
    EXPECT_LT((high->GetPos() - highAt).Length(), 0.02f);
}

// A heavy body held up off the ground (as a truck on its springs) at 3 m/s
// into a light box asleep on the ground, meeting the box's upper half side
// on: momentum goes into the box, so the heavy body loses about what the box
// gains, and does not stop as if the box were part of the ground.
TEST(StackScene, AHeavyBodyKnocksARestingBoxAwayAndKeepsItsSpeed) {
    constexpr f32 kHeavy = 1500.0f, kLight = 30.0f, kSpeed = 3.0f;
    // Level, and pitched a little either way as a truck on its springs is.
    for (f32 pitch : {0.0f, 0.02f, -0.02f}) {
        Scene scene;
        neRigidBody* box = MakeBox(scene.sim, neMakeV3(5, 0.4f, 0.3f), neMakeV3(1, 0.8f, 1), kLight);
        ASSERT_TRUE(scene.StepUntilAsleep(box, 5.0f));
        neRigidBody* heavy = MakeBox(scene.sim, neMakeV3(0, 1.6f, 0), neMakeV3(6.5f, 2.2f, 3.2f), kHeavy);
        neM3 pitched;
        pitched.RotateXYZ(neMakeV3(0, 0, pitch));
        heavy->SetRotation(pitched);
        heavy->GravityEnable(false);
        heavy->SetVelocity(neMakeV3(kSpeed, 0, 0));
        f32 boxTop = 0.0f, heavyLeast = kSpeed;
        for (f32 t = 0; t < 1.0f; t += kPhysicsSubStep) {
            scene.Step();
            boxTop = std::max(boxTop, box->GetVelocity().x);
            heavyLeast = std::min(heavyLeast, heavy->GetVelocity().x);
        }
        const f32 gained = kLight * boxTop, lost = kHeavy * (kSpeed - heavyLeast);
        EXPECT_GT(boxTop, kSpeed) << pitch;  // knocked ahead of the heavy body
        EXPECT_LT(lost, 1.5f * gained) << pitch;
    }
}

TEST(StackScene, DropNeverGainsEnergy) {
    for (int turn = 0; turn < 4; ++turn) {
        Scene scene;
        neRigidBody* box = MakeBox(scene.sim, neMakeV3(1, 2.0f, 1));
        neM3 r;
        r.RotateXYZ(neMakeV3(0.4f * turn, 0.7f * turn, 0.2f * turn));
        box->SetRotation(r);
        box->UpdateRotationAndInertia();
        const f32 start = Energy(box);
        f32 highest = start;
        for (f32 t = 0; t < 4.0f; t += kPhysicsSubStep) {
            scene.Step();
            highest = std::max(highest, Energy(box));
        }
        EXPECT_LE(highest, start * 1.01f) << turn;
    }
}

// A truck hovering on four line sensors: springs under the corners, a
// steady drive against drag (8 m/s at most) steered round a circle, and grip
// against sliding sideways.
class Suspension : public neRigidBodyControllerCallback {
public:
    void ControllerCallback(neRigidBodyController* controller, f32) override {
        neRigidBody* truck = controller->GetRigidBody();
        const neT3 t = truck->GetTransform();
        neV3 force = neMakeV3(0, 0, 0);
        neV3 torque = neMakeV3(0, 0, 0);
        truck->BeginIterateSensor();
        while (neSensor* s = truck->GetNextSensor()) {
            const f32 depth = s->GetDetectDepth();
            if (depth <= 0.0f) continue;
            const neV3 arm = t.rot * s->GetLinePos();
            const neV3 n = s->GetDetectNormal();
            const f32 closing = truck->GetVelocityAtPoint(arm).Dot(n);
            const neV3 f = n * (kSpring * depth - kDamping * closing);
            force += f;
            torque += arm.Cross(f);
        }
        const neV3 forward = t.rot.GetColumn(0);
        const neV3 side = t.rot.GetColumn(2);
        const neV3 v = truck->GetVelocity();
        force += forward * (kDrive - kDrag * v.Dot(forward)) - side * (kGrip * v.Dot(side));
        // Steer along the circle of radius 15 round the origin (counterclockwise
        // seen from above), back toward it when off it.
        const neV3 p = truck->GetPos();
        const f32 r = std::sqrt(p.x * p.x + p.z * p.z);
        neV3 along = neMakeV3(p.z, 0, -p.x) * (1.0f / r) + neMakeV3(p.x, 0, p.z) * ((kRadius - r) * 0.2f / r);
        along.Normalize();
        const f32 turn = forward.Cross(along).y;
        torque += neMakeV3(0, kSteer * turn, 0) - truck->GetAngularVelocity() * kSpinDamping;
        controller->SetControllerForce(force);
        controller->SetControllerTorque(torque);
    }
    static constexpr f32 kSpring = 120.0f, kDamping = 30.0f, kDrive = 40.0f, kDrag = 5.0f, kGrip = 20.0f, kSteer = 60.0f, kRadius = 15.0f,
                         kSpinDamping = 15.0f;
};

// A truck on the circle of radius 15 round the origin at angle `around`,
// heading along it.
neRigidBody* MakeTruck(neSimulatorCore* sim, f32 around, Suspension* suspension) {
    neRigidBody* truck = MakeBox(sim, neMakeV3(15 * std::sin(around), 1, 15 * std::cos(around)), neMakeV3(4, 1, 2), 10.0f);
    neM3 heading;
    heading.RotateXYZ(neMakeV3(0, around, 0));
    truck->SetRotation(heading);
    for (f32 x : {-1.5f, 1.5f})
        for (f32 z : {-0.8f, 0.8f}) truck->AddSensor()->SetLineSensor(neMakeV3(x, 0, z), neMakeV3(0, -1.2f, 0));
    truck->UpdateBoundingInfo();
    truck->UpdateRotationAndInertia();
    truck->AddController(suspension, 0);
    return truck;
}

neV3 BoxStart(int i) { return neMakeV3(-14.4f + 3.2f * (i % 10), 0.6f, -14.4f + 3.2f * (i / 10)); }

TEST(StackScene, TrucksAmongAHundredBoxesForAMinute) {
    neSimulatorSizes sizes;
    sizes.rigidBodiesCount = 110;
    sizes.geometriesCount = 110;
    sizes.overlapPairsCount = 110 * 109 / 2;
    Scene scene(sizes);
    Suspension suspension;
    std::vector<neRigidBody*> boxes;
    for (int i = 0; i < 100; ++i)
        boxes.push_back(MakeBox(scene.sim, BoxStart(i)));
    std::vector<neRigidBody*> trucks;
    for (int i = 0; i < 4; ++i) trucks.push_back(MakeTruck(scene.sim, i * 0.5f * NE_PI, &suspension));

    int moved = 0;
    f32 lowest = 1.0f, farthest = 0.0f;
    for (f32 t = 0; t < 60.0f; t += kPhysicsSubStep) {
        scene.Step();
        for (neRigidBody* b : boxes) {
            ASSERT_TRUE(Finite(b->GetPos()) && Finite(b->GetVelocity())) << t;
            lowest = std::min(lowest, b->GetPos().y);
            farthest = std::max({farthest, std::fabs(b->GetPos().x), std::fabs(b->GetPos().z)});
        }
        for (neRigidBody* truck : trucks) ASSERT_TRUE(Finite(truck->GetPos()) && truck->GetPos().y > 0.5f) << t;
    }
    for (int i = 0; i < 100; ++i) {
        if ((boxes[i]->GetPos() - BoxStart(i)).Length() > 0.5f) ++moved;
    }
    EXPECT_GT(moved, 20);  // the trucks did meet boxes ...
    EXPECT_LT(farthest, 60.0f);  // ... and pushed none off the ground
    // A unit box's centre lies 0.5 above the ground at the lowest.
    EXPECT_GT(lowest, 0.45f);
}

}  // namespace
