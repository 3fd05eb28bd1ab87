// The sky box and its ring of clouds (see sky.h).
#include "render/sky.h"

#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/gl_state.h"

namespace {

// The box around a point, and its ring of clouds, world units.
constexpr float kSkyBoxHalf = 5000.0f, kSkyBoxBottom = 400.0f, kSkyBoxTop = 2000.0f;
constexpr float kSkyRingHalf = 4000.0f, kSkyRingBottom = 350.0f, kSkyRingTop = 850.0f;

void BindTexture2D(uint32_t id) { glBindTexture(GL_TEXTURE_2D, id == kNoTexture ? 0 : id); }

// A quad of the sky box, corners counter-clockwise seen from inside.
struct SkyCorner {
  float x, y, z, s, t;
};
void SkyQuad(const SkyCorner (&corners)[4]) {
  for (const SkyCorner& c : corners) {
    glTexCoord2f(c.s, c.t);
    glVertex3f(c.x, c.y, c.z);
  }
}

}  // namespace

void DrawSkybox(float x, float y, float z) {
  const float x0 = x - kSkyBoxHalf, x1 = x + kSkyBoxHalf, z0 = z - kSkyBoxHalf, z1 = z + kSkyBoxHalf;
  const float lo = y + kSkyBoxBottom, hi = y + kSkyBoxTop;
  glColor3f(1, 1, 1);
  BindTexture2D(gTextures[kSkyBoxTexture].glId);
  glBegin(GL_QUADS);
  SkyQuad({{x0, lo, z0, 0.25f, 0.05f}, {x1, lo, z0, 0.75f, 0.05f}, {x1, hi, z0, 0.75f, 0.25f}, {x0, hi, z0, 0.25f, 0.25f}});
  SkyQuad({{x1, lo, z1, 0.75f, 0.95f}, {x0, lo, z1, 0.25f, 0.95f}, {x0, hi, z1, 0.25f, 0.75f}, {x1, hi, z1, 0.75f, 0.75f}});
  SkyQuad({{x0, lo, z1, 0.05f, 0.75f}, {x0, lo, z0, 0.05f, 0.25f}, {x0, hi, z0, 0.25f, 0.25f}, {x0, hi, z1, 0.25f, 0.75f}});
  SkyQuad({{x1, lo, z0, 0.95f, 0.25f}, {x1, lo, z1, 0.95f, 0.75f}, {x1, hi, z1, 0.75f, 0.75f}, {x1, hi, z0, 0.75f, 0.25f}});
  SkyQuad({{x0, hi, z0, 0.25f, 0.25f}, {x1, hi, z0, 0.75f, 0.25f}, {x1, hi, z1, 0.75f, 0.75f}, {x0, hi, z1, 0.25f, 0.75f}});
  glEnd();

  const float r0x = x - kSkyRingHalf, r1x = x + kSkyRingHalf, r0z = z - kSkyRingHalf, r1z = z + kSkyRingHalf;
  const float rlo = y + kSkyRingBottom, rhi = y + kSkyRingTop;
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, 1);
  BindTexture2D(gTextures[kSkyRingTexture].glId);
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBegin(GL_QUADS);
    SkyQuad({{r0x, rlo, r0z, 2, 0}, {r1x, rlo, r0z, 0, 0}, {r1x, rhi, r0z, 0, 1}, {r0x, rhi, r0z, 2, 1}});
    SkyQuad({{r1x, rlo, r1z, 2, 0}, {r0x, rlo, r1z, 0, 0}, {r0x, rhi, r1z, 0, 1}, {r1x, rhi, r1z, 2, 1}});
    SkyQuad({{r0x, rlo, r1z, 2, 0}, {r0x, rlo, r0z, 0, 0}, {r0x, rhi, r0z, 0, 1}, {r0x, rhi, r1z, 2, 1}});
    SkyQuad({{r1x, rlo, r0z, 2, 0}, {r1x, rlo, r1z, 0, 0}, {r1x, rhi, r1z, 0, 1}, {r1x, rhi, r0z, 2, 1}});
    glEnd();
  });
}

void DrawTexturedBox(float x, float y, float z, float w, float h, float d) {
  const float x0 = x - w / 2, x1 = x + w / 2, z0 = z - d / 2, z1 = z + d / 2, y1 = y + h;
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, 1);
  BindTexture2D(gTextures[kBarrierTapeTexture].glId);
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBegin(GL_QUADS);
    SkyQuad({{x0, y, z0, 0, 0}, {x1, y, z0, 2, 0}, {x1, y1, z0, 2, 1}, {x0, y1, z0, 0, 1}});
    SkyQuad({{x1, y, z0, 0, 0}, {x1, y, z1, 2, 0}, {x1, y1, z1, 2, 1}, {x1, y1, z0, 0, 1}});
    SkyQuad({{x1, y, z1, 0, 0}, {x0, y, z1, 2, 0}, {x0, y1, z1, 2, 1}, {x1, y1, z1, 0, 1}});
    SkyQuad({{x0, y, z1, 0, 0}, {x0, y, z0, 2, 0}, {x0, y1, z0, 2, 1}, {x0, y1, z1, 0, 1}});
    glEnd();
  });
}
