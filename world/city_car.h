// Traffic cars: cars that drive a lane beside the race path, are placed
// ahead of the player out of sight, and carry their own wheel model, turn
// signals, horn and engine sound. The game's flow gives none of them a
// body (nothing calls CreateBody, Update, UpdateCityTraffic or
// LoadCityCars); what stays live is the slot array, its count (which sizes
// the physics pools) and the race tick's rule of building matrices only for
// cars with a body. Worker thread.
#pragma once

#include "framework/model.h"
#include "physics/simulator.h"
#include "world/physics_constants.h"  // kCityCarSlotCount

#include <cstdint>

inline constexpr int kCityCarModelSets = 4;  // base/city/0/ .. base/city/3/

class CityCar {
 public:
  CityCar();
  virtual ~CityCar();
  CityCar(const CityCar&) = delete;
  CityCar& operator=(const CityCar&) = delete;

  // A body of the car's type in `sim` at `position`: one box, four wheel
  // sensors at the type's axles, the traffic wheel controller.
  void CreateBody(neSimulator* sim, const neV3& position);
  void FreeBody(neSimulator* sim);
  // Stands the car still at `position` (raised by 0.5), facing the ground
  // direction `heading`, in a random colour variant.
  void Place(const neV3& position, const neV3& heading);
  // A nearly stopped car (below 0.2, frame factor below 9.5) is lifted by 2.
  void Unstick();
  // The driving logic, once per race tick: lane target, turn signals,
  // horn and headlight flash near the player, speed limit, backing out.
  void Update(float frameFactor);
  // The wheel model, once per simulator step (through gCityCarController).
  void ApplyWheelForces(neRigidBodyController* controller);

  neRigidBody* body;
  float suspension[4];   // per wheel, 1 - sensor depth within 0.6..1.0, for drawing
  float driveForce;      // forward force wanted by Update
  float steer;           // radians, -0.7..0.7
  float wheelRoll;       // wheel rotation angle
  int32_t pathPoint;     // the race-path point the car drives toward
  int32_t type;          // 0 long (14), 1 short (9); row of gCityCarAxles and gCarLightOffsets
  int32_t variant;       // colour variant 0 or 1
  float stuckTime;       // seconds below speed 1 (frame factor x 0.01)
  uint8_t reversing;     // backing out of an obstacle
  int32_t laneDirection; // 0 with the path's point order, 1 against it
  uint8_t respawn;       // farther than 250 from the player: place it again
  float indicatorLeft, indicatorRight;  // turn signals, 1 when set, decaying
  float lampBlink, lampLeft, lampRight; // lamp brightness for drawing
  float hornTime, flashTime;            // horn and headlight-flash timers
  float blinkPhase;
};

// The engine's hook into the traffic cars' wheel model.
class CControllerCB2 : public neRigidBodyControllerCallback {
 public:
  void ControllerCallback(neRigidBodyController* controller, f32 timeStep) override;
};

extern CityCar gCityCars[kCityCarSlotCount];
extern CControllerCB2 gCityCarController;

// The traffic models, one set per folder base/city/<i>/ and the two wheels.
extern Model* gCityCarModels[kCityCarModelSets];
extern Model* gCityGlassModels[kCityCarModelSets];
extern Model* gCityOpticsModels[kCityCarModelSets];
extern Model* gCityWheelFrontModel;
extern Model* gCityWheelRearModel;

// gCityCarCount within the four slots: the settings bound it where they are
// read, and the pools and the slot loops rely on it here as well.
int BoundedCityCarCount();

// Loads the traffic models with their textures and tangent space; models
// already loaded are replaced. A missing file leaves an empty model.
void LoadCityCars();
// Respawning far cars ahead of the player (at most one per call) and the
// traffic engine sound at the nearest car. Cars without a body are skipped.
void UpdateCityTraffic();

// The lane point `offset` beside path point `point` for a car driving in
// `laneDirection`: square to the segment arriving at the point, on the
// side (x, z) -> (-z, x) of its direction.
neV3 LanePoint(int32_t point, int32_t laneDirection, float offset);
// The next path point in `laneDirection`, wrapping at the path's ends.
int32_t NextLanePoint(int32_t point, int32_t laneDirection);
