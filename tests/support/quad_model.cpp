#include "tests/support/quad_model.h"

Ms3dFile QuadModelFile(float x0, float y0, float x1, float y1) {
  Ms3dFile file;
  const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& c : corners) file.vertices.push_back({{c[0], c[1], 0}, -1});
  const uint16_t tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (const auto& t : tris) {
    Ms3dTriangle tri;
    for (int k = 0; k < 3; ++k) {
      tri.vertices[k] = t[k];
      tri.normals[k][2] = 1;
      tri.s[k] = st[t[k]][0];
      tri.t[k] = 1 - st[t[k]][1];  // stored counting down from the image's top
    }
    file.triangles.push_back(tri);
  }
  file.groups.push_back({"quad", {0, 1}, 0});
  Ms3dMaterial material;
  material.name = "paint";
  file.materials.push_back(material);
  return file;
}
