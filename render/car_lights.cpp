#include "render/car_lights.h"

#include "framework/model.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "render/racer_look.h"
#include "world/catalogue.h"

#include <algorithm>
#include <cmath>

namespace {

// How the facing angle turns into the flare's fade: u = theta x slope +
// offset, held within 0.5..1, fade (2 (1 - u)) squared.
constexpr float kFadeSlope = 0.6366f;  // 2 / pi
constexpr float kFadeOffset = 0.075f;
// The sprite is pulled this far toward the camera, out of the lamp's glass.
constexpr float kFlarePull = 0.75f;

struct LampFlare {
  float colour[3];
  float alphaFactor;
  int level;  // which of the three lamp levels lights it
  int texture;
  float size;
};
// Lamp 0 the head lamp (faces forward), 1 the tail lamp, 2 the brake lamp,
// 3 the reversing lamp (all three face backward).
constexpr LampFlare kLampFlares[4] = {
    {{1.0f, 1.0f, 0.65f}, 0.25f, 0, kGlowTexture, 1.65f},
    {{1.0f, 0.0f, 0.0f}, 0.15f, 0, kTailLampFlareTexture, 0.85f},
    {{1.0f, 0.0f, 0.0f}, 0.2f, 1, kGlowTexture, 1.0f},
    {{0.4f, 0.4f, 0.35f}, 0.25f, 2, kGlowTexture, 0.85f},
};

// A traffic car's lamps 0..7 (4..7 mirror 0..3 across the car); levels 0..2
// are the car's head lamps, -z side and +z side lamps, level 3 always lit.
constexpr float kAmber[3] = {1.0f, 0.25f, 0.0f};
constexpr LampFlare kTrafficHead = {{0.45f, 0.45f, 1.0f}, 1.0f, 0, kGlowTexture, 1.65f};
constexpr LampFlare kTrafficTail = {{1.0f, 0.0f, 0.0f}, 0.75f, 3, kTailLampFlareTexture, 1.0f};
constexpr LampFlare kTrafficPlusZ = {{kAmber[0], kAmber[1], kAmber[2]}, 1.0f, 2, kGlowTexture, 1.25f};
constexpr LampFlare kTrafficMinusZ = {{kAmber[0], kAmber[1], kAmber[2]}, 1.0f, 1, kGlowTexture, 1.25f};
constexpr LampFlare kTrafficFlares[8] = {kTrafficHead, kTrafficTail, kTrafficPlusZ,  kTrafficPlusZ,
                                         kTrafficHead, kTrafficTail, kTrafficMinusZ, kTrafficMinusZ};

// Additive sprites over the picture, seen through nothing nearer.
// Additive glow over the scene, depth tested but not written; culling,
// blending and the depth test are left as found.
template <typename Pass>
void WithFlareState(Pass pass) {
  glDepthMask(GL_FALSE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  WithGlCapabilities({{GL_CULL_FACE, false}, {GL_BLEND, true}, {GL_DEPTH_TEST, true}}, pass);
  glDepthMask(GL_TRUE);
  glColor4f(1, 1, 1, 1);
}

neV3 Flat(neV3 v) {
  v.y = 0.0f;
  return SafeUnit(v);
}

neV3 CarPoint(const Matrix4& m, const neV3& p) {
  const Vector3 w = m.TransformPoint(p.x, p.y, p.z);
  return neMakeV3(w.x, w.y, w.z);
}

// The quad's four corners about the centre, in double precision: right =
// v x up and up' = v x right (neither normalised again), v the unit
// direction to the eye. Corners: +right (0, 0), -up' (1, 0), -right (1, 1),
// +up' (0, 1).
void IssueFacingCorners(const neV3& eye, const neV3& centre, double sx, double sy, double sz) {
  Vec3d v{double(eye.x) - centre.x, double(eye.y) - centre.y, double(eye.z) - centre.z};
  Vec3dNormalize(&v, v);
  Vec3d right, up;
  Vec3dCross(&right, v, Vec3d{0.0, 1.0, 0.0});
  Vec3dCross(&up, v, right);
  const double scale[3] = {sx, sy, sz};
  const Vec3d offsets[4] = {right, {-up.x, -up.y, -up.z}, {-right.x, -right.y, -right.z}, up};
  const double st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int k = 0; k < 4; ++k) {
    glTexCoord2dv(st[k]);
    glVertex3d(centre.x + offsets[k].x * scale[0], centre.y + offsets[k].y * scale[1],
               centre.z + offsets[k].z * scale[2]);
  }
}

// One flare: faded by the angle the eye sees the lamp from, lit by its level.
void DrawFlare(const neV3& eye, const neV3& position, const neV3& direction, const LampFlare& flare,
               const float* levels) {
  const float theta = std::fabs(HeadingDelta(Flat(eye - position), Flat(direction)));
  const float alpha = FlareFade(theta) * flare.alphaFactor * levels[flare.level];
  const neV3 centre = position + SafeUnit(eye - position) * kFlarePull;
  glColor4f(flare.colour[0], flare.colour[1], flare.colour[2], alpha);
  BindTableTexture(flare.texture);
  const float half = flare.size * 0.5f;
  DrawFacingQuad(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, half, half, half);
}

}  // namespace

void BindTableTexture(int index) {
  const uint32_t id = gTextures[index].glId;
  glBindTexture(GL_TEXTURE_2D, id == kNoTexture ? 0 : id);
}

float FlareFade(float theta) {
  const float u = std::clamp(theta * kFadeSlope + kFadeOffset, 0.5f, 1.0f);
  const float f = 2.0f * (1.0f - u);
  return f * f;
}

void LampLevels(const RacerLook& look, float levels[3]) {
  levels[0] = 1.0f;
  levels[1] = look.brakeLight;
  levels[2] = look.reverseLight;
}

void DrawFacingQuad(float eyeX, float eyeY, float eyeZ, float x, float y, float z, float sizeX, float sizeY,
                    float sizeZ) {
  glBegin(GL_QUADS);
  IssueFacingCorners(neMakeV3(eyeX, eyeY, eyeZ), neMakeV3(x, y, z), sizeX, sizeY, sizeZ);
  glEnd();
}

void DrawBeamQuad(const neV3& eye, const neV3& centre, float size) {
  IssueFacingCorners(eye, centre, size, size, size);
}

void DrawBeam(const neV3& eye, const neV3& centre, float size) {
  glBegin(GL_QUADS);
  DrawBeamQuad(eye, centre, size);
  glEnd();
}

void DrawLightFlare(const neV3& eye, const neV3& position, const neV3& direction, int lamp, const float levels[3]) {
  DrawFlare(eye, position, direction, kLampFlares[lamp], levels);
}

void DrawCarLights(const neV3& eye, const Matrix4& carMatrix, const RacerLook& look) {
  WithFlareState([&] {
    BindTableTexture(kGlowTexture);
    const neV3 forward = SafeUnit(neMakeV3(carMatrix.m[0], carMatrix.m[1], carMatrix.m[2]));
    float levels[3];
    LampLevels(look, levels);
    for (int lamp = 0; lamp < 4; ++lamp) {
      const neV3 facing = lamp == 0 ? forward : forward * -1.0f;
      const neV3 p = look.layout.lampPoints[lamp];
      DrawLightFlare(eye, CarPoint(carMatrix, p), facing, lamp, levels);
      DrawLightFlare(eye, CarPoint(carMatrix, neMakeV3(p.x, p.y, -p.z)), facing, lamp, levels);
    }
  });
}

void DrawCarLights(const neV3& eye, const Matrix4& carMatrix, int type, const float levels[3]) {
  if (type < 0 || type >= kCityCarTypeCount) return;
  const float lit[4] = {levels[0], levels[1], levels[2], 1.0f};
  WithFlareState([&] {
    const neV3 forward = SafeUnit(neMakeV3(carMatrix.m[0], carMatrix.m[1], carMatrix.m[2]));
    for (int lamp = 0; lamp < 4; ++lamp) {
      const neV3 facing = lamp % 2 == 0 ? forward : forward * -1.0f;
      const float* p = gCarLightOffsets[type][lamp];
      DrawFlare(eye, CarPoint(carMatrix, neMakeV3(p[0], p[1], p[2])), facing, kTrafficFlares[lamp], lit);
      DrawFlare(eye, CarPoint(carMatrix, neMakeV3(p[0], p[1], -p[2])), facing, kTrafficFlares[lamp + 4], lit);
    }
  });
}

void DrawBeamQuad2(const neV3& eye, const neV3& centre, float size) {
  IssueFacingCorners(eye, centre, size, size * 0.5, size);
}

LightPoints gLightPoints;

void CollectLightPoints(const Model& model) {
  LightPoints& table = gLightPoints;
  table.firstCount = table.secondCount = 0;
  for (int g = 0; g < model.groupCount; ++g) {
    const ModelGroup& group = model.groups[g];
    for (int k = 0; k < group.triangleCount; ++k) {
      if (table.firstCount + table.secondCount >= kLightPointCapacity) return;
      const ModelTriangle& t = model.triangles[group.triangleIndices[k]];
      neV3 sum = neMakeV3(0, 0, 0);
      for (int32_t v : t.vertexIndices) {
        const float* p = model.vertices[v].position;
        sum = sum + neMakeV3(p[0], p[1], p[2]);
      }
      table.points[table.firstCount + table.secondCount] = sum * 0.33333f;
      ++(g == 0 ? table.firstCount : table.secondCount);
    }
  }
}

void DrawLightFlares(const neV3& eye, float size, float alpha, float blink) {
  WithFlareState([&] {
    const LightPoints& table = gLightPoints;
    for (int k = 0; k < table.firstCount + table.secondCount; ++k) {
      const bool first = k < table.firstCount;
      if (first) glColor4f(1, 1, 1, alpha); else glColor4f(1, 0, 0, alpha * blink);
      const neV3& p = table.points[k];
      DrawBeam(eye, p + SafeUnit(eye - p) * kFlarePull, first ? size : size * 0.5f);
    }
  });
}
