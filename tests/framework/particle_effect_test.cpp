// Effect files and particle updates, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/particle_effect.h"
#include "framework/random.h"
#include "tests/support/scratch_folder.h"
#include "tools/binary_writer.h"
#include "tools/gen_effects.h"

namespace {

EffectParameters Smoke() {
  EffectParameters p;
  p.count = 50;
  p.additive = 0;
  p.maxSize = 2;
  p.accelY = 0.01f;
  p.velScaleX = p.velScaleY = p.velScaleZ = 0.01f;
  p.fadeScale = 1;
  p.spreadX = p.spreadY = p.spreadZ = 10;
  p.offsetX = p.offsetY = p.offsetZ = 5;
  p.fadeSpread = 100;
  p.fadeDivisor = 10000;
  p.fadeBase = 0.01f;
  p.sizeGrowth = 0.01f;
  p.startSize = 0.5f;
  p.speedDecay = 0.001f;
  p.startLife = 1;
  return p;
}

}  // namespace

TEST(ParticleEffect, SubStepsFollowTheTimeStep) {
  EXPECT_EQ(ParticleSubSteps(12.5f), 6);
  EXPECT_EQ(ParticleSubSteps(2.4f), 1);
  EXPECT_EQ(ParticleSubSteps(2.5f), 2);
  EXPECT_EQ(ParticleSubSteps(0), 1);
  EXPECT_EQ(ParticleSubSteps(1e30f), 6);
  EXPECT_EQ(ParticleSubSteps(-3), 1);
  EXPECT_EQ(ParticleSubSteps(std::nanf("")), 1);
}

TEST(ParticleEffect, FileRoundTripsAndTheSecondBlendWordWins) {
  ScratchFolder folder;
  EffectParameters p = Smoke();
  std::vector<uint8_t> bytes = EncodeEffectParameters(p);
  ASSERT_EQ(bytes.size(), size_t(kEffectFileWords) * 4);
  bytes[4] = 1;   // word 2: additive
  bytes[92] = 0;  // word 24: alpha blending
  ASSERT_TRUE(WriteFileBytes(folder.File("a.eff"), bytes));
  ParticleEffect effect;
  ASSERT_TRUE(effect.Load(folder.File("a.eff").c_str()));
  EXPECT_EQ(effect.Parameters().additive, 0);
  EXPECT_EQ(effect.count, 50);
  EXPECT_FLOAT_EQ(effect.Parameters().fadeDivisor, 10000);
  EXPECT_FLOAT_EQ(effect.Parameters().startLife, 1);

  ASSERT_TRUE(effect.Save(folder.File("b.eff").c_str()));
  ParticleEffect again;
  ASSERT_TRUE(again.Load(folder.File("b.eff").c_str()));
  EXPECT_EQ(EncodeEffectParameters(again.Parameters()), EncodeEffectParameters(effect.Parameters()));
}

TEST(ParticleEffect, MissingOrShortFileLeavesNoParticles) {
  ScratchFolder folder;
  ParticleEffect effect;
  EXPECT_FALSE(effect.Load(folder.File("missing.eff").c_str()));
  EXPECT_EQ(effect.count, 0);
  std::vector<uint8_t> bytes = EncodeEffectParameters(Smoke());
  bytes.resize(bytes.size() - 1);
  ASSERT_TRUE(WriteFileBytes(folder.File("short.eff"), bytes));
  EXPECT_FALSE(effect.Load(folder.File("short.eff").c_str()));
  EXPECT_EQ(effect.count, 0);
  effect.Update(5, 0, 0, 0);  // nothing to do, nothing to crash
}

TEST(ParticleEffect, UnsafeValuesAreMadeSafe) {
  EffectParameters p = Smoke();
  p.spreadX = 0;
  p.spreadY = -4;
  p.fadeSpread = 0;
  p.count = -3;
  ParticleEffect effect;
  effect.SetParameters(p);
  EXPECT_EQ(effect.count, 0);
  p.count = 1 << 30;
  effect.SetParameters(p);
  EXPECT_EQ(effect.count, kMaxParticles);
  EXPECT_EQ(effect.Parameters().spreadX, 1);
  EXPECT_EQ(effect.Parameters().spreadY, 1);
  EXPECT_EQ(effect.Parameters().fadeSpread, 1);
  effect.Update(1, 0, 0, 0);
  for (int i = 0; i < effect.count; ++i) {
    ASSERT_TRUE(std::isfinite(effect.velX[i]));
    ASSERT_FLOAT_EQ(effect.velX[i], -5);  // rand() % 1 − offset
  }
}

TEST(ParticleEffect, EveryParticleRespawnsInTheFirstUpdate) {
  SeedRandom(3);
  ParticleEffect effect;
  effect.SetParameters(Smoke());
  for (int i = 0; i < effect.count; ++i) {
    EXPECT_EQ(effect.velX[i], 0) << "velocities start at rest";
    EXPECT_EQ(effect.life[i], 0);
  }
  effect.Update(1, 100, 0, 0);
  for (int i = 0; i < effect.count; ++i) {
    EXPECT_FLOAT_EQ(effect.life[i], 1) << i;
    EXPECT_FLOAT_EQ(effect.speed[i], 1);
    EXPECT_GE(effect.velX[i], 95);  // spread 0..9, minus 5, plus the emitter's 100
    EXPECT_LE(effect.velX[i], 104);
    EXPECT_EQ(effect.posX[i], 0);
  }
  effect.Update(1, 0, 0, 0);
  EXPECT_LT(effect.life[0], 1);
  EXPECT_GT(effect.posX[0], 0);
  EXPECT_FLOAT_EQ(effect.size[0], 0.5f + 0.01f);  // respawned at the start size, grown once since
}

TEST(ParticleEffect, ShippedEffectsLoadWithBelievableValues) {
  for (const char* name : {"firepipe", "smokepipe", "dust", "checkpointlight"}) {
    ParticleEffect effect;
    const std::string path = std::string("base/effects/") + name + ".eff";
    ASSERT_TRUE(effect.Load(path.c_str())) << path;
    EXPECT_GT(effect.count, 0);
    EXPECT_LE(effect.count, kMaxParticles);
    const EffectParameters& p = effect.Parameters();
    EXPECT_GT(p.startLife, 0) << name;
    EXPECT_GT(p.fadeBase + 0.0f, 0) << name << ": every particle must die and come back";
    EXPECT_GT(p.startSize, 0) << name;
    // Run a second of frames: particles stay near the emitter and finite.
    for (int frame = 0; frame < 60; ++frame) effect.Update(1.6f, 0, 0, 0);
    for (int i = 0; i < effect.count; ++i) {
      ASSERT_TRUE(std::isfinite(effect.posY[i]));
      ASSERT_LT(std::fabs(effect.posX[i]) + std::fabs(effect.posY[i]) + std::fabs(effect.posZ[i]), 50.0f)
          << name;
    }
  }
  ParticleEffect fire, smoke;
  fire.Load("base/effects/firepipe.eff");
  smoke.Load("base/effects/smokepipe.eff");
  EXPECT_EQ(fire.Parameters().additive, 1) << "flames glow";
  EXPECT_EQ(smoke.Parameters().additive, 0) << "smoke darkens";
}
