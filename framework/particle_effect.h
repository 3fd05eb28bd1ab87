// Particle emitters: exhaust fire and smoke, wheel dust, the checkpoint
// light. Each is driven by 23 parameters from a binary .eff file and draws
// its particles as camera-facing quads.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Most particles one effect may hold; a file asking for more gets this many.
inline constexpr int kMaxParticles = 4096;
// Values in an .eff file: 24 four-byte little-endian words, no header.
inline constexpr int kEffectFileWords = 24;

// The parameters as stored in an .eff file, in file order. `additive` is
// stored twice (words 2 and 24); the reader keeps word 24.
struct EffectParameters {
  int32_t count = 0;
  int32_t additive = 0;  // 1 additive blending, else alpha blending
  float maxSize = 0;     // size grows while below this
  float accelX = 0, accelY = 0, accelZ = 0;           // added to the velocity per sub-step
  float velScaleX = 0, velScaleY = 0, velScaleZ = 0;  // velocity-to-position factors
  float fadeScale = 0;                                // factor on the per-particle fade
  int32_t spreadX = 1, spreadY = 1, spreadZ = 1;      // random velocity ranges (modulus)
  float offsetX = 0, offsetY = 0, offsetZ = 0;        // taken off the random velocity
  int32_t fadeSpread = 1;                             // random fade range (modulus)
  float fadeDivisor = 1;
  float fadeBase = 0;
  float sizeGrowth = 0;  // added to the size per sub-step while below maxSize
  float startSize = 0;
  float speedDecay = 0;  // taken off the speed factor per sub-step while positive
  float startLife = 0;   // life at respawn
};

// Decodes the 24 words. False (and the parameters untouched) when fewer
// than 24 words are there.
bool DecodeEffectParameters(const uint8_t* data, size_t size, EffectParameters* out);

// Encodes the 24 words, the blending word in both places.
std::vector<uint8_t> EncodeEffectParameters(const EffectParameters& parameters);

// Sub-steps of one Update for a time step: (integer part of t × 0.4, at
// most 5) + 1, so 1..6.
int ParticleSubSteps(float timeStep);

class ParticleEffect {
 public:
  ParticleEffect() = default;
  ParticleEffect(const ParticleEffect&) = delete;
  ParticleEffect& operator=(const ParticleEffect&) = delete;

  // Reads an .eff file and initialises the particles. A file that cannot
  // be read leaves the effect with no particles.
  bool Load(const char* path);
  // Writes the 24 words (whole or not at all); false when the file cannot be made.
  bool Save(const char* path) const;
  // Takes parameters, makes them safe (spreads below 1 count as 1, the
  // count is bounded to 0..kMaxParticles) and fills the particle arrays.
  void SetParameters(const EffectParameters& parameters);
  void Init();
  // Advances every particle by ParticleSubSteps(t) sub-steps; (vx, vy, vz)
  // is added to the velocity of each respawned particle.
  void Update(float t, float vx, float vy, float vz);
  // Depth writes off, culling off, depth test on, blending on (additive or
  // alpha) while drawing; afterwards blending off, culling and depth
  // writes on. Quads face the camera at (camX, camY, camZ), tinted by
  // `tint` (the caller's copy of `colour`: the race code sets that on the
  // worker while the render thread draws); each particle's alpha is its
  // life times `strength`.
  void Draw(const float tint[3], float ox, float oy, float oz, float camX, float camY, float camZ,
            unsigned texture, float scale, float strength = 1.0f) const;

  const EffectParameters& Parameters() const { return params_; }

  // Per particle.
  std::unique_ptr<uint8_t[]> active;  // 1 alive (all, after Init)
  std::unique_ptr<float[]> life;      // remaining life; the alpha when drawn
  std::unique_ptr<float[]> fade;      // life lost per sub-step, before fadeScale
  std::unique_ptr<float[]> posX, posY, posZ;  // relative to the emitter origin
  std::unique_ptr<float[]> velX, velY, velZ;
  std::unique_ptr<float[]> size;   // half-size of the quad before the draw scale
  std::unique_ptr<float[]> speed;  // speed factor, 1 at respawn
  int count = 0;
  float colour[3] = {1, 1, 1};
  bool respawn = true;  // dead particles come back
  // How strongly the race code wants the emitter to run (0..2) and whether
  // it runs at all; set each race tick from the racer it belongs to.
  float strength = 0;
  uint8_t enabled = 0;

 private:
  float RandomFade() const;
  void Respawn(int i, float vx, float vy, float vz);

  EffectParameters params_;
};

// What drawing reads of an effect's race settings, copied on the render
// side before a frame is drawn, since the worker's next step rewrites them.
struct EffectLook {
  float colour[3] = {1, 1, 1};
  float strength = 0;    // multiplies every particle's alpha
  bool enabled = false;  // false: the effect is not drawn
};
EffectLook LookOf(const ParticleEffect& effect);

// The effects the renderer loads at start-up (LoadParticleEffects).
inline constexpr int kFirePipeEffectCount = 4;
inline constexpr int kSmokePipeEffectCount = 4;
inline constexpr int kDustEffectCount = 8;
extern ParticleEffect gFirePipeEffects[kFirePipeEffectCount];    // base/effects/firepipe.eff
extern ParticleEffect gSmokePipeEffects[kSmokePipeEffectCount];  // base/effects/smokepipe.eff
extern ParticleEffect gDustEffects[kDustEffectCount];            // base/effects/dust.eff
extern ParticleEffect gCheckpointLightEffect;                    // base/effects/checkpointlight.eff

// Loads all 17 effects from their files.
void LoadParticleEffects();
