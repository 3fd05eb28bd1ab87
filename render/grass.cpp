#include "render/grass.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/texture.h"
#include "platform/gl.h"
#include "render/billboards.h"
#include "render/gl_resources.h"
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

void CutAlphaForBillboards() {
  glEnable(gAntiAliasing > 0 ? GL_SAMPLE_ALPHA_TO_COVERAGE_ARB : GL_ALPHA_TEST);
  glAlphaFunc(GL_GEQUAL, kAlphaCut);
  glColor4f(1, 1, 1, 1);
  glDisable(GL_CULL_FACE);
}

void DrawBillboardStream(const std::vector<BillboardVertex>& stream, BillboardExtra extra) {
  if (stream.empty()) return;
  constexpr GLsizei kStride = sizeof(BillboardVertex);
  const BillboardVertex& first = stream.front();
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, kStride, first.position);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);  // unit 0, the client unit every draw leaves active
  glTexCoordPointer(4, GL_FLOAT, kStride, first.tex0);
  if (extra == kBillboardTip) {
    GlClientActiveTexture(GL_TEXTURE1_ARB);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(3, GL_FLOAT, kStride, first.tex1);
  } else {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(3, GL_FLOAT, kStride, first.colour);  // alpha 1
  }
  glDrawArrays(GL_QUADS, 0, GLsizei(stream.size()));
  if (extra == kBillboardTip) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    GlClientActiveTexture(GL_TEXTURE0_ARB);
  } else {
    glDisableClientState(GL_COLOR_ARRAY);
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  // The last corner's values stay current, as when the corners were sent one by one.
  const BillboardVertex& last = stream.back();
  glMultiTexCoord4fvARB(GL_TEXTURE0_ARB, last.tex0);
  if (extra == kBillboardTip)
    glMultiTexCoord3fvARB(GL_TEXTURE1_ARB, last.tex1);
  else
    glColor4f(last.colour[0], last.colour[1], last.colour[2], 1);
}

void EndBillboards() {
  glUseProgramObjectARB(0);
  glEnable(GL_CULL_FACE);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE_ARB);
}

void DrawGrass(const NodeList& visible, const float* leafDistSq, float frameFactor) {
  const Vector3 cameraUp(gRaceCameraUp.x, gRaceCameraUp.y, gRaceCameraUp.z);
  const Vector3 view(gGarageLookAt.x, gGarageLookAt.y, gGarageLookAt.z);
  const Vector3 up = Normalised(cameraUp) * kGrassUpScale;
  const Vector3 right = Normalised(CrossProduct(cameraUp, view));
  AdvanceGrassSway(gGrassSwayPhase, frameFactor);
  Vector3 sway[kGrassKindCount];
  GrassSwayVectors(gGrassSwayPhase, gMenuClock, sway);

  glActiveTextureARB(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_3D);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, TableTexture(kGrassTintTexture));
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, TableTexture(kGrassAtlasTexture));
  CutAlphaForBillboards();

  glUseProgramObjectARB(gProgGrass);
  SetShaderUniforms(kProgGrass);
  glUniform1fARB(gLocGrassT0, gSightDistance - kGrassFadeStart);
  glUniform1fARB(gLocGrassT1, gSightDistance - kGrassFadeEnd);
  glUniform3fARB(gLocGrassRight, right.x, right.y, right.z);
  glUniform3fARB(gLocGrassUp, up.x, up.y, up.z);

  static std::vector<BillboardVertex> stream;
  stream.clear();
  if (gQuadTreeLeaves) BuildGrassStream(visible, gQuadTreeLeaves, leafDistSq, gSightDistance, sway, stream);
  DrawBillboardStream(stream, kBillboardTip);

  EndBillboards();
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glDisable(GL_TEXTURE_3D);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glEnable(GL_TEXTURE_2D);
}

void DrawWater() {
  glActiveTextureARB(GL_TEXTURE2_ARB);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glEnable(GL_TEXTURE_3D);
  glBindTexture(GL_TEXTURE_3D, gWaterTexture3D);
  glActiveTextureARB(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_3D);
  glEnable(GL_TEXTURE_CUBE_MAP);
  glBindTexture(GL_TEXTURE_CUBE_MAP, gReflectionCubeMap);
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glDisable(GL_TEXTURE_3D);
  glEnable(GL_TEXTURE_2D);

  glUseProgramObjectARB(gProgWater);
  SetShaderUniforms(kProgWater);
  if (gWorldModels[kWorldModelWater]) gWorldModels[kWorldModelWater]->Draw();
  glUseProgramObjectARB(0);

  for (GLenum unit : {GL_TEXTURE2_ARB, GL_TEXTURE1_ARB}) {
    glActiveTextureARB(unit);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_2D);
  }
  glActiveTextureARB(GL_TEXTURE0_ARB);
  glDisable(GL_TEXTURE_3D);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_CUBE_MAP);
}
