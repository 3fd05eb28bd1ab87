// The renderer's per-frame entry points as far as they exist so far: the
// projection, and a race frame that keeps the lock-step.
#include "render/renderer.h"

#include "framework/globals.h"

namespace {
constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kNearPlane = 0.1, kFarPlane = 1000.0;
}  // namespace

void SetProjection(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(kFieldOfViewDegrees, static_cast<double>(width) / height, kNearPlane, kFarPlane);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void RenderRaceFrame() {
  // Nothing of the step is copied yet; the flip lets the worker's next step run.
  gRenderBit = gRenderBit ? 0 : 1;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
