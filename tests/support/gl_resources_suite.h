// The renderer's GL resources (InitGLResources) in the tests' shared
// window: made for a suite of drawing tests, or for one test, and freed
// again so that the next suite starts from none.
#pragma once

#include <gtest/gtest.h>

#include "render/gl_resources.h"
#include "tests/support/gl_window.h"

// Makes the window's main context current and the resources in it; a
// failure prints its message box instead of waiting for a click.
GLResourcesResult InitGLResourcesIn(GlWindow* window);
// Frees what InitGLResources made (render targets, font lists, textures)
// with no program current.
void ReleaseGLResources();

// A suite whose tests share one InitGLResources; the GL state that sets
// goes back at the suite's end, as every suite's does. A suite that sets what
// the resources read (a setting) does so in its own SetUpTestSuite before
// calling this one's; one that prepares more per test calls SetUp first and
// returns when it skipped or failed.
class GlResourcesSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  // Skips without a display; fails when the resources were not made.
  void SetUp() override;

  static GLResourcesResult result_;
};
