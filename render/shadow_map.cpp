#include "render/shadow_map.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "platform/gl.h"
#include "render/frustum.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/leaf_meshes.h"
#include "render/race_projection.h"
#include "render/shaders.h"
#include "world/world_models.h"

namespace {

constexpr float kPolygonOffsetFactor = 4.0f;
constexpr float kPolygonOffsetUnits = 1.0f;

// Opaque sections in drawing order, with the model that gives each its groups.
constexpr struct {
  int section, model;
} kOpaqueSections[] = {{kSectionMainRoad, kWorldModelMainRoad},
                       {kSectionMainMap, kWorldModelMainMap},
                       {kSectionAddMap, kWorldModelAddMap}};
// Alpha-tested sections; their groups take their textures from main_transparency's materials.
constexpr struct {
  int section, model;
} kCutSections[] = {{kSectionMainTransparency, kWorldModelMainTransparency},
                    {kSectionAddTransparency, kWorldModelAddTransparency}};

void AttachShadowMap() {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gShadowFbo);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, gShadowMapTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);
  glEnable(GL_DEPTH_TEST);
  glClear(GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glViewport(0, 0, gShadowMapSize, gShadowMapSize);
}

void BindWindowFramebuffer() {
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glDrawBuffer(GL_BACK);
  glReadBuffer(GL_BACK);
}

void DrawWorldDepth(const NodeList& leaves) {
  glBegin(GL_TRIANGLES);
  for (const auto& s : kOpaqueSections)
    for (int g = 0; g < WorldGroupCount(s.model); ++g) EmitLeafTriangles(leaves, s.section, g, kLeafPositionOnly);
  glEnd();

  glUseProgramObjectARB(gTransparencyForShadowMapProgram.object);
  SetShaderUniforms(kProgTransparencyForShadowMap);
  for (const auto& s : kCutSections)
    for (int g = 0; g < WorldGroupCount(s.model); ++g) {
      BindWorldGroupTexture(s.model, kWorldModelMainTransparency, g);
      glBegin(GL_TRIANGLES);
      EmitLeafTriangles(leaves, s.section, g, kLeafWithUv);
      glEnd();
    }
  glUseProgramObjectARB(0);
}

void DrawPropDepth(const ShadowCasters& c, int prop) {
  const int type = c.props[prop].type;
  if (type < 0 || type >= c.partModelTypes) return;
  for (int part = 0; part < c.props[prop].partCount && part < kMaxPropParts; ++part) {
    Model* model = c.partModels[type][part];
    if (!model) continue;
    glPushMatrix();
    glMultMatrixf(c.partMatrices[prop][part].m);
    model->Draw();
    glPopMatrix();
  }
}

void DrawPropsDepth(const ShadowCasters& c) {
  if (!c.props || !c.partMatrices || !c.partModels) return;
  if (gQuadTreeLeaves)
    for (int n = 0; n < c.leaves->count; ++n) {
      const QuadTreeList& leaf = gQuadTreeLeaves[c.leaves->leaf[n]];
      for (int i = 0; i < leaf.objectCount; ++i) {
        const int prop = leaf.objectIdx[i];
        if (PropCastsShadowFromLeaf(prop, c.propCount, c.props)) DrawPropDepth(c, prop);
      }
    }
  for (int prop = 0; prop < c.propCount; ++prop)
    if (c.props[prop].awake) DrawPropDepth(c, prop);
}

}  // namespace

bool PropCastsShadowFromLeaf(int propIndex, int propCount, const PropDrawn* props) {
  return propIndex >= 0 && propIndex < propCount && props[propIndex].playerDistSq < kPropShadowDistSq;
}

bool ShadowMapTakesRacers(int shadowMapSize) { return shadowMapSize == 4096 || shadowMapSize == 8192; }

void BeginShadowDepthPass(const Matrix4& lightProjection, const Matrix4& lightView) {
  AttachShadowMap();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadMatrixf(lightProjection.m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(lightView.m);
  glShadeModel(GL_FLAT);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glPolygonOffset(kPolygonOffsetFactor, kPolygonOffsetUnits);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_CULL_FACE);
}

void RenderShadowMap(const ShadowCasters& casters, const Matrix4& lightProjection, const Matrix4& lightView) {
  BeginShadowDepthPass(lightProjection, lightView);
  DrawWorldDepth(*casters.leaves);  // unculled, as the pass begins: cut-outs cast from both faces
  WithGlCapabilities({{GL_CULL_FACE, true}}, [&] {
    DrawPropsDepth(casters);
    if (casters.drawRacers && ShadowMapTakesRacers(gShadowMapSize)) casters.drawRacers();
  });
  EndShadowDepthPass();
}

void EndShadowDepthPass() {
  glEnable(GL_CULL_FACE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glShadeModel(GL_SMOOTH);
  glDisable(GL_POLYGON_OFFSET_FILL);
  // The window's viewport (SetProjection also resets the modelview), then
  // the projection from before the pass.
  int32_t width = 0, height = 0;
  ResolutionSize(gResolutionIndex, width, height);
  SetProjection(width, height);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  BindWindowFramebuffer();
}

void ClearShadowMap() {
  AttachShadowMap();
  BindWindowFramebuffer();
}
