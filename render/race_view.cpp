#include "render/race_view.h"

neV3 gSimCameraEye, gSimCameraLookAt, gSimCameraUp, gSimCameraDir;
Matrix4 gSimCameraMatrix0, gSimCameraMatrix1;
float gSimFovSpeed;
float gFrustumPlanes[kFrustumPlaneCount][4];
NodeList gSimCameraLeaves, gSimLightLeaves, gSimCubeFaceLeaves[kCubeFaceCount];
int32_t gCubeFace;
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

bool BoxInFrustum(const neV3& point, const float planes[kFrustumPlaneCount][4]) {
  constexpr float kHalf = 10.0f;
  for (int p = 0; p < kFrustumPlaneCount; ++p) {
    bool anyInside = false;
    for (int corner = 0; corner < 8 && !anyInside; ++corner) {
      const float x = point.x + ((corner & 1) ? kHalf : -kHalf);
      const float y = point.y + ((corner & 2) ? kHalf : -kHalf);
      const float z = point.z + ((corner & 4) ? kHalf : -kHalf);
      anyInside = planes[p][0] * x + planes[p][1] * y + planes[p][2] * z + planes[p][3] > 0.0f;
    }
    if (!anyInside) return false;
  }
  return true;
}
