#include "tools/gen_effects.h"

#include "tools/binary_writer.h"

// Time runs in sub-steps of about a sixtieth of a second (one per frame at
// 60 frames per second). A particle moves by velocity × velScale × speed per
// sub-step; the random velocity is (rand() % spread) − offset per axis; its
// life starts at startLife (also its alpha) and loses
// ((rand() % fadeSpread) / fadeDivisor + fadeBase) × fadeScale per sub-step.

namespace {

// Exhaust flame: short-lived additive tongues that grow a little.
EffectParameters FirePipe() {
  EffectParameters p;
  p.count = 40;
  p.additive = 1;
  p.maxSize = 0.32f;
  p.accelY = 0.05f;
  p.velScaleX = p.velScaleY = p.velScaleZ = 0.002f;
  p.fadeScale = 1.0f;
  p.spreadX = p.spreadY = p.spreadZ = 20;
  p.offsetX = p.offsetY = p.offsetZ = 10.0f;
  p.fadeSpread = 60;
  p.fadeDivisor = 1000.0f;
  p.fadeBase = 0.08f;  // about ten sub-steps of life
  p.sizeGrowth = 0.012f;
  p.startSize = 0.14f;
  p.speedDecay = 0.01f;
  p.startLife = 1.0f;
  return p;
}

// Exhaust smoke: grey puffs that rise, spread and thin out in about a second.
EffectParameters SmokePipe() {
  EffectParameters p;
  p.count = 60;
  p.additive = 0;
  p.maxSize = 1.4f;
  p.accelY = 0.04f;
  p.velScaleX = p.velScaleY = p.velScaleZ = 0.002f;
  p.fadeScale = 1.0f;
  p.spreadX = p.spreadY = p.spreadZ = 20;
  p.offsetX = 10.0f;
  p.offsetY = 6.0f;
  p.offsetZ = 10.0f;
  p.fadeSpread = 80;
  p.fadeDivisor = 10000.0f;
  p.fadeBase = 0.01f;
  p.sizeGrowth = 0.025f;
  p.startSize = 0.3f;
  p.speedDecay = 0.008f;
  p.startLife = 0.6f;
  return p;
}

// Wheel dust: a low brown cloud thrown sideways and up, settling back.
EffectParameters Dust() {
  EffectParameters p;
  p.count = 60;
  p.additive = 0;
  p.maxSize = 1.0f;
  p.accelY = -0.02f;
  p.velScaleX = p.velScaleY = p.velScaleZ = 0.002f;
  p.fadeScale = 1.0f;
  p.spreadX = 30;
  p.spreadY = 20;
  p.spreadZ = 30;
  p.offsetX = 15.0f;
  p.offsetY = 2.0f;
  p.offsetZ = 15.0f;
  p.fadeSpread = 50;
  p.fadeDivisor = 10000.0f;
  p.fadeBase = 0.005f;
  p.sizeGrowth = 0.015f;
  p.startSize = 0.25f;
  p.speedDecay = 0.006f;
  p.startLife = 0.5f;
  return p;
}

// Checkpoint light: a glowing column of sparks drifting upward.
EffectParameters CheckpointLight() {
  EffectParameters p;
  p.count = 40;
  p.additive = 1;
  p.maxSize = 1.0f;
  p.accelY = 0.0f;
  p.velScaleX = 0.004f;
  p.velScaleY = 0.01f;
  p.velScaleZ = 0.004f;
  p.fadeScale = 1.0f;
  p.spreadX = 10;
  p.spreadY = 10;
  p.spreadZ = 10;
  p.offsetX = 5.0f;
  p.offsetY = 0.0f;
  p.offsetZ = 5.0f;
  p.fadeSpread = 100;
  p.fadeDivisor = 10000.0f;
  p.fadeBase = 0.01f;
  p.sizeGrowth = 0.005f;
  p.startSize = 0.7f;
  p.speedDecay = 0.0f;
  p.startLife = 1.0f;
  return p;
}

}  // namespace

bool GenerateEffects(const std::string& base) {
  const std::string folder = base + "/effects/";
  bool ok = WriteFileBytes(folder + "firepipe.eff", EncodeEffectParameters(FirePipe()));
  ok &= WriteFileBytes(folder + "smokepipe.eff", EncodeEffectParameters(SmokePipe()));
  ok &= WriteFileBytes(folder + "dust.eff", EncodeEffectParameters(Dust()));
  ok &= WriteFileBytes(folder + "checkpointlight.eff", EncodeEffectParameters(CheckpointLight()));
  return ok;
}
