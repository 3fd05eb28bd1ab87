#include "render/leaf_meshes.h"

#include "platform/gl.h"
#include "world/world_models.h"

void EmitLeafTriangles(const NodeList& leaves, int section, int group, int attributes) {
  if (!gQuadTreeLeaves) return;
  for (int n = 0; n < leaves.count; ++n) {
    const Mesh* meshes = gQuadTreeLeaves[leaves.leaf[n]].sectionMeshes[section];
    if (!meshes) continue;
    const Mesh& mesh = meshes[group];
    for (int t = 0; t < mesh.count; ++t)
      for (int c = 0; c < 3; ++c) {
        if (attributes & kLeafWithNormal) glNormal3fv(mesh.tris[t].normal[c]);
        if (attributes & kLeafWithUv) glTexCoord2fv(mesh.tris[t].uv0[c]);
        glVertex3fv(mesh.tris[t].position[c]);
      }
  }
}

int WorldGroupCount(int modelSlot) { return SectionMeshCount(gWorldModels[modelSlot]); }

void BindWorldGroupTexture(int modelSlot, int materialSlot, int group) {
  const Model* model = gWorldModels[modelSlot];
  const Model* materials = gWorldModels[materialSlot];
  if (!model || !materials || !materials->GroupHasMaterial(model->groups[group])) return;
  const uint32_t texture = materials->materials[model->groups[group].materialIndex].textureId;
  if (texture != 0) glBindTexture(GL_TEXTURE_2D, texture);
}
