// The renderer's entry points as far as they exist so far: start-up of the
// GL state, the projection, and a race frame that keeps the lock-step.
#include "render/renderer.h"

#include "framework/font.h"
#include "framework/gl_entry.h"
#include "framework/globals.h"
#include "framework/random.h"
#include "framework/texture.h"
#include "framework/window.h"
#include "platform/gl.h"

namespace {
constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kNearPlane = 0.1, kFarPlane = 1000.0;
}  // namespace

float gGaragePitch, gGarageYaw, gGarageZoom;

int InitGLResources() {
  SeedRandomAtStartup();
  SetupMultitexture();
  FetchAssetGlEntryPoints();
  LoadFontWidths("base/font1.ini", 1);
  LoadFontWidths("base/font2.ini", 2);
  MakeFont1DisplayLists();
  MakeFont2DisplayLists();
  return 1;
}

void ReleaseTextures() { ReleaseTextureTables(); }

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
