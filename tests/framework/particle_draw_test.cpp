// Particle effects drawn in a real window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "framework/particle_effect.h"
#include "framework/random.h"
#include "tests/framework/gl_test_helpers.h"

namespace {

constexpr uint8_t kBlack[3] = {0, 0, 0};

void LookAtOriginFromPlusZ() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-4, 4, -3, 3, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace

TEST(ParticleDrawing, EffectDrawsCameraFacingQuadsAroundItsOrigin) {
  REQUIRE_GL_WINDOW(window);
  window->BeginMenuFrame(0, 0, 0);
  glDisable(GL_TEXTURE_2D);
  LookAtOriginFromPlusZ();
  SeedRandom(5);
  ParticleEffect fire;
  ASSERT_TRUE(fire.Load("base/effects/firepipe.eff"));
  for (int frame = 0; frame < 5; ++frame) fire.Update(1.6f, 0, 0, 0);
  fire.Draw(fire.colour, 1.0f, 0.5f, 0, 0, 0, 50, 0, 4.0f);
  const PixelBox ink = InkBox(window, kBlack, 10);
  ASSERT_FALSE(ink.Empty()) << "the flame is visible";
  // The origin (1, 0.5) is at window (640, 448); the flame stays near it.
  EXPECT_LE(ink.x0, 640);
  EXPECT_GE(ink.x1, 640);
  EXPECT_GT(ink.x0, 400);
  EXPECT_LT(ink.x1, 880);
  EXPECT_LE(ink.y0, 448);
  EXPECT_GE(ink.y1, 448);
}

TEST(ParticleDrawing, DrawLeavesBlendingOffCullingOnDepthWritesOn) {
  REQUIRE_GL_WINDOW(window);
  window->BeginMenuFrame(0, 0, 0);
  ParticleEffect smoke;
  ASSERT_TRUE(smoke.Load("base/effects/smokepipe.eff"));
  smoke.Update(1, 0, 0, 0);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  smoke.Draw(smoke.colour, 0, 0, 0, 0, 0, 10, 0, 1);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
}

// A picture of the four effects for a person: frames/effects.tga. Each
// runs two seconds of 60 frames with a round soft sprite, the exhaust ones
// thrown backwards (−x) as from a moving truck's pipe.
TEST(ParticleDrawing, WritesAPictureOfTheFourEffects) {
  REQUIRE_GL_WINDOW(window);
  constexpr int kSide = 32;
  std::vector<uint8_t> sprite(kSide * kSide * 4);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const float dx = (x + 0.5f) / kSide * 2 - 1, dy = (y + 0.5f) / kSide * 2 - 1;
      const float a = std::max(0.0f, 1 - std::sqrt(dx * dx + dy * dy));
      uint8_t* p = &sprite[(y * kSide + x) * 4];
      p[0] = p[1] = p[2] = 255;
      p[3] = uint8_t(a * a * 255);
    }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSide, kSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, sprite.data());
  window->BeginMenuFrame(0.25f, 0.3f, 0.35f);
  struct Shot {
    const char* file;
    float vx, vy;
    float colour[3];
  };
  const Shot shots[4] = {{"base/effects/firepipe.eff", -60, 0, {1, 0.5f, 0.15f}},
                         {"base/effects/smokepipe.eff", -30, 0, {0.2f, 0.2f, 0.2f}},
                         {"base/effects/dust.eff", -20, 5, {0.55f, 0.45f, 0.3f}},
                         {"base/effects/checkpointlight.eff", 0, 0, {0.3f, 0.8f, 1}}};
  for (int i = 0; i < 4; ++i) {
    glViewport((i % 2) * 512, (1 - i / 2) * 384, 512, 384);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 1, -1, 2, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ParticleEffect effect;
    ASSERT_TRUE(effect.Load(shots[i].file));
    for (int c = 0; c < 3; ++c) effect.colour[c] = shots[i].colour[c];
    for (int frame = 0; frame < 120; ++frame) effect.Update(1.67f, shots[i].vx, shots[i].vy, 0);
    glEnable(GL_TEXTURE_2D);
    effect.Draw(effect.colour, 0, 0, 0, 0, 0, 50, texture, 1.0f);
  }
  glViewport(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/effects.tga"));
  glDeleteTextures(1, &texture);
}
