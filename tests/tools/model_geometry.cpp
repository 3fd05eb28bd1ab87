#include "tests/tools/model_geometry.h"

#include <algorithm>

Bounds ModelBounds(const Model& model) {
  Bounds b;
  for (int g = 0; g < model.groupCount; ++g)
    for (int i = 0; i < model.groups[g].triangleCount; ++i) {
      const ModelTriangle& tri = model.triangles[model.groups[g].triangleIndices[i]];
      for (int k = 0; k < 3; ++k) {
        const float* p = model.vertices[tri.vertexIndices[k]].position;
        b.lo = {std::min(b.lo.x, p[0]), std::min(b.lo.y, p[1]), std::min(b.lo.z, p[2])};
        b.hi = {std::max(b.hi.x, p[0]), std::max(b.hi.y, p[1]), std::max(b.hi.z, p[2])};
      }
    }
  return b;
}

int MarkerCount(const Model& markers, int group) {
  return group < markers.groupCount ? markers.groups[group].triangleCount : 0;
}

Vector3 MarkerCorner(const Model& markers, int group, int triangle, int corner) {
  if (triangle >= MarkerCount(markers, group)) return {};
  const ModelTriangle& tri = markers.triangles[markers.groups[group].triangleIndices[triangle]];
  const float* p = markers.vertices[tri.vertexIndices[corner]].position;
  return {p[0], p[1], p[2]};
}
