// The four racers: the record of each (its truck body, driving state,
// progress and clocks, and what the renderer draws of it), the controller
// callback through which the engine runs their wheel model, and the
// tyre-track and dust rings the wheel model fills.
//
// Worker thread: everything here is written by the track loader and the
// race tick. The render thread reads only the render-copy fields, the body
// transforms and the rings, while the worker waits in the lock-step.
#pragma once

#include "framework/startup_models.h"  // kVintModelCount
#include "framework/vector_math.h"
#include "physics/simulator.h"

#include <cstdint>

inline constexpr int kRacerCount = 4;  // slot 0 the player, 1..3 the opponents
inline constexpr int kWheelCount = 4;  // 0 front +z, 1 front -z, 2 rear +z, 3 rear -z
inline constexpr int kPlacementCount = 10;
inline constexpr int kTyreTrackRingSize = 400;  // track quads per wheel
inline constexpr int kDustRingSize = 100;       // dust particles per wheel

// What a truck's marker model places, fixed for a race: read by the wheel
// sensors and, through the race frame's copy, by the drawing.
struct TruckLayout {
  float frontAxleX = 0, rearAxleX = 0;    // axle distances ahead of and behind the centre
  float frontWheelZ = 0, rearWheelZ = 0;  // sideways offsets of the drawn wheels
  neV3 lampPoints[4] = {};
  neV3 exhaustPoints[2] = {};
  Matrix4 vintPlacements[kVintModelCount][kPlacementCount];  // big, small, turbo spinning parts
};

inline constexpr float kCarSleepingParameter = 0.01f;
// Wheel line sensors: start height and sideways offset in the body, and the
// line, downward and splayed outward by 0.15 (so 1.011 long).
inline constexpr float kWheelSensorY = -0.35f;
inline constexpr float kWheelSensorZ = 1.4f;
inline constexpr float kWheelSensorSplay = 0.15f;

// Surface materials of the physics world.
inline constexpr int kMaterialTerrain = 0;
inline constexpr int kMaterialCar = 1;
inline constexpr int kMaterialProp = 2;
inline constexpr int kCarCollisionId = 0;

// One racer: its truck body, driving and race progress, and the render
// copies the race frame reads.
class Racer {
 public:
  Racer();
  Racer(const Racer&) = delete;
  Racer& operator=(const Racer&) = delete;

  // Builds the truck body in `sim` at `position`, its +x axis along the
  // ground direction `direction`: one box, four wheel sensors from the
  // axle fields, the shared wheel controller.
  void CreateBody(neSimulator* sim, const neV3& position, const neV3& direction);
  // The jointed-wheel variant, which the game never builds: after
  // CreateBody with the same place, four small wheel bodies hung on the
  // chassis by hinges across the truck, placed from the carKind row of
  // gWheelSizes. A full pool leaves the remaining wheels out.
  void CreateWheelBodies(neSimulator* sim, const neV3& position, const neV3& direction);
  // The wheel model, once per simulator step (through gCarController).
  void ApplyWheelForces(neRigidBodyController* controller);
  // The player's driving, once per race tick before the simulator advances.
  void UpdatePlayer(float frameFactor);
  // An opponent's driving, once per race tick after the player's.
  void UpdateOpponent(float frameFactor);
  // A nearly stopped truck (below 0.2, frame factor below 9.5) goes back to
  // its grid orientation, 2.0 higher, with no drive.
  void Unstick();

  neRigidBody* body;
  neRigidBody* wheelBodies[kWheelCount];  // the jointed-wheel variant; the game never builds them
  float suspension[kWheelCount];      // 1.35 - sensor depth, plus bump wobble: the wheel's drawn height
  float suspensionDraw[kWheelCount];  // render copy
  int32_t slot;          // index in gRacers, -1 until the world is set up; row of every per-slot table
  float driveForce;      // signed force along the forward axis, 30 % front, 70 % rear
  float bumpedTime;      // seconds an opponent coasts after the player hit it
  float spinThrottle;    // 0..1 wheel-spin throttle of first gear and reverse
  float speed;           // |body velocity|
  float rpm;             // engine revolutions 1000..7500 from speed and gear
  float displayRpm;      // rpm smoothed; the engine sound's pitch
  float steerInput;      // steering target, radians -0.7..0.7, positive = left
  float steerAngle;      // steerInput followed at a limited rate; the drawn front wheels
  float slideRatio;      // lateral speed / speed
  float wheelRoll[kWheelCount];      // wheel rotation angle
  float wheelRollDraw[kWheelCount];  // render copy
  float wheelSpin[kWheelCount];      // wheel rotation per controller call
  int32_t aiWaypoint;    // opponent's target point in gRacePath
  int32_t aiLookAhead;   // opponent's look-ahead point
  int32_t carKind;       // catalogue row 0..17 (indexes gWheelSizes)
  float reverseTime;     // opponent: time stuck, then time left reversing
  float stuckTime;       // opponent: time nearly stopped before a recovery
  uint8_t reversing;     // opponent reverses out of an obstacle
  float brakeGlow;       // 0..1, rises while braking above speed 3
  neM3 startRotation;    // orientation on the grid, restored by Unstick
  uint8_t reverseArmed;  // player: the brake key engages reverse on its next press
  uint8_t brakeHeld;     // player: the brake key was held
  float boost;           // player's boost meter 0..100
  uint8_t boostEmpty;    // the meter reached 100: no boost until it drains to 0
  float boostForce;      // extra forward force while boosting
  int32_t gear;          // -1 reverse, 0 neutral before the first throttle, 1..5
  float backfire;        // 2.0 after a shift at high revolutions, decays
  float brakeLight;      // 1 while braking (and while held at the start)
  float reverseLight;    // 1 while reversing
  int32_t slotNumber;    // slot + 1
  float crashSoundTime;  // a landing or crash sound needs more than 2.0 and resets it
  int32_t laps;          // crossings of path point 0 (the start line counts as the first)
  int32_t nextCheckpoint;  // next path point of kind 1, 4 or 5 to reach
  int32_t place;           // 1..4
  float pointCloseness;    // 0..1 nearness to the reached point
  int32_t reachedPoint;      // path point found near the truck this frame
  int32_t lastReachedPoint;  // previous reachedPoint
  float progress;            // compared between racers for places
  int32_t isOpponent;
  float exhaustFlame;  // 0.7, 2.0 while boosting
  float resetFlash;    // 1 when put back on the track, decays
  int32_t raceMinutes, raceSeconds;
  float raceHundredths;
  int32_t lapMinutes, lapSeconds;
  float lapHundredths;
  int32_t bestLapMinutes, bestLapSeconds;
  float bestLapHundredths;
  float revPhase;        // opponent's revving phase on the start line
  float drawExtras[3];   // stay 0; the renderer reads them
  neV3 velocity;         // body velocity of this frame
  neV3 velocityDraw;     // render copy
  neV3 frontWheelDir;    // forward axis turned about the up axis by steerInput
  neV3 groundHeading;    // forward axis with y = 0, unit
  float slideSkid;       // 0..1 skid strength from sliding and braking
  float spinSkid;        // 0..1 skid strength from wheel spin
  int32_t trackHead[kWheelCount];      // next quad of each wheel's track ring
  int32_t trackHeadDraw[kWheelCount];  // render copy
  uint8_t trackActive[kWheelCount];
  neV3 trackLastPoint[kWheelCount], trackLastLeft[kWheelCount], trackLastRight[kWheelCount];
  float trackLastAlpha[kWheelCount];
  float dustTime[kWheelCount];
  uint8_t dustActive[kWheelCount];
  neV3 dustLastPoint[kWheelCount], dustLastVelocity[kWheelCount];
  int32_t dustHead[kWheelCount];
  int32_t dustSpawned[kWheelCount];  // particles given off since the race began; the race frame takes the new ones
  TruckLayout layout;  // from the truck's marker model
};

// The engine's hook into the racers' wheel model.
class CControllerCB : public neRigidBodyControllerCallback {
 public:
  void ControllerCallback(neRigidBodyController* controller, f32 timeStep) override;
};

extern Racer gRacers[kRacerCount];
extern CControllerCB gCarController;

// One tyre-track quad: corners new left, new right, old right, old left.
struct TyreTrackQuad {
  neV3 corners[4];
  float cornerFloats[4][3];  // the same corners as plain floats
  float normal[3];           // ground normal
  float edge1[3];            // unit, corner 1 - corner 0
  float edge2[3];            // unit, corner 2 - corner 0
  float alphaNew, alphaOld;  // opacity at the new and the old edge
};

struct WheelParticle {
  neV3 position;
  neV3 velocity;
  float age;      // the renderer ages it and lets it die at 1
  uint8_t alive;
};

extern TyreTrackQuad gTyreTracks[kRacerCount][kWheelCount][kTyreTrackRingSize];
extern WheelParticle gWheelParticles[kRacerCount][kWheelCount][kDustRingSize];

// A turn of `yaw` radians about +y: how CreateBody and the back-on-track
// reset orient a truck.
neM3 YawRotation(float yaw);
// b with its component along the unit vector a removed.
neV3 WithoutComponent(neV3 b, const neV3& a);
// v / |v|, or the zero vector when v is too short to have a direction (its
// squared length below the smallest normal float) or not finite.
neV3 SafeUnit(neV3 v);
