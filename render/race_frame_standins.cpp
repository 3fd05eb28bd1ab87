// STAND-IN until the shadow map and the reflection cube map are hooked into
// the race frame: the shadow map and the cube map are left as made.
// Replace this file; the declarations in race_frame_passes.h stay.
#include "framework/vector_math.h"
#include "platform/gl.h"
#include "render/race_frame.h"
#include "render/race_frame_passes.h"
#include "render/reflection_cube.h"  // gReflectionPending

Matrix4 gInverseViewMatrix;

void UpdateReflectionCubeMap(int) { gReflectionPending = 0; }
void RenderShadowMap() {}

// The view is a rigid transform: its inverse is the transposed rotation
// with the translation turned back.
void ComputeInverseViewMatrix() {
  Matrix4 view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  gInverseViewMatrix = Transpose(view);
  for (int i = 0; i < 3; ++i) gInverseViewMatrix.m[3 + 4 * i] = 0.0f;
  for (int i = 0; i < 3; ++i)
    gInverseViewMatrix.m[12 + i] = -(view.m[i * 4] * view.m[12] + view.m[i * 4 + 1] * view.m[13] + view.m[i * 4 + 2] * view.m[14]);
}
