#include "tests/tools/model_geometry.h"

#include <algorithm>
#include <cmath>

#include "framework/texture.h"

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

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

std::string CheckDrawnModel(const std::string& folder, const std::string& file) {
  MilkshapeModel model;
  if (!model.LoadFromFile((folder + file).c_str())) return "refused by the model reader";
  if (model.triangleCount == 0 || model.materialCount == 0) return "no triangles or no material";
  model.BuildTangentSpace();
  for (int c = 0; c < model.CornerCount() * 3; ++c)
    if (!std::isfinite(model.tangents[c]) || !std::isfinite(model.binormals[c])) return "a tangent is not a number";
  for (int m = 0; m < model.materialCount; ++m)
    for (const std::string name : {model.materials[m].textureName, model.materials[m].alphaMapName}) {
      if (name.size() < 5 || name.substr(name.size() - 4) != ".tga") return name + " does not end in .tga";
      for (char c : name)
        if (c >= 'A' && c <= 'Z') return name + " is not lower case";
      DecodedImage image;
      if (!ReadTgaImage((folder + name).c_str(), &image)) return name + " is refused by the TGA reader";
      if (!IsPowerOfTwo(image.width) || !IsPowerOfTwo(image.height)) return name + " is not a power of two";
    }
  return {};
}
