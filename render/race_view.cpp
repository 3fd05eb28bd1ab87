#include "render/race_view.h"

#include "render/reflection_cube.h"  // gReflectionPending
#include "world/race_state.h"

NodeList gSimCameraLeaves, gSimLightLeaves, gSimCubeFaceLeaves[kCubeFaceCount];
int32_t gSimCubeFace;
uint8_t gSimRacerVisible[kRacerCount];
Matrix4 gSimRacerMatrix[kRacerCount];
Matrix4 gSimCityCarMatrix[kCityCarSlotCount];
RaceViewCopies gRaceViewCopies;

Matrix4 WorldMatrix(const neT3& t) {
  Matrix4 m;
  for (int c = 0; c < 3; ++c) {
    m.m[c * 4 + 0] = t.rot[c].x;
    m.m[c * 4 + 1] = t.rot[c].y;
    m.m[c * 4 + 2] = t.rot[c].z;
    m.m[c * 4 + 3] = 0.0f;
  }
  m.m[12] = t.pos.x;
  m.m[13] = t.pos.y;
  m.m[14] = t.pos.z;
  m.m[15] = 1.0f;
  return m;
}

void ResetRaceViewForStart() {
  gCameraUp = gRaceCameraUp = neMakeV3(0.0f, 1.0f, 0.0f);
  gSimFovSpeed = 0.0f;
  gRaceViewCopies.shownBonus = 0;
  gRaceViewCopies.bonusDisplayTime = kBonusDisplaySeconds;
  gReflectionPending = 1;
}
