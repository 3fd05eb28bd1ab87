// Views and clip planes. Reads the camera state, the settings and the
// player's truck; writes the planes, the sun's matrices and placement. No GL.
#include "render/frustum.h"

#include "framework/settings.h"
#include "platform/gl.h"
#include "render/race_camera.h"
#include "world/race_state.h"
#include "world/racer.h"

#include <algorithm>
#include <cmath>

float gFrustumPlanes[kFrustumPlaneCount][4];
Matrix4 gSimCameraMatrix0, gSimCameraMatrix1;
Matrix4 gLightProjection, gLightView;
Vector3 gShadowLightEye, gShadowLightTarget;

namespace {

constexpr int kAllPlanes[kFrustumPlaneCount] = {0, 1, 2, 3, 4, 5};
constexpr float kRacerBoxHalf = 10.0f;  // world units around a racer's position

// The race camera: degrees at rest, widening with speed (more when boosting).
constexpr float kCameraFovBase = 65.0f;
constexpr float kCameraFovSpeedWidening = 10.0f;
constexpr float kCameraNear = 1.0f;

// The race sun: a narrow view from high up, close to an orthographic one,
// over a point ahead of the camera.
constexpr float kSunFov = 1.2f, kSunNear = 3000.0f, kSunFar = 100000.0f;
constexpr float kSunLookAhead = 50.0f;
constexpr float kSunOffset = 2500.0f, kSunHeight = 3000.0f;
// The garage sun, scaled to the showroom.
constexpr float kGarageSunFov = 4.0f, kGarageSunNear = 350.0f, kGarageSunFar = 1000000.0f;
constexpr float kGarageSunLookAhead = 27.5f;
constexpr float kGarageSunOffset = 337.5f, kGarageSunHeight = 405.00003f;
// A reflection cube face: a quarter turn of view out to the reflected range.
constexpr float kCubeFaceFov = 90.0f, kCubeFaceNear = 0.05f, kCubeFaceFar = 55.0f;

Vector3 ToVector3(const neV3& v) { return {v.x, v.y, v.z}; }

// Row r of the column-major matrix.
void Row(const Matrix4& m, int r, float out[4]) {
  for (int c = 0; c < 4; ++c) out[c] = m.m[c * 4 + r];
}

void SetPlane(float plane[4], const float row3[4], const float row[4], float sign) {
  for (int k = 0; k < 4; ++k) plane[k] = row3[k] + sign * row[k];
  const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
  if (length > 0.0f)
    for (int k = 0; k < 4; ++k) plane[k] /= length;
}

// The sun standing off to +x +z above a point `lookAhead` along the ground
// direction from eye to target.
void PlaceSun(const Vector3& eye, const Vector3& target, float lookAhead, float offset, float height) {
  Vector3 d = target - eye;
  d.y = 0.0f;
  const float length = d.Length();
  if (length > 0.0f) d = d * (1.0f / length);
  const Vector3 c = eye + d * lookAhead;
  gShadowLightEye = {c.x + offset, height, c.z + offset};
  gShadowLightTarget = c;
}

// The turn the reflection pass gives each face before its look-at.
Matrix4 CubeFaceTurn(int face) {
  Matrix4 a, b;
  switch (face) {
    case 0: a.SetRotationY(90.0f); b.SetRotationX(180.0f); return a * b;
    case 1: a.SetRotationY(-90.0f); b.SetRotationX(180.0f); return a * b;
    case 2: a.SetRotationX(-90.0f); return a;
    case 3: a.SetRotationX(90.0f); return a;
    case 4: a.SetRotationX(180.0f); return a;
    default: a.SetRotationZ(180.0f); return a;
  }
}

// The player's forward axis, or +x without a truck.
Vector3 PlayerForward() {
  if (!gRacers[0].body) return {1.0f, 0.0f, 0.0f};
  Vector3 f = ToVector3(gRacers[0].body->GetTransform().rot[0]);
  const float length = f.Length();
  return length > 0.0f ? f * (1.0f / length) : Vector3(1.0f, 0.0f, 0.0f);
}

}  // namespace

void ExtractFrustumPlanes(const Matrix4& projection, const Matrix4& view, float planes[kFrustumPlaneCount][4]) {
  const Matrix4 m = projection * view;
  float row0[4], row1[4], row2[4], row3[4];
  Row(m, 0, row0);
  Row(m, 1, row1);
  Row(m, 2, row2);
  Row(m, 3, row3);
  SetPlane(planes[kPlaneRight], row3, row0, -1.0f);
  SetPlane(planes[kPlaneLeft], row3, row0, 1.0f);
  SetPlane(planes[kPlaneFar], row3, row2, -1.0f);
  SetPlane(planes[kPlaneNear], row3, row2, 1.0f);
  SetPlane(planes[kPlaneBottom], row3, row1, 1.0f);
  SetPlane(planes[kPlaneTop], row3, row1, -1.0f);
}

void ExtractFrustum() {
  Matrix4 projection, view;
  glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  ExtractFrustumPlanes(projection, view, gFrustumPlanes);
}

void QuatToAxisAngle(const neQ& q, neV3* axis, float* angle) {
  const float s2 = q.x * q.x + q.y * q.y + q.z * q.z;
  if (neIsConsiderZero(s2)) {
    *axis = neMakeV3(1, 0, 0);
    *angle = 0.0f;
    return;
  }
  const float s = std::sqrt(s2);
  *axis = neMakeV3(q.x / s, q.y / s, q.z / s);
  // Rounding can carry w a hair past 1: kept within acos's domain.
  *angle = neIsConsiderZero(q.w - 1.0f) ? 0.0f : 2.0f * std::acos(std::clamp(q.w, -1.0f, 1.0f));
}

bool BoxInPlanes(const float lo[3], const float hi[3], const float planes[kFrustumPlaneCount][4],
                 const int* planeIndices, int planeCount) {
  for (int i = 0; i < planeCount; ++i) {
    const float* p = planes[planeIndices[i]];
    bool anyInside = false;
    for (int corner = 0; corner < 8 && !anyInside; ++corner) {
      const float x = (corner & 1) ? hi[0] : lo[0];
      const float y = (corner & 2) ? hi[1] : lo[1];
      const float z = (corner & 4) ? hi[2] : lo[2];
      anyInside = p[0] * x + p[1] * y + p[2] * z + p[3] > 0.0f;
    }
    if (!anyInside) return false;
  }
  return true;
}

bool BoxInFrustum(const neV3& point, const float planes[kFrustumPlaneCount][4]) {
  const float lo[3] = {point.x - kRacerBoxHalf, point.y - kRacerBoxHalf, point.z - kRacerBoxHalf};
  const float hi[3] = {point.x + kRacerBoxHalf, point.y + kRacerBoxHalf, point.z + kRacerBoxHalf};
  return BoxInPlanes(lo, hi, planes, kAllPlanes, kFrustumPlaneCount);
}

float WindowAspect(int resolutionIndex) {
  int32_t width = 0, height = 0;
  if (!ResolutionSize(resolutionIndex, width, height)) ResolutionSize(0, width, height);
  return static_cast<float>(width) / static_cast<float>(height);
}

float CameraFieldOfView(float fovSpeed, float fovBoost) {
  return (fovBoost * 2.0f + 1.0f) * fovSpeed * kCameraFovSpeedWidening + kCameraFovBase;
}

void SetupCameraFrustum(int view, int face) {
  Matrix4 projection, look;
  switch (view) {
    case kViewCamera:
      projection.BuildPerspectiveMatrix(CameraFieldOfView(gSimFovSpeed, gSimFovBoost), WindowAspect(gResolutionIndex),
                                        kCameraNear, gSightDistance);
      look.BuildLookAtMatrix(ToVector3(gSimCameraEye), ToVector3(gSimCameraLookAt), ToVector3(gSimCameraUp));
      break;
    case kViewShadowLight:
      PlaceSun(ToVector3(gSimCameraEye), ToVector3(gSimCameraLookAt), kSunLookAhead, kSunOffset, kSunHeight);
      projection.BuildPerspectiveMatrix(kSunFov, 1.0f, kSunNear, kSunFar);
      look.BuildLookAtMatrix(gShadowLightEye, gShadowLightTarget, {0.0f, 1.0f, 0.0f});
      gSimCameraMatrix0 = projection;
      gSimCameraMatrix1 = look;
      break;
    case kViewCubeFace: {
      // The direction the reflection pass renders this face in: the face's
      // turn on a look along the truck's forward axis.
      const Vector3 eye = ToVector3(gSimCameraEye);
      Matrix4 along;
      along.BuildLookAtMatrix(eye, eye + PlayerForward(), {0.0f, 1.0f, 0.0f});
      projection.BuildPerspectiveMatrix(kCubeFaceFov, 1.0f, kCubeFaceNear, kCubeFaceFar);
      look = CubeFaceTurn(face) * along;
      break;
    }
    case kViewGarageSun:
      PlaceSun(ToVector3(gCameraEye), ToVector3(gGarageLookAt), kGarageSunLookAhead, kGarageSunOffset,
               kGarageSunHeight);
      projection.BuildPerspectiveMatrix(kGarageSunFov, 1.0f, kGarageSunNear, kGarageSunFar);
      look.BuildLookAtMatrix(gShadowLightEye, gShadowLightTarget, {0.0f, 1.0f, 0.0f});
      gLightProjection = projection;
      gLightView = look;
      break;
    default:
      return;
  }
  ExtractFrustumPlanes(projection, look, gFrustumPlanes);
}
