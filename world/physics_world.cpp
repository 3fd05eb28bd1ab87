#include "world/physics_world.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "world/city_car.h"
#include "world/city_object.h"
#include "world/opponent.h"
#include "world/physics_constants.h"
#include "world/race_path.h"
#include "world/race_state.h"
#include "world/racer.h"
#include "world/truck_tuning.h"
#include "world/world_models.h"

#include <algorithm>
#include <cmath>
#include <vector>

neSimulator* gSimulator;
float gPrevPhysicsFrameTime;
uint8_t gCrashSoundBusy[kCrashBankCount][kCrashSoundsPerBank];
neRigidBody* gCrashSoundPos[kCrashBankCount][kCrashSoundsPerBank];

namespace {

// Collision-table entry: respond and tell OnCollision.
constexpr int kRespondAndReport = NE_RESPONSE_IMPULSE | NE_RESPONSE_CALLBACK;
constexpr int kPropCollisionId = 1;

// The grid: racer i stands (10 - 5 i) behind the first path point, three to
// one side or the other, a little above the path.
constexpr float kGridBehindFirst = 10.0f;
constexpr float kGridRowStep = 5.0f;
constexpr float kGridSide = 3.0f;
constexpr float kGridLift = 0.45f;

constexpr float kMinFrameTimeRatio = 0.8f, kMaxFrameTimeRatio = 1.2f;
constexpr float kManySubStepsAbove = 1.0f / 17.0f;  // seconds

// Collision bonuses and sounds.
constexpr float kPropCrashSoundCoolDown = 0.5f;  // seconds
constexpr int kCrashSoundTries = 12;
constexpr float kPropHitImpact = 12.0f, kPropHardHitImpact = 15.0f;
constexpr float kRamImpact = 7.5f;
constexpr float kBumpedSeconds = 2.0f;
constexpr float kHeavyCrashImpact = 12.5f, kCrashEffectImpact = 10.0f;
constexpr float kCrashSoundGap = 2.0f;  // crashSoundTime units

neV3 GridSide(const neV3& d) { return SafeUnit(neMakeV3(0.0f, 1.0f, 0.0f).Cross(d)); }

void PlaceRacers(const neV3& d) {
  const neV3 side = GridSide(d);
  gChaseDirXGoal = d.x;
  gChaseDirZGoal = d.z;
  gChaseDirX = 3.0f * d.x + 0.25f * side.x;
  gChaseDirZ = 3.0f * d.z + 0.25f * side.z;
  // The opponents weave from the same phase in every race, not from where
  // the last race left it.
  gOpponentWeavePhase = 0.0f;
  for (int i = 0; i < kRacerCount; ++i) {
    Racer& car = gRacers[i];
    car.slot = i;
    car.slotNumber = i + 1;
    neV3 start = GridSlotPosition(gRacePath[0].position, gRacePath[1].position, i);
    start.y += kGridLift;
    car.CreateBody(gSimulator, start, d);
    car.startRotation = car.body->GetRotationM3();
    car.aiWaypoint = car.aiLookAhead = 0;
    car.place = kRacerCount;
    car.nextCheckpoint = car.laps = 0;
    car.driveForce = car.steerInput = car.pointCloseness = 0.0f;
    car.stuckTime = car.reverseTime = car.bumpedTime = 0.0f;
    car.reversing = 0;
    car.reachedPoint = car.lastReachedPoint = 0;
    car.progress = 0.0f;
    car.raceMinutes = car.raceSeconds = car.lapMinutes = car.lapSeconds = 0;
    car.bestLapMinutes = car.bestLapSeconds = 0;
    car.raceHundredths = car.lapHundredths = car.bestLapHundredths = 0.0f;
  }
}

void StartRaceLoops() {
  Sound* loops[] = {&gSndEngine0, &gSndEngine1,    &gSndEngine2, &gSndOpponentEngine[0], &gSndOpponentEngine[1],
                    &gSndOpponentEngine[2], &gSndSuspension, &gSndWind, &gSndAmbient, &gSndSt1,
                    &gSndSt2[0], &gSndSt2[1], &gSndSt2[2]};
  for (Sound* sound : loops) {
    sound->SetGain(0.0f);
    sound->Play();
  }
}

// The racer whose truck this body is, or null for any other body.
Racer* RacerOf(neBody* body) {
  if (!body) return nullptr;
  for (Racer& car : gRacers)
    if (car.body == body) return &car;
  return nullptr;
}

// The prop a body belongs to, or null.
CityObject* PropOf(neBody* body) {
  if (!body) return nullptr;
  const uintptr_t index = body->GetUserData();
  return index < uintptr_t(std::clamp(gCityObjectCount, 0, kCityObjectCapacity)) ? &gCityObjects[index] : nullptr;
}

float SpeedOf(neBody* body) {
  neRigidBody* rigid = body ? body->AsRigidBody() : nullptr;
  return rigid ? rigid->GetVelocity().Length() : 0.0f;
}

void PlayPropCrash(neBody* propBody, CityObject& prop) {
  for (int attempt = 0; attempt < kCrashSoundTries; ++attempt) {
    const int bank = 1 + Random() % 2;
    const int index = Random() % 4;
    if (gSndCrash[bank][index].IsPlaying()) continue;
    gCrashSoundBusy[bank][index] = 1;
    gCrashSoundPos[bank][index] = propBody->AsRigidBody();
    prop.crashCoolDown = 0.0f;
    if (gSoundOn) gSndCrash[bank][index].Play();
    return;
  }
}

void CarHitsProp(const neCollisionInfo& info, float impact) {
  neBody* propBody = info.materialIndexA == kMaterialProp ? info.bodyA : info.bodyB;
  CityObject* prop = PropOf(propBody);
  if (!prop) return;
  if (prop->crashCoolDown > kPropCrashSoundCoolDown) PlayPropCrash(propBody, *prop);
  if (!prop->hitBonusGiven && impact > kPropHitImpact) {
    GiveBonus(kBonusPropHit);
    if (impact > kPropHardHitImpact) gCrashEffect = 1.0f;
    prop->hitBonusGiven = 1;
  }
}

void CarHitsCar(const neCollisionInfo& info, float impact) {
  Racer* a = RacerOf(info.bodyA);
  Racer* b = RacerOf(info.bodyB);
  if (!a || !b) return;
  const Racer* player = &gRacers[0];
  if (a == player) b->bumpedTime = kBumpedSeconds;
  if (b == player) a->bumpedTime = kBumpedSeconds;
  const float speedA = SpeedOf(info.bodyA), speedB = SpeedOf(info.bodyB);
  const bool rammed = (a == player && speedB < speedA) || (b == player && speedA < speedB);
  if (rammed && impact > kRamImpact) GiveBonus(kBonusRam);
}

void PlayerCrashSound(Racer& car, float impact) {
  if (car.crashSoundTime <= kCrashSoundGap) return;
  car.crashSoundTime = 0.0f;
  const neV3 p = car.body->GetPos(), v = car.body->GetVelocity();
  const bool heavy = impact >= kHeavyCrashImpact;
  Sound& sound = heavy ? gSndCr1 : gSndCr0;
  sound.SetPositionVelocity(p.x, p.y, p.z, v.x, v.y, v.z);
  if (!heavy) sound.SetGain(std::min(impact * 0.1f, 1.0f));
  if (gSoundOn) sound.Play();
  if (heavy || impact > kCrashEffectImpact) gCrashEffect = 1.0f;
}

// Destroys the simulator and forgets every body pointer into it.
void ReleaseSimulator() {
  if (gSimulator) neSimulator::DestroySimulator(gSimulator);
  gSimulator = nullptr;
  for (Racer& car : gRacers) {
    car.body = nullptr;
    for (neRigidBody*& wheel : car.wheelBodies) wheel = nullptr;
  }
  for (CityObject& prop : gCityObjects) {
    for (neRigidBody*& part : prop.partBodies) part = nullptr;
    prop.bodyCount = 0;
  }
  for (CityCar& traffic : gCityCars) traffic.body = nullptr;
  for (int b = 0; b < kCrashBankCount; ++b)
    for (int s = 0; s < kCrashSoundsPerBank; ++s) {
      gCrashSoundBusy[b][s] = 0;
      gCrashSoundPos[b][s] = nullptr;
    }
}

}  // namespace

neV3 GridDirection(const neV3& first, const neV3& second) {
  neV3 d = second - first;
  d.y = 0.0f;
  // Two first points on one vertical give no direction: face +x.
  d = SafeUnit(d);
  return d.Dot(d) > 0.0f ? d : neMakeV3(1.0f, 0.0f, 0.0f);
}

neV3 GridSlotPosition(const neV3& first, const neV3& second, int slot) {
  const neV3 d = GridDirection(first, second);
  const float sideOffset = (slot % 2 == 0) ? kGridSide : -kGridSide;
  return first - (d * (kGridBehindFirst - kGridRowStep * slot) + GridSide(d) * sideOffset);
}

PhysicsStepPlan PlanPhysicsStep(float frameTime, float previousFrameTime) {
  float dt = frameTime;
  if (previousFrameTime != 0.0f) {
    dt = std::max(dt, kMinFrameTimeRatio * previousFrameTime);
    dt = std::min(dt, kMaxFrameTimeRatio * previousFrameTime);
  }
  dt = std::min(dt, kMaxPhysicsFrameTime);
  PhysicsStepPlan plan{dt, false, 0, 0.0f};
  // No time to step (a first frame of no time): nothing advances. A slower
  // frame steps kMaxPhysicsFrameTime, so a slow machine races in slow motion.
  if (!(dt > 0.0f)) return plan;
  plan.advance = true;
  plan.subSteps = dt > kManySubStepsAbove ? FloatToInt((dt - kManySubStepsAbove) * 100.0f + 5.0f) : kPhysicsSubSteps;
  plan.simulatedTime = dt * kPhysicsTimeScale;
  return plan;
}

void BuildTerrainMesh(neSimulator* sim, const Model& physic) {
  std::vector<neV3> vertices(std::max(physic.vertexCount, 0));
  for (size_t i = 0; i < vertices.size(); ++i) {
    const float* p = physic.vertices[i].position;
    vertices[i] = neMakeV3(p[0], p[1], p[2]);
  }
  std::vector<neTriangle> triangles(std::max(physic.triangleCount, 0));
  for (size_t i = 0; i < triangles.size(); ++i) {
    for (int k = 0; k < 3; ++k) triangles[i].indices[k] = physic.triangles[i].vertexIndices[k];
    triangles[i].materialIndex = kMaterialTerrain;
    triangles[i].flags = NE_TRIANGLE_FULL_TEST;
    triangles[i].userData = 0;
  }
  neTriangleMesh mesh;
  mesh.vertices = vertices.data();
  mesh.vertexCount = static_cast<s32>(vertices.size());
  mesh.triangles = triangles.data();
  mesh.triangleCount = static_cast<s32>(triangles.size());
  sim->SetTerrainMesh(&mesh);  // the engine keeps its own copy
}

void InitPhysicsWorld() {
  ReleaseSimulator();
  const neSimulatorSizes sizes = RaceSimulatorSizes(BoundedCityCarCount());
  gSimulator = neSimulator::CreateSimulator(sizes, nullptr, &kGameGravity);
  for (int i = 0; i < kSurfaceMaterialCount; ++i)
    gSimulator->SetMaterial(i, kTruckTuning.surfaces[i].friction, kTruckTuning.surfaces[i].restitution);

  PlaceRacers(GridDirection(gRacePath[0].position, gRacePath[1].position));

  Model*& physic = gWorldModels[kWorldModelPhysic];
  if (physic) {
    BuildTerrainMesh(gSimulator, *physic);
    delete physic;
    physic = nullptr;
  }
  const int props = std::clamp(gCityObjectCount, 0, kCityObjectCapacity);
  for (int i = 0; i < props; ++i) gCityObjects[i].CreateBodies(gSimulator, i);

  neCollisionTable* table = gSimulator->GetCollisionTable();
  table->Set(kCarCollisionId, -1, kRespondAndReport);
  table->Set(kCarCollisionId, kCarCollisionId, kRespondAndReport);
  table->Set(kCarCollisionId, kPropCollisionId, kRespondAndReport);
  table->Set(kPropCollisionId, kCarCollisionId, kRespondAndReport);
  gSimulator->SetCollisionCallback(OnCollision);

  if (gSoundOn) StartRaceLoops();
}

void OnCollision(neCollisionInfo* info) {
  const float impact = info->relativeVelocity.Length();
  const bool bothRigid = info->typeA == NE_COLLISION_RIGID && info->typeB == NE_COLLISION_RIGID;
  const int ma = info->materialIndexA, mb = info->materialIndexB;
  const bool carA = ma == kMaterialCar, carB = mb == kMaterialCar;

  if (bothRigid && ((carA && mb == kMaterialProp) || (ma == kMaterialProp && carB))) CarHitsProp(*info, impact);
  if (bothRigid && carA && carB) CarHitsCar(*info, impact);

  // The car of the pair: the body of material 1 (the second when both are).
  neBody* carBody = carB ? info->bodyB : carA ? info->bodyA : nullptr;
  Racer* car = RacerOf(carBody);
  const int other = carB ? ma : mb;
  if (car != &gRacers[0]) return;
  if (other == kMaterialTerrain || other == kMaterialProp) gBonusTimers[kBonusCleanDriving - 1] = 0.0f;
  if (other != kMaterialProp) PlayerCrashSound(*car, impact);
}

void StepPhysicsWorld() {
  const PhysicsStepPlan plan = PlanPhysicsStep(gPhysicsFrameTime, gPrevPhysicsFrameTime);
  gPrevPhysicsFrameTime = plan.frameTime;
  if (!plan.advance || !gSimulator) return;
  gRacers[0].UpdatePlayer(gFrameFactor);
  for (int i = 1; i < kRacerCount; ++i) gRacers[i].UpdateOpponent(gFrameFactor);
  gSimulator->Advance(plan.simulatedTime, plan.subSteps);
}

void DestroyPhysicsWorld() {
  ReleaseSimulator();
  gCityObjectCount = 0;
}
