#include "framework/particle_effect.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gl.h"

#include "framework/binary_file.h"
#include "framework/random.h"
#include "framework/vector_math.h"

ParticleEffect gFirePipeEffects[kFirePipeEffectCount];
ParticleEffect gSmokePipeEffects[kSmokePipeEffectCount];
ParticleEffect gDustEffects[kDustEffectCount];
ParticleEffect gCheckpointLightEffect;

namespace {

constexpr float kSubStepsPerTimeUnit = 0.4f;
constexpr int kMaxExtraSubSteps = 5;

// A modulus for rand() % n must be positive.
int32_t AtLeastOne(int32_t n) { return n < 1 ? 1 : n; }

void LoadAll(ParticleEffect* effects, int n, const char* path) {
  for (int i = 0; i < n; ++i) effects[i].Load(path);
}

}  // namespace

bool DecodeEffectParameters(const uint8_t* data, size_t size, EffectParameters* out) {
  ByteCursor in(data, size);
  if (!in.Has(size_t(kEffectFileWords) * 4)) return false;
  EffectParameters p;
  p.count = in.I32();
  p.additive = in.I32();
  p.maxSize = in.F32();
  p.accelX = in.F32();
  p.accelY = in.F32();
  p.accelZ = in.F32();
  p.velScaleX = in.F32();
  p.velScaleY = in.F32();
  p.velScaleZ = in.F32();
  p.fadeScale = in.F32();
  p.spreadX = in.I32();
  p.spreadY = in.I32();
  p.spreadZ = in.I32();
  p.offsetX = in.F32();
  p.offsetY = in.F32();
  p.offsetZ = in.F32();
  p.fadeSpread = in.I32();
  p.fadeDivisor = in.F32();
  p.fadeBase = in.F32();
  p.sizeGrowth = in.F32();
  p.startSize = in.F32();
  p.speedDecay = in.F32();
  p.startLife = in.F32();
  p.additive = in.I32();  // the second copy of the blending word is the one kept
  *out = p;
  return true;
}

int ParticleSubSteps(float timeStep) {
  const float steps = timeStep * kSubStepsPerTimeUnit;
  // Compared before converting, so that a huge or non-number step is safe.
  const int extra = steps >= float(kMaxExtraSubSteps) ? kMaxExtraSubSteps
                    : steps >= 1.0f                   ? int(steps)
                                                      : 0;
  return extra + 1;
}

bool ParticleEffect::Load(const char* path) {
  std::vector<uint8_t> file;
  EffectParameters parameters;
  parameters.count = 0;
  const bool ok = ReadAssetFile(path, &file) &&
                  DecodeEffectParameters(file.data(), file.size(), &parameters);
  SetParameters(ok ? parameters : EffectParameters{});
  return ok;
}

std::vector<uint8_t> EncodeEffectParameters(const EffectParameters& p) {
  ByteBuffer out;
  out.I32(p.count);
  out.I32(p.additive);
  out.F32(p.maxSize);
  out.F32(p.accelX);
  out.F32(p.accelY);
  out.F32(p.accelZ);
  out.F32(p.velScaleX);
  out.F32(p.velScaleY);
  out.F32(p.velScaleZ);
  out.F32(p.fadeScale);
  out.I32(p.spreadX);
  out.I32(p.spreadY);
  out.I32(p.spreadZ);
  out.F32(p.offsetX);
  out.F32(p.offsetY);
  out.F32(p.offsetZ);
  out.I32(p.fadeSpread);
  out.F32(p.fadeDivisor);
  out.F32(p.fadeBase);
  out.F32(p.sizeGrowth);
  out.F32(p.startSize);
  out.F32(p.speedDecay);
  out.F32(p.startLife);
  out.I32(p.additive);
  return out.bytes;
}

bool ParticleEffect::Save(const char* path) const {
  if (path == nullptr) return false;
  const std::vector<uint8_t> bytes = EncodeEffectParameters(params_);
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

void ParticleEffect::SetParameters(const EffectParameters& parameters) {
  params_ = parameters;
  params_.count = parameters.count < 0 ? 0 : parameters.count > kMaxParticles ? kMaxParticles
                                                                               : parameters.count;
  params_.spreadX = AtLeastOne(parameters.spreadX);
  params_.spreadY = AtLeastOne(parameters.spreadY);
  params_.spreadZ = AtLeastOne(parameters.spreadZ);
  params_.fadeSpread = AtLeastOne(parameters.fadeSpread);
  Init();
}

float ParticleEffect::RandomFade() const {
  return float(Random() % params_.fadeSpread) / params_.fadeDivisor + params_.fadeBase;
}

void ParticleEffect::Init() {
  count = params_.count;
  const size_t n = size_t(count);
  active.reset(new uint8_t[n]);
  for (auto* array : {&life, &fade, &posX, &posY, &posZ, &velX, &velY, &velZ, &size, &speed})
    array->reset(new float[n]());
  for (int i = 0; i < count; ++i) {
    active[i] = 1;
    life[i] = 0;  // so that every particle respawns in the first update
    fade[i] = RandomFade();
    size[i] = params_.startSize;
    speed[i] = params_.startLife;
  }
  colour[0] = colour[1] = colour[2] = 1.0f;
}

void ParticleEffect::Respawn(int i, float vx, float vy, float vz) {
  life[i] = params_.startLife;
  fade[i] = RandomFade();
  posX[i] = posY[i] = posZ[i] = 0;
  velX[i] = float(Random() % params_.spreadX) - params_.offsetX + vx;
  velY[i] = float(Random() % params_.spreadY) - params_.offsetY + vy;
  velZ[i] = float(Random() % params_.spreadZ) - params_.offsetZ + vz;
  size[i] = params_.startSize;
  speed[i] = 1.0f;
}

void ParticleEffect::Update(float t, float vx, float vy, float vz) {
  const int steps = ParticleSubSteps(t);
  const EffectParameters& p = params_;
  for (int i = 0; i < count; ++i) {
    if (!active[i]) continue;
    for (int step = 0; step < steps; ++step) {
      velX[i] += p.accelX;
      velY[i] += p.accelY;
      velZ[i] += p.accelZ;
      if (speed[i] > 0) speed[i] -= p.speedDecay;
      posX[i] += velX[i] * p.velScaleX * speed[i];
      posY[i] += velY[i] * p.velScaleY * speed[i];
      posZ[i] += velZ[i] * p.velScaleZ * speed[i];
      life[i] -= fade[i] * p.fadeScale;
      if (size[i] < p.maxSize) size[i] += p.sizeGrowth;
      if (life[i] < 0 && respawn) Respawn(i, vx, vy, vz);
    }
  }
}

void ParticleEffect::Draw(const float tint[3], float ox, float oy, float oz, float camX, float camY, float camZ,
                          unsigned texture, float scale, float strength) const {
  glDepthMask(GL_FALSE);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, params_.additive == 1 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
  glBindTexture(GL_TEXTURE_2D, texture);
  const Vec3d camera{camX, camY, camZ};
  const Vec3d up{0, 1, 0};
  for (int i = 0; i < count; ++i) {
    if (!active[i]) continue;
    glColor4f(tint[0], tint[1], tint[2], life[i] * strength);
    const Vec3d p{double(ox) + posX[i], double(oy) + posY[i], double(oz) + posZ[i]};
    Vec3d toCamera, n, r, u;
    Vec3dSubtract(&toCamera, camera, p);
    Vec3dNormalize(&n, toCamera);
    Vec3dCross(&r, n, up);
    Vec3dCross(&u, n, r);
    const double extent = double(size[i]) * scale;
    const Vec3d a{u.x * extent, u.y * extent, u.z * extent};
    const Vec3d b{r.x * extent, r.y * extent, r.z * extent};
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1, 0);
    glVertex3d(p.x - a.x, p.y - a.y, p.z - a.z);
    glTexCoord2f(0, 0);
    glVertex3d(p.x + b.x, p.y + b.y, p.z + b.z);
    glTexCoord2f(1, 1);
    glVertex3d(p.x - b.x, p.y - b.y, p.z - b.z);
    glTexCoord2f(0, 1);
    glVertex3d(p.x + a.x, p.y + a.y, p.z + a.z);
    glEnd();
  }
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glDepthMask(GL_TRUE);
}

EffectLook LookOf(const ParticleEffect& effect) {
  EffectLook look;
  std::copy(effect.colour, effect.colour + 3, look.colour);
  look.strength = effect.strength;
  look.enabled = effect.enabled != 0;
  return look;
}

void LoadParticleEffects() {
  LoadAll(gFirePipeEffects, kFirePipeEffectCount, "base/effects/firepipe.eff");
  LoadAll(gSmokePipeEffects, kSmokePipeEffectCount, "base/effects/smokepipe.eff");
  LoadAll(gDustEffects, kDustEffectCount, "base/effects/dust.eff");
  gCheckpointLightEffect.Load("base/effects/checkpointlight.eff");
}
