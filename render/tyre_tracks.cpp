#include "render/tyre_tracks.h"

#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/car_lights.h"
#include "render/gl_state.h"

namespace {

constexpr float kTrackFadePerSegment = 0.002507f;  // 1 / 399, so the oldest segment ends near 0
constexpr float kDustAgePerFrameFactor = 0.0025f;  // 400 frame-factor units: four seconds
constexpr float kDustGrowth = 2.0f;                // size gained over a life, world units
constexpr float kDustStartSize = 0.75f;

void SendTrackSegment(const TyreTrackQuad& quad, float fade) {
  // The tangent runs across the track (corner 0 to 1, where s runs), the
  // binormal along it.
  GlMultiTexCoord3f(GL_TEXTURE2_ARB, quad.edge2[0], quad.edge2[1], quad.edge2[2]);
  GlMultiTexCoord3f(GL_TEXTURE1_ARB, quad.edge1[0], quad.edge1[1], quad.edge1[2]);
  glNormal3fv(quad.normal);
  const float st[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (int k = 0; k < 4; ++k) {
    const float alpha = (k < 2 ? quad.alphaNew : quad.alphaOld) * fade;
    glTexCoord3f(st[k][0], st[k][1], alpha);
    glVertex3fv(quad.cornerFloats[k]);
  }
}

}  // namespace

int TyreTrackSegment(int32_t head, int i) {
  int j = (head - i - 1) % kTyreTrackRingSize;
  if (j < 0) j += kTyreTrackRingSize;
  return j;
}

float TyreTrackFade(int i) { return 1.0f - float(i) * kTrackFadePerSegment; }

void DrawTyreTracks(const TyreTrackRings& tracks, const int32_t heads[kRacerCount][kWheelCount]) {
  glDepthMask(GL_FALSE);
  glBegin(GL_QUADS);
  for (int r = 0; r < kRacerCount; ++r)
    for (int w = 0; w < kWheelCount; ++w)
      // Every segment, faded out or never laid (a zero quad) alike: the layer
      // takes the tracks unblended, so a fainter segment drawn later writes
      // its opacity over an earlier track where the two cross.
      for (int i = 0; i < kTyreTrackRingSize; ++i)
        SendTrackSegment(tracks[r][w][TyreTrackSegment(heads[r][w], i)], TyreTrackFade(i));
  glEnd();
  glDepthMask(GL_TRUE);
}

float DustAlpha(float age) { return 1.0f - age; }
float DustSize(float age) { return kDustGrowth * age + kDustStartSize; }
float DustAgeStep(float frameFactor) { return frameFactor * kDustAgePerFrameFactor; }

void DrawWheelDust(WheelParticle (&dust)[kRacerCount][kWheelCount][kDustRingSize], const neV3& eye,
                   float frameFactor) {
  glDepthMask(GL_FALSE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, 1);
  BindTableTexture(kDustTexture);
  WithGlCapabilities({{GL_CULL_FACE, false}, {GL_BLEND, true}}, [&] {
    glBegin(GL_QUADS);
    for (auto& racer : dust)
      for (auto& wheel : racer)
        for (WheelParticle& particle : wheel) {
          if (!particle.alive) continue;
          glColor4f(1, 1, 1, DustAlpha(particle.age));
          DrawBeamQuad(eye, particle.position + particle.velocity * particle.age, DustSize(particle.age));
          particle.age += DustAgeStep(frameFactor);
          if (particle.age >= 1.0f) particle.alive = 0;
        }
    glEnd();
  });
  glDepthMask(GL_TRUE);
}
