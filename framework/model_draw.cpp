// The draws of Model. Each draws group by group, one GL_TRIANGLES batch per
// group, and changes only texture bindings, the texturing enables of units
// 0..2, the active unit and, in the group variants, uniforms of the program
// in use. A batch is the group's display list when the model has them
// (BuildDrawLists), else its corners sent one by one; both send the same
// commands, so the picture and the current attributes after it are the same.
#include "platform/gl.h"

#include "framework/model.h"

namespace {

// Texture units of the normal-mapped draws: unit 0 the colour texture, 1
// and 2 carry the tangent and binormal as texture coordinates, and the
// normal map sits on unit 1 or 2.
constexpr GLenum kColourUnit = GL_TEXTURE0_ARB;
constexpr GLenum kTangentUnit = GL_TEXTURE1_ARB;
constexpr GLenum kBinormalUnit = GL_TEXTURE2_ARB;

// An override of -1 (or an empty Texture's all-bits name) keeps the material's texture.
constexpr int kKeepMaterialTexture = -1;

void BindOnUnit(GLenum unit, GLuint texture) {
  GlActiveTexture(unit);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
}

void DisableUnitAndReturnToColour(GLenum unit) {
  GlActiveTexture(unit);
  glDisable(GL_TEXTURE_2D);
  GlActiveTexture(kColourUnit);
  glEnable(GL_TEXTURE_2D);
}

void SendPlainCorner(const Model& model, const ModelTriangle& tri, int k) {
  glNormal3fv(tri.normals[k]);
  glTexCoord2fv(tri.texCoords[k]);
  glVertex3fv(model.vertices[tri.vertexIndices[k]].position);
}

void SendTangentCorner(const Model& model, const ModelTriangle& tri, int k) {
  glNormal3fv(tri.normals[k]);
  GlMultiTexCoord3f(kTangentUnit, tri.tangents[k][0], tri.tangents[k][1], tri.tangents[k][2]);
  GlMultiTexCoord3f(kBinormalUnit, tri.binormals[k][0], tri.binormals[k][1], tri.binormals[k][2]);
  glTexCoord2fv(tri.texCoords[k]);
  glVertex3fv(model.vertices[tri.vertexIndices[k]].position);
}

template <typename SendCorner>
void SendGroupTriangles(const Model& model, const ModelGroup& group, SendCorner send) {
  if (model.triangles == nullptr) return;  // released: the groups' indices lead nowhere
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < group.triangleCount; ++i) {
    const ModelTriangle& tri = model.triangles[group.triangleIndices[i]];
    for (int k = 0; k < 3; ++k) send(model, tri, k);
  }
  glEnd();
}

// What a group's batch sends with each corner: the normal and texture
// coordinate, or those and the tangent and binormal on units 1 and 2.
enum CornerSet : int { kPlainCorners = 0, kTangentCorners = 1, kCornerSetCount = kDrawListsPerGroup };

void SendGroup(const Model& model, int g, CornerSet corners) {
  if (corners == kPlainCorners)
    SendGroupTriangles(model, model.groups[g], SendPlainCorner);
  else
    SendGroupTriangles(model, model.groups[g], SendTangentCorner);
}

void DrawGroupTriangles(const Model& model, int g, CornerSet corners) {
  if (model.drawLists != 0)
    glCallList(model.drawLists + GLuint(corners * model.groupCount + g));
  else
    SendGroup(model, g, corners);
}

// The group's material, when it has one with both its texture and its
// normal map made; else null.
const ModelMaterial* NormalMappedMaterial(const Model& model, const ModelGroup& group) {
  if (!model.GroupHasMaterial(group)) return nullptr;
  const ModelMaterial& material = model.materials[group.materialIndex];
  return (material.textureId != 0 && material.alphaMapId != 0) ? &material : nullptr;
}

void DrawNormalMappedWith(const Model& model, GLenum normalMapUnit, int overrideTexture) {
  for (int g = 0; g < model.groupCount; ++g) {
    const ModelGroup& group = model.groups[g];
    if (const ModelMaterial* material = NormalMappedMaterial(model, group)) {
      BindOnUnit(normalMapUnit, material->alphaMapId);
      const bool keep = overrideTexture == kKeepMaterialTexture;
      BindOnUnit(kColourUnit, keep ? material->textureId : GLuint(overrideTexture));
    }
    DrawGroupTriangles(model, g, kTangentCorners);
  }
  DisableUnitAndReturnToColour(normalMapUnit);
}

float GroupLight(int group, float a, float b, float c, float later) {
  switch (group) {
    case 0: return a;
    case 1: return b;
    case 2: return c;
    default: return later;
  }
}

}  // namespace

void Model::BuildDrawLists() {
  if (drawLists != 0 || groupCount == 0) return;
  drawLists = glGenLists(kCornerSetCount * groupCount);  // 0 without a current context
  if (drawLists == 0) return;
  for (int corners = 0; corners < kCornerSetCount; ++corners)
    for (int g = 0; g < groupCount; ++g) {
      glNewList(drawLists + GLuint(corners * groupCount + g), GL_COMPILE);
      SendGroup(*this, g, CornerSet(corners));
      glEndList();
    }
}

void Model::BuildDrawListsAndReleaseTriangles() {
  BuildDrawLists();
  if (drawLists != 0) ReleaseTriangles();
}

void Model::Draw() const {
  for (int g = 0; g < groupCount; ++g) {
    if (GroupHasMaterial(groups[g]))
      glBindTexture(GL_TEXTURE_2D, materials[groups[g].materialIndex].textureId);
    DrawGroupTriangles(*this, g, kPlainCorners);
  }
}

void Model::DrawWithTexture(uint32_t textureId) const {
  for (int g = 0; g < groupCount; ++g) {
    glBindTexture(GL_TEXTURE_2D, textureId);
    DrawGroupTriangles(*this, g, kPlainCorners);
  }
}

void Model::DrawNormalMapped() const {
  DrawNormalMappedWith(*this, kTangentUnit, kKeepMaterialTexture);
}

void Model::DrawNormalMappedOverride(int textureId) const {
  DrawNormalMappedWith(*this, kBinormalUnit, textureId);
}

void Model::DrawTangentGeometry() const {
  for (int g = 0; g < groupCount; ++g) DrawGroupTriangles(*this, g, kTangentCorners);
}

void Model::DrawNormalMappedGroupUniform(float a, float b, float c, const GroupLightUniforms& uniforms) const {
  // One material for the whole model; a model without one keeps what is bound.
  if (materialCount > 0) {
    BindOnUnit(kBinormalUnit, materials[0].alphaMapId);
    BindOnUnit(kColourUnit, materials[0].textureId);
  }
  GlUniform1f(uniforms.refInt, 0);
  GlUniform1f(uniforms.glassAlpha, 0);
  for (int g = 0; g < groupCount; ++g) {
    GlUniform1f(uniforms.lightNow, GroupLight(g, a, b, c, 0));
    if (g > 2) {
      GlUniform1f(uniforms.refInt, 1);
      GlUniform1f(uniforms.glassAlpha, 0);
    }
    DrawGroupTriangles(*this, g, kPlainCorners);
  }
  GlUniform1f(uniforms.lightNow, 0);
  GlUniform1f(uniforms.refInt, 1);
  GlUniform1f(uniforms.glassAlpha, 0);
  DisableUnitAndReturnToColour(kBinormalUnit);
}

void Model::DrawGroupUniform(float a, float b, float c, int lightNowUniform) const {
  if (materialCount > 0) glBindTexture(GL_TEXTURE_2D, materials[0].textureId);
  for (int g = 0; g < groupCount; ++g) {
    GlUniform1f(lightNowUniform, GroupLight(g, a, b, c, 1.0f));
    DrawGroupTriangles(*this, g, kPlainCorners);
  }
}

void Model::DrawVertexArrays(int textureId) const {
  if (flatCount == 0 || positions == nullptr) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, positions);
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, 0, normals);
  const bool hasMaterial = materialCount > 0;
  // Tangents exist only when they were built before the flattening.
  if (binormals != nullptr && tangents != nullptr) {
    GlClientActiveTexture(kBinormalUnit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(3, GL_FLOAT, 0, binormals);
    GlActiveTexture(kBinormalUnit);
    glEnable(GL_TEXTURE_2D);
    if (hasMaterial) glBindTexture(GL_TEXTURE_2D, materials[0].alphaMapId);
    GlClientActiveTexture(kTangentUnit);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(3, GL_FLOAT, 0, tangents);
    GlActiveTexture(kTangentUnit);
    glEnable(GL_TEXTURE_2D);
  }
  GlClientActiveTexture(kColourUnit);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
  GlActiveTexture(kColourUnit);
  glEnable(GL_TEXTURE_2D);
  if (textureId != kKeepMaterialTexture) glBindTexture(GL_TEXTURE_2D, GLuint(textureId));
  else if (hasMaterial) glBindTexture(GL_TEXTURE_2D, materials[0].textureId);
  glDrawArrays(GL_TRIANGLES, 0, flatCount);
  // Every array is switched off again, unit 2's too: a pointer left enabled
  // would be read by a later draw after this model is gone.
  GlClientActiveTexture(kBinormalUnit);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  GlClientActiveTexture(kTangentUnit);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  GlClientActiveTexture(kColourUnit);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}
