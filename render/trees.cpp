#include "render/trees.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/billboards.h"
#include "render/grass.h"
#include "render/race_camera.h"
#include "render/shaders.h"

#include <vector>

namespace {

constexpr float kTreeFadeStart = 110.0f;  // T0 = sight distance minus this, units
constexpr float kTreeFadeEnd = 80.0f;     // T1 = sight distance minus this, units
constexpr float kLeanFactor[2] = {0.045f, 0.03f};

void DrawTreeBatch(int batch, const NodeList& visible, const float* leafDistSq, float frameFactor, float colour[3]) {
  const float amplitude = AdvanceTreeSway(gTreeSwayPhase[batch], frameFactor);
  Vector3 right, up;
  TreeBillboardAxes(Vector3(gGarageLookAt.x, gGarageLookAt.y, gGarageLookAt.z), gTreeSwayPhase[batch], amplitude,
                    kLeanFactor[batch], right, up);
  glUniform3fARB(gTreesProgram.right, right.x, right.y, right.z);
  glUniform3fARB(gTreesProgram.up, up.x, up.y, up.z);
  glUniform3fARB(gTreesProgram.camPos, gCameraEye.x, gCameraEye.y, gCameraEye.z);

  static std::vector<BillboardVertex> stream;
  stream.clear();
  if (gQuadTreeLeaves) BuildTreeStream(batch, visible, gQuadTreeLeaves, leafDistSq, gSightDistance, colour, stream);
  glBegin(GL_QUADS);
  for (const BillboardVertex& v : stream) {
    glColor4f(v.colour[0], v.colour[1], v.colour[2], 1);
    glMultiTexCoord4fvARB(GL_TEXTURE0_ARB, v.tex0);
    glVertex3fv(v.position);
  }
  glEnd();
}

}  // namespace

void DrawTrees(const NodeList& visible, const float* leafDistSq, float frameFactor) {
  DrawCutBillboards(gAntiAliasing > 0, [&] {
    glUseProgramObjectARB(gTreesProgram.object);
    SetShaderUniforms(kProgTrees);
    glUniform1fARB(gTreesProgram.t0, gSightDistance - kTreeFadeStart);
    glUniform1fARB(gTreesProgram.t1, gSightDistance - kTreeFadeEnd);
    glBindTexture(GL_TEXTURE_2D, TableTexture(kTreeAtlasTexture));
    float colour[3] = {1, 1, 1};  // the current colour, carried from batch 1 into batch 2
    DrawTreeBatch(0, visible, leafDistSq, frameFactor, colour);
    DrawTreeBatch(1, visible, leafDistSq, frameFactor, colour);
  });
}
