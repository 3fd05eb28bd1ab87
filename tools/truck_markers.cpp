#include "tools/truck_markers.h"

#include "tools/mesh_builder.h"

namespace {

// The marker triangle of a point: corner 1 at the point, corner 0 along x
// and corner 2 along the axis (right-angled).
void Marker(Ms3dFile* markers, const Vector3& at, const Vector3& x, const Vector3& axis) {
  MeshBuilder mesh(markers);
  const Vector3 p[3] = {at + x * 0.1f, at, at + axis * 0.1f};
  const Vector3 n = CrossProduct(x, axis);
  const Vector3 normals[3] = {n, n, n};
  const float st[3][2] = {{1, 0}, {0, 0}, {0, 1}};
  mesh.Triangle(p, normals, st);
}

}  // namespace

void AddVint(TruckPoints* points, int kind, const Vector3& at, const Vector3& axis) {
  std::vector<Vector3>* lists[3] = {&points->bigVints, &points->smallVints, &points->turboVints};
  lists[kind]->push_back(at);
  points->vintAxes[kind].push_back(axis);
}

Ms3dFile MakeMarkers(const StyleShape& shape, float wheelY, const TruckPoints& points) {
  Ms3dFile markers;
  const Vector3 forward(1, 0, 0), up(0, 1, 0), back(-1, 0, 0);
  const char* names[kMarkerGroupCount] = {"axles", "lamps", "exhaust1", "exhaust2", "big_vint", "small_vint", "turbo_vint"};
  // Each group is built while it is the last one, where the builder adds.
  markers.groups.push_back({names[kMarkerAxle], {}, -1});
  Marker(&markers, {shape.axle, wheelY, shape.halfTrack}, forward, up);
  markers.groups.push_back({names[kMarkerLamps], {}, -1});
  Marker(&markers, points.headLamp, forward, up);
  Marker(&markers, points.tailLamp, back, up);
  Marker(&markers, points.brakeLamp, back, up);
  Marker(&markers, points.reverseLamp, back, up);
  markers.groups.push_back({names[kMarkerExhaust1], {}, -1});
  Marker(&markers, points.exhaustSmoke, back, up);
  markers.groups.push_back({names[kMarkerExhaust2], {}, -1});
  Marker(&markers, points.exhaustFire, back, up);
  const std::vector<Vector3>* vints[3] = {&points.bigVints, &points.smallVints, &points.turboVints};
  for (int kind = 0; kind < 3; ++kind) {
    markers.groups.push_back({names[kMarkerBigVint + kind], {}, -1});
    for (size_t i = 0; i < vints[kind]->size() && i < size_t(kMaxVintMarkers); ++i)
      Marker(&markers, (*vints[kind])[i], forward, points.vintAxes[kind][i]);
  }
  return markers;
}
