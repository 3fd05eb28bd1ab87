#include "world/markers.h"

#include "world/racer.h"

MarkerCorners TriangleCorners(const Model& model, int triangle) {
  MarkerCorners corners;
  for (int k = 0; k < 3; ++k) {
    const float* p = model.vertices[model.triangles[triangle].vertexIndices[k]].position;
    corners.p[k] = neMakeV3(p[0], p[1], p[2]);
  }
  return corners;
}

neM3 MarkerOrientation(const MarkerCorners& corners) {
  const neV3 x = SafeUnit(corners.p[0] - corners.p[1]);
  const neV3 y = SafeUnit(corners.p[2] - corners.p[1]);
  neM3 orientation;
  orientation[0] = x;
  orientation[1] = y;
  orientation[2] = SafeUnit(x.Cross(y));
  return orientation;
}
