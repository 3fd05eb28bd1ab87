#include "world/city_object.h"

#include "world/markers.h"
#include "world/racer.h"

#include <algorithm>

CityObject gCityObjects[kCityObjectCapacity];
int32_t gCityObjectCount;

namespace {

// Props share the trucks' collision group: they meet trucks, the terrain
// and each other.
constexpr int kPropBodyCollisionId = 0;

float GroundDistanceSq(const neV3& a, const neV3& b) {
  const float dx = a.x - b.x, dz = a.z - b.z;
  return dx * dx + dz * dz;
}

void ToRestPose(CityObject& prop, int j) {
  neRigidBody* part = prop.partBodies[j];
  part->SetVelocity(neMakeV3(0, 0, 0));
  part->SetAngularMomentum(neMakeV3(0, 0, 0));
  part->SetPos(prop.restPosition + prop.partOffsets[j]);
  part->SetRotation(prop.restOrientation);
}

void Wake(CityObject& prop, neRigidBody* player) {
  prop.awake = 1;
  prop.settled = 0;
  prop.crashCoolDown = kPropCrashCoolDownStart;
  prop.hitBonusGiven = 0;
  for (int j = 0; j < prop.bodyCount; ++j) {
    prop.partBodies[j]->SetActive(true, player);
    prop.knocked[j] = 0;
    prop.partBodies[j]->GravityEnable(false);
    ToRestPose(prop, j);
  }
}

// A part pushed off its rest pose knocks the whole prop: every part falls.
void KnockWhenMoved(CityObject& prop) {
  for (int j = 0; j < prop.bodyCount; ++j) {
    const neV3 rest = prop.restPosition + prop.partOffsets[j];
    if ((rest - prop.partBodies[j]->GetPos()).Length() <= kPropKnockDistance || prop.knocked[j]) continue;
    for (int k = 0; k < prop.bodyCount; ++k) {
      prop.knocked[k] = 1;
      prop.partBodies[k]->GravityEnable(true);
    }
  }
}

// Settled once every knocked part lies far from the player.
void SettleWhenAlone(CityObject& prop, const neV3& player) {
  for (int j = 0; j < prop.bodyCount; ++j) {
    const bool far = GroundDistanceSq(player, prop.partBodies[j]->GetPos()) > kPropSettleDistance * kPropSettleDistance;
    if (prop.knocked[j] && !far) return;
  }
  prop.settled = 1;
  for (int j = 0; j < prop.bodyCount; ++j) {
    prop.knocked[j] = 0;
    prop.partBodies[j]->GravityEnable(false);
  }
}

void PutBack(CityObject& prop, neRigidBody* player) {
  prop.awake = 0;
  for (int j = 0; j < prop.bodyCount; ++j) {
    ToRestPose(prop, j);
    prop.partBodies[j]->SetActive(false, player);
  }
}

}  // namespace


CityObject::CityObject()
    : partBodies{},
      awake(0),
      index(0),
      type(0),
      partCount(0),
      bodyCount(0),
      restPosition{},
      restOrientation{},
      partOffsets{},
      hitBonusGiven(0),
      knocked{},
      settled(0),
      playerDistSq(0),
      crashCoolDown(0) {}

CityObject::~CityObject() {
  for (neRigidBody*& body : partBodies) body = nullptr;
  awake = 0;
  index = type = partCount = bodyCount = 0;
  playerDistSq = 0.0f;
}

void BuildCityObjectsFromModel(const Model& markers) {
  gCityObjectCount = 0;
  for (int g = 0; g < markers.groupCount; ++g) {
    const ModelGroup& group = markers.groups[g];
    for (int t = 0; t < group.triangleCount; ++t) {
      if (gCityObjectCount >= kCityObjectCapacity) return;
      CityObject& prop = gCityObjects[gCityObjectCount];
      const MarkerCorners corners = TriangleCorners(markers, group.triangleIndices[t]);
      prop.restOrientation = MarkerOrientation(corners);
      prop.restPosition = corners.p[1];
      for (int j = 0; j < kMaxPropParts; ++j) {
        prop.partBodies[j] = nullptr;
        prop.knocked[j] = 0;
      }
      prop.awake = prop.hitBonusGiven = prop.settled = 0;
      prop.bodyCount = 0;
      prop.crashCoolDown = kPropCrashCoolDownStart;
      prop.type = g;
      prop.partCount = PropPartCount(g);
      ++gCityObjectCount;
    }
  }
}

void CityObject::CreateBodies(neSimulator* sim, int objectIndex) {
  index = objectIndex;
  bodyCount = 0;
  partCount = PropPartCount(type);
  neRigidBody* body = nullptr;
  for (int p = 0; p < partCount; ++p) {
    const PropPart& part = kPropParts[type][p];
    if (!body) body = sim->CreateRigidBody();
    if (!body) return;  // the pool is spent: the engine has said so in its log
    neGeometry* box = body->AddGeometry();
    box->SetBoxSize(part.boxSize);
    neT3 frame;
    frame.SetIdentity();
    frame.pos = part.geometryOffset;
    box->SetTransform(frame);
    box->SetMaterialIndex(kMaterialProp);
    if (!part.closesBody) continue;
    body->UpdateBoundingInfo();
    body->SetInertiaTensor(neBoxInertiaTensor(part.inertiaBox, part.mass));
    body->SetMass(part.mass);
    body->SetSleepingParameter(0.0f);
    body->UpdateBoundingInfo();
    body->SetUserData(static_cast<uintptr_t>(objectIndex));
    body->SetCollisionID(kPropBodyCollisionId);
    knocked[bodyCount] = 0;
    body->SetActive(false, nullptr);
    partOffsets[bodyCount] = restOrientation * part.offset;
    body->SetPos(restPosition + partOffsets[bodyCount]);
    body->SetRotation(restOrientation);
    partBodies[bodyCount++] = body;
    body = nullptr;
  }
  awake = 0;
  settled = 0;
  crashCoolDown = kPropCrashCoolDownStart;
  playerDistSq = 0.0f;
}

void UpdateCityObjects() {
  neRigidBody* player = gRacers[0].body;
  if (!player) return;
  const neV3 p = player->GetPos();
  const int count = std::clamp(gCityObjectCount, 0, kCityObjectCapacity);
  for (int i = 0; i < count; ++i) {
    CityObject& prop = gCityObjects[i];
    if (prop.awake && !prop.settled) KnockWhenMoved(prop);
    prop.playerDistSq = GroundDistanceSq(p, prop.restPosition);
    if (prop.playerDistSq <= kPropAwakeDistance * kPropAwakeDistance) {
      if (prop.playerDistSq < kPropWakeDistance * kPropWakeDistance && !prop.awake) Wake(prop, player);
    } else if (prop.awake) {
      if (!prop.settled)
        SettleWhenAlone(prop, p);
      else
        PutBack(prop, player);
    }
  }
}
