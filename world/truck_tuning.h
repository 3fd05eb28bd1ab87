// How the trucks handle: every number that gives a truck its feel (body,
// steering lock, drive per gear for the player and the opponents, springs,
// grip, drag, rolling resistance and the surfaces' friction) in one record,
// so that a change to the top speed or the grip is made in one place. Read
// by the truck body, the player's and the opponents' drivers, the wheel
// model and the physics world's materials.
#pragma once

#include "math/ne_math.h"

inline constexpr int kTopGear = 5;
inline constexpr int kSurfaceMaterialCount = 4;  // terrain, trucks, props, and one set for nothing

// A surface's contact response.
struct SurfaceMaterial {
  float friction, restitution;
};

struct TruckTuning {
  // The body: a box (x its length, forward = +x) raised into the body, its
  // mass, and the box the inertia is taken from.
  float mass;
  neV3 boxSize, boxOffset, inertiaBox;

  // Steering, radians: the lock of every driver's wheel (traffic cars'
  // too), and how fast the drawn front wheels follow the driver, per
  // frame-factor unit.
  float maxSteer;
  float steerRate;
  float rearSteerFactor;  // the rear slide direction turns against the steering

  // The player's drive force per gear (0 neutral, 1..kTopGear) and its cap,
  // brakes and reverse, and the boost's extra push.
  float playerGearDrive[kTopGear + 1];
  float maxDriveForce;
  float brakeForward, brakeBackward;
  float finishedBrake;  // against the motion once the player has finished
  float reverseTopSpeed;
  float boostForce;

  // The opponents' drive: first gear, then per gear 2..kTopGear times their
  // power (the player's power factor × powerScale × catch-up), reverse;
  // their top speed and the lowest cap the catch-up brings it down to.
  float opponentFirstGearDrive;
  float opponentGearDrive[kTopGear + 1];
  float opponentReverseDrive;
  float opponentPowerScale;
  float opponentTopSpeed, opponentLowestCap;  // world units per second

  // Springs and dampers of the wheel sensors; the spring pushes from a
  // sensor depth of springFreeDepth on.
  float springFront, springRear;
  float damping;
  float springFreeDepth;
  // Side grip per wheel, and × sqrt(slip) below a slip of 1.
  float gripFront, gripRear;
  float gripBelowUnitSlip;
  float driveShareFront, driveShareRear;
  // Air drag above airDragFromSpeed: airDrag × (speed − from)^airDragPower.
  float airDragFromSpeed;
  float airDrag, airDragPower;
  // Rolling resistance: × speed² below speed 1, × speed above.
  float rollingBelowUnit, rolling;

  // The physics world's surfaces, by material index (world/racer.h).
  SurfaceMaterial surfaces[kSurfaceMaterialCount];
};

inline constexpr TruckTuning kTruckTuning = {
    .mass = 100.0f,
    .boxSize = {6.5f, 2.2f, 3.2f, 0.0f},
    .boxOffset = {0.0f, 0.6f, 0.0f, 0.0f},
    .inertiaBox = {0.75f * 6.5f, 0.75f * 1.5f, 0.75f * 2.9f, 0.0f},

    .maxSteer = 0.7f,
    .steerRate = 0.02f,
    .rearSteerFactor = -2.35f,

    .playerGearDrive = {0.0f, 365.0f, 210.0f, 136.0f, 100.0f, 90.0f},
    .maxDriveForce = 365.0f,
    .brakeForward = -365.0f,
    .brakeBackward = 150.0f,
    .finishedBrake = 180.0f,
    .reverseTopSpeed = 10.0f,
    .boostForce = 1.45f,

    .opponentFirstGearDrive = 135.0f,
    .opponentGearDrive = {0.0f, 0.0f, 150.0f, 120.0f, 100.0f, 90.0f},
    .opponentReverseDrive = -160.0f,
    .opponentPowerScale = 1.4f,
    .opponentTopSpeed = 32.0f,
    .opponentLowestCap = 10.0f,

    .springFront = 2000.0f,
    .springRear = 2200.0f,
    .damping = 225.0f,
    .springFreeDepth = 0.25f,
    .gripFront = -225.0f,
    .gripRear = -180.0f,
    .gripBelowUnitSlip = -180.0f,
    .driveShareFront = 0.3f,
    .driveShareRear = 0.7f,
    .airDragFromSpeed = 20.0f,
    .airDrag = -0.005f,
    .airDragPower = 4.4f,
    .rollingBelowUnit = -200.0f,
    .rolling = -0.12f,

    .surfaces = {{0.8f, 0.25f}, {0.45f, 0.1f}, {0.55f, 0.9f}, {0.0f, 0.1f}},
};
