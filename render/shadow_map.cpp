#include "render/shadow_map.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "platform/gl.h"
#include "render/frustum.h"
#include "render/gl_resources.h"
#include "render/renderer.h"
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

// The triangles of one section and group over the listed leaves, with the
// texture coordinate only when asked.
void EmitLeafTriangles(const NodeList& leaves, int section, int group, bool withUv) {
  for (int n = 0; n < leaves.count; ++n) {
    const Mesh* meshes = gQuadTreeLeaves[leaves.leaf[n]].sectionMeshes[section];
    if (!meshes) continue;
    const Mesh& mesh = meshes[group];
    for (int t = 0; t < mesh.count; ++t)
      for (int c = 0; c < 3; ++c) {
        if (withUv) glTexCoord2fv(mesh.tris[t].uv0[c]);
        glVertex3fv(mesh.tris[t].position[c]);
      }
  }
}

void DrawWorldDepth(const NodeList& leaves) {
  if (!gQuadTreeLeaves) return;
  glBegin(GL_TRIANGLES);
  for (const auto& s : kOpaqueSections)
    for (int g = 0; g < SectionMeshCount(gWorldModels[s.model]); ++g) EmitLeafTriangles(leaves, s.section, g, false);
  glEnd();

  glDisable(GL_CULL_FACE);
  glUseProgramObjectARB(gProgTransparencyForShadowMap);
  SetShaderUniforms(kProgTransparencyForShadowMap);
  const Model* materials = gWorldModels[kWorldModelMainTransparency];
  for (const auto& s : kCutSections) {
    const Model* model = gWorldModels[s.model];
    for (int g = 0; g < SectionMeshCount(model); ++g) {
      if (materials && materials->GroupHasMaterial(model->groups[g])) {
        const uint32_t texture = materials->materials[model->groups[g].materialIndex].textureId;
        if (texture != 0) glBindTexture(GL_TEXTURE_2D, texture);
      }
      glBegin(GL_TRIANGLES);
      EmitLeafTriangles(leaves, s.section, g, true);
      glEnd();
    }
  }
  glUseProgramObjectARB(0);
  glEnable(GL_CULL_FACE);
}

void DrawPropDepth(const ShadowCasters& c, int prop) {
  const int type = c.propTypes[prop];
  if (type < 0 || type >= c.partModelTypes) return;
  for (int part = 0; part < c.propPartCounts[prop] && part < kMaxPropParts; ++part) {
    Model* model = c.partModels[type][part];
    if (!model) continue;
    glPushMatrix();
    glMultMatrixf(c.partMatrices[prop][part].m);
    model->Draw();
    glPopMatrix();
  }
}

void DrawPropsDepth(const ShadowCasters& c) {
  if (!c.partMatrices || !c.partModels) return;
  if (gQuadTreeLeaves)
    for (int n = 0; n < c.leaves->count; ++n) {
      const QuadTreeList& leaf = gQuadTreeLeaves[c.leaves->leaf[n]];
      for (int i = 0; i < leaf.objectCount; ++i) {
        const int prop = leaf.objectIdx[i];
        if (PropCastsShadowFromLeaf(prop, c.propCount, c.propPlayerDistSq)) DrawPropDepth(c, prop);
      }
    }
  for (int prop = 0; prop < c.propCount; ++prop)
    if (c.propAwake[prop]) DrawPropDepth(c, prop);
}

}  // namespace

bool PropCastsShadowFromLeaf(int propIndex, int propCount, const float* playerDistSq) {
  return propIndex >= 0 && propIndex < propCount && playerDistSq[propIndex] < kPropShadowDistSq;
}

bool ShadowMapTakesRacers(int shadowMapSize) { return shadowMapSize == 4096 || shadowMapSize == 8192; }

void RenderShadowMap(const ShadowCasters& casters, const Matrix4& lightProjection, const Matrix4& lightView) {
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

  DrawWorldDepth(*casters.leaves);
  DrawPropsDepth(casters);
  if (casters.drawRacers && ShadowMapTakesRacers(gShadowMapSize)) casters.drawRacers();

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
