// Views and their clip planes: the race camera, the sun over the race, the
// reflection cube faces and the sun over the garage. Reads the camera state
// (race_camera.h), the settings (sight distance, resolution) and the
// player's truck; writes the planes, the view matrices and the sun's
// placement. No GL (but ExtractFrustum): everything is computed on the
// caller's thread.
#pragma once

#include "framework/vector_math.h"
#include "math/ne_math.h"

inline constexpr int kFrustumPlaneCount = 6;
// Plane order; a point is inside a plane when a x + b y + c z + d > 0.
enum FrustumPlane : int {
  kPlaneRight = 0,
  kPlaneLeft = 1,
  kPlaneFar = 2,
  kPlaneNear = 3,
  kPlaneBottom = 4,
  kPlaneTop = 5,
};

// The views SetupCameraFrustum builds.
enum FrustumView : int {
  kViewCamera = 0,       // the race camera
  kViewShadowLight = 1,  // the sun over the race
  kViewCubeFace = 2,     // one reflection cube face around the camera
  kViewGarageSun = 3,    // the sun over the garage
};
inline constexpr int kCubeFaceCount = 6;  // +X, -X, +Y, -Y, +Z, -Z

// Planes of the last view set up, unit normals; on the thread that set it up.
extern float gFrustumPlanes[kFrustumPlaneCount][4];
// The race sun's projection and view for the shadow pass (worker thread;
// only the sun's view writes them).
extern Matrix4 gSimCameraMatrix0, gSimCameraMatrix1;
// The garage sun's projection and view for the shadow pass (render thread).
extern Matrix4 gLightProjection, gLightView;
// Where the sun's shadow view stands and looks.
extern Vector3 gShadowLightEye, gShadowLightTarget;

// The six planes of M = projection x view, each scaled to a unit normal.
void ExtractFrustumPlanes(const Matrix4& projection, const Matrix4& view, float planes[kFrustumPlaneCount][4]);

// The same planes from the projection and model-view matrices current in
// the calling thread's GL context, into gFrustumPlanes. Called by nothing
// in the game.
void ExtractFrustum();

// The rotation of a unit quaternion as an axis and an angle in radians:
// axis (1, 0, 0) and angle 0 when its vector part is zero by the engine's
// test, angle 0 when w is 1 by the same test.
void QuatToAxisAngle(const neQ& q, neV3* axis, float* angle);

// True unless every corner of the box lies on the outer side (or on) one
// of the listed planes.
bool BoxInPlanes(const float lo[3], const float hi[3], const float planes[kFrustumPlaneCount][4],
                 const int* planeIndices, int planeCount);
// The cube of +-10 around the point against all six planes. No distance cut.
bool BoxInFrustum(const neV3& point, const float planes[kFrustumPlaneCount][4]);

// The width over the height of window mode `resolutionIndex` (index 0's
// for an unknown one).
float WindowAspect(int resolutionIndex);
// The camera's vertical field of view in degrees, widening with speed and boost.
float CameraFieldOfView(float fovSpeed, float fovBoost);

// Builds the projection and view of `view` (face: the cube face of
// kViewCubeFace), then the planes into gFrustumPlanes.
void SetupCameraFrustum(int view, int face);
