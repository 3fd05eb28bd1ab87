#include "tests/support/gl_resources_suite.h"

#include <cstdlib>

#include "framework/font.h"
#include "platform/gl.h"

GLResourcesResult InitGLResourcesIn(GlWindow* window) {
  setenv("ZARNOK_NONINTERACTIVE", "1", 1);
  window->MakeMainCurrent();
  return InitGLResources();
}

void ReleaseGLResources() {
  glUseProgramObjectARB(0);
  ReleaseRenderTargets();
  FreeFont1DisplayLists();
  FreeFont2DisplayLists();
  ReleaseTextures();
}

GLResourcesResult GlResourcesSuite::result_ = GLResourcesResult::Failed;

void GlResourcesSuite::SetUpTestSuite() {
  GlWindow* window = GlWindow::Get();
  result_ = window ? InitGLResourcesIn(window) : GLResourcesResult::Failed;
}

void GlResourcesSuite::TearDownTestSuite() {
  if (GlWindow::Get() == nullptr) return;
  ReleaseGLResources();
}

void GlResourcesSuite::SetUp() {
  if (GlWindow::Get() == nullptr) GTEST_SKIP() << "no display for a GL window";
  ASSERT_EQ(result_, GLResourcesResult::Ready);
}
