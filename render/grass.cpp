#include "render/grass.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/billboards.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/race_camera.h"
#include "render/shaders.h"
#include "world/world_models.h"

#include <vector>

namespace {

constexpr float kGrassUpScale = 2.0f;
constexpr float kGrassFadeStart = 250.0f;  // T0 = sight distance minus this, units
constexpr float kGrassFadeEnd = 220.0f;    // T1 = sight distance minus this, units
constexpr float kAlphaCut = 0.5f;

Vector3 Normalised(Vector3 v) {
  float length = v.Length();
  return length > 0 ? v * (1 / length) : Vector3();
}

}  // namespace

unsigned TableTexture(int index) {
  const uint32_t id = gTextures[index].glId;
  return id == kNoTexture ? 0 : id;
}

void SetBillboardAlphaCut() {
  glAlphaFunc(GL_GEQUAL, kAlphaCut);
  glColor4f(1, 1, 1, 1);
}

void DrawGrass(const NodeList& visible, const float* leafDistSq, float frameFactor) {
  const Vector3 cameraUp(gRaceCameraUp.x, gRaceCameraUp.y, gRaceCameraUp.z);
  const Vector3 view(gGarageLookAt.x, gGarageLookAt.y, gGarageLookAt.z);
  const Vector3 up = Normalised(cameraUp) * kGrassUpScale;
  const Vector3 right = Normalised(CrossProduct(cameraUp, view));
  AdvanceGrassSway(gGrassSwayPhase, frameFactor);
  Vector3 sway[kGrassKindCount];
  GrassSwayVectors(gGrassSwayPhase, gMenuClock, sway);

  WithGlUnitCapabilities({{GL_TEXTURE1_ARB, GL_TEXTURE_3D, false},
                          {GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP, false},
                          {GL_TEXTURE1_ARB, GL_TEXTURE_2D, true},
                          {GL_TEXTURE0_ARB, GL_TEXTURE_2D, true}},
                         [&] {
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glBindTexture(GL_TEXTURE_2D, TableTexture(kGrassTintTexture));
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, TableTexture(kGrassAtlasTexture));
    DrawCutBillboards(gAntiAliasing > 0, [&] {
      glUseProgramObjectARB(gGrassProgram.object);
      SetShaderUniforms(kProgGrass);
      glUniform1fARB(gGrassProgram.t0, gSightDistance - kGrassFadeStart);
      glUniform1fARB(gGrassProgram.t1, gSightDistance - kGrassFadeEnd);
      glUniform3fARB(gGrassProgram.right, right.x, right.y, right.z);
      glUniform3fARB(gGrassProgram.up, up.x, up.y, up.z);

      static std::vector<BillboardVertex> stream;
      stream.clear();
      if (gQuadTreeLeaves) BuildGrassStream(visible, gQuadTreeLeaves, leafDistSq, gSightDistance, sway, stream);
      glBegin(GL_QUADS);
      for (const BillboardVertex& v : stream) {
        glMultiTexCoord4fvARB(GL_TEXTURE0_ARB, v.tex0);
        glMultiTexCoord3fvARB(GL_TEXTURE1_ARB, v.tex1);
        glVertex3fv(v.position);
      }
      glEnd();
    });
  });
}

void DrawWater() {
  WithGlUnitCapabilities({{GL_TEXTURE2_ARB, GL_TEXTURE_2D, false},
                          {GL_TEXTURE2_ARB, GL_TEXTURE_CUBE_MAP, false},
                          {GL_TEXTURE2_ARB, GL_TEXTURE_3D, true},
                          {GL_TEXTURE1_ARB, GL_TEXTURE_2D, false},
                          {GL_TEXTURE1_ARB, GL_TEXTURE_3D, false},
                          {GL_TEXTURE1_ARB, GL_TEXTURE_CUBE_MAP, true},
                          {GL_TEXTURE0_ARB, GL_TEXTURE_CUBE_MAP, false},
                          {GL_TEXTURE0_ARB, GL_TEXTURE_3D, false}},
                         [] {
    glActiveTextureARB(GL_TEXTURE2_ARB);
    glBindTexture(GL_TEXTURE_3D, gWaterTexture3D);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glBindTexture(GL_TEXTURE_CUBE_MAP, gReflectionCubeMap);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glUseProgramObjectARB(gWaterProgram.object);
    SetShaderUniforms(kProgWater);
    if (gWorldModels[kWorldModelWater]) gWorldModels[kWorldModelWater]->Draw();
    glUseProgramObjectARB(0);
  });
}
