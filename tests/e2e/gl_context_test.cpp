// The window's GL contexts in a real window under Xvfb: the main context
// draws with the fixed-function pipeline into a depth-buffered window, and
// what the loader context makes on the worker is there for the main one.
#include "framework/globals.h"
#include "app/window.h"
#include "platform/gl.h"
#include "tests/support/game_runner.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class GLContexts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
    HoldDisplay();
    ASSERT_TRUE(CreateMainWindow("Zarnok Racing", 1024, 768, 32, true));
  }
  void TearDown() override {
    if (HasDisplay()) DestroyMainWindow();
  }
};

}  // namespace

TEST_F(GLContexts, MainWindowFillsTheScreenWithDepthAndDoubleBuffering) {
  EXPECT_EQ(gScreenWidth, 1024);
  EXPECT_EQ(gScreenHeight, 768);
  GLint depthBits = 0, redBits = 0, doubleBuffered = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  glGetIntegerv(GL_RED_BITS, &redBits);
  glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
  EXPECT_GE(depthBits, 24);
  EXPECT_EQ(redBits, 8);
  EXPECT_TRUE(doubleBuffered);
  EXPECT_TRUE(IsDisplayModeSupported(1024, 768));
  EXPECT_FALSE(IsDisplayModeSupported(1023, 768));
}

TEST_F(GLContexts, FixedFunctionDrawingAndMultitextureWork) {
  ASSERT_TRUE(SetupMultitexture());
  ASSERT_NE(glActiveTextureARB, nullptr);
  ASSERT_NE(glMultiTexCoord2fARB, nullptr);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE1_ARB);
  glActiveTextureARB(GL_TEXTURE0_ARB);

  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 600, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glColor3f(1, 0, 0);
  glBegin(GL_QUADS);
  glVertex2i(0, 0);
  glVertex2i(400, 0);
  glVertex2i(400, 600);
  glVertex2i(0, 600);
  glEnd();
  glFinish();
  unsigned char left[3] = {}, right[3] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(100, 384, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, left);
  glReadPixels(900, 384, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, right);
  EXPECT_EQ(left[0], 255);
  EXPECT_EQ(left[1], 0);
  EXPECT_EQ(right[0], 0);
}

TEST_F(GLContexts, TextureMadeOnTheWorkerIsUsableOnTheMainThread) {
  ASSERT_TRUE(Sys_CreateLoaderContext());
  GLuint name = 0;
  bool workerHadContext = false;
  std::thread worker([&] {
    workerHadContext = Sys_MakeLoaderContextCurrent();
    if (!workerHadContext) return;
    const unsigned char texel[4] = {10, 200, 30, 255};
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glFinish();
    Sys_ReleaseCurrentContext();
  });
  worker.join();
  ASSERT_TRUE(workerHadContext);
  ASSERT_TRUE(glIsTexture(name));
  unsigned char read[4] = {};
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read);
  EXPECT_EQ(read[1], 200);
  glDeleteTextures(1, &name);
}
