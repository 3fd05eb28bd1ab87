// The race camera's render branch: the frame's camera on the modelview matrix.
#include "render/race_camera.h"

#include "framework/vector_math.h"
#include "platform/gl.h"
#include "tests/support/gl_window.h"

#include <gtest/gtest.h>

namespace {

TEST(RaceCameraRenderSide, LoadsTheFramesCameraOntoTheModelviewAndNothingElse) {
  REQUIRE_GL_WINDOW(window);
  window->MakeMainCurrent();
  gCameraEye = {10.0f, 4.0f, 20.0f, 0.0f};
  gRaceLookAt = {15.0f, 2.0f, 0.0f, 0.0f};
  gRaceCameraUp = {0.1f, 1.0f, 0.0f, 0.0f};
  const neV3 workerEye = gSimCameraEye;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  SetupCameraAndListener(0, 1);

  Matrix4 expected;
  expected.BuildLookAtMatrix({10, 4, 20}, {15, 2, 0}, {0.1f, 1, 0});
  float modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(modelview[i], expected.m[i], 1e-5f) << i;
  EXPECT_EQ(gSimCameraEye.x, workerEye.x);  // the worker's camera is left alone
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
