#include "world/racer_models.h"

#include "framework/globals.h"
#include "framework/random.h"
#include "world/catalogue.h"
#include "world/markers.h"
#include "world/model_files.h"
#include "world/truck_tuning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

Model* gRacerModels[kRacerModelKindCount][kRacerCount];

namespace {

// The marker groups of a truck's points model.
enum MarkerGroup : int {
  kMarkerAxles = 0,
  kMarkerLamps = 1,
  kMarkerExhaust0 = 2,
  kMarkerExhaust1 = 3,
  kMarkerBigVints = 4,
  kMarkerSmallVints = 5,
  kMarkerTurboVints = 6,
};

const char* const kRacerModelFiles[kRacerModelKindCount] = {"car.sbm",      "glass_car.sbm", "optika.sbm",
                                                            "wheel.sbm",    "splasher.sbm",  "points.sbm"};

void ResetCarMarkers(TruckLayout& layout) {
  layout = TruckLayout{};
  layout.frontAxleX = layout.rearAxleX = kDefaultAxleX;
  layout.frontWheelZ = layout.rearWheelZ = kDefaultWheelZ;
}

}  // namespace

int32_t BoundedCarIndex(int32_t index) { return std::clamp(index, 0, kCatalogueSize - 1); }

Matrix4 MarkerPlacement(const Model& model, int triangle) {
  const MarkerCorners corners = TriangleCorners(model, triangle);
  const neM3 axes = MarkerOrientation(corners);
  Matrix4 placement;
  for (int c = 0; c < 3; ++c) {
    placement.m[c * 4 + 0] = axes[c].x;
    placement.m[c * 4 + 1] = axes[c].y;
    placement.m[c * 4 + 2] = axes[c].z;
  }
  placement.m[12] = corners.p[1].x;
  placement.m[13] = corners.p[1].y;
  placement.m[14] = corners.p[1].z;
  return placement;
}

void TakeCarMarkers(Racer& car, const Model& points) {
  TruckLayout& layout = car.layout;
  ResetCarMarkers(layout);
  for (int g = 0; g < points.groupCount && g <= kMarkerTurboVints; ++g) {
    const ModelGroup& group = points.groups[g];
    for (int t = 0; t < group.triangleCount; ++t) {
      const int triangle = group.triangleIndices[t];
      const neV3 corner = TriangleCorners(points, triangle).p[1];
      if (g == kMarkerAxles) {
        layout.frontAxleX = layout.rearAxleX = corner.x;
        layout.frontWheelZ = layout.rearWheelZ = corner.z;
      } else if (g == kMarkerLamps) {
        if (t < kLampPointCount) layout.lampPoints[t] = corner;
      } else if (g == kMarkerExhaust0 || g == kMarkerExhaust1) {
        layout.exhaustPoints[g - kMarkerExhaust0] = corner;
      } else if (t < kPlacementCount) {
        layout.vintPlacements[g - kMarkerBigVints][t] = MarkerPlacement(points, triangle);
      }
    }
  }
}

namespace {

// What keeps a truck from using its points model, or nullptr. A marker is
// corner 1 of a triangle of the groups read; one body length from the
// centre on any axis is far outside any truck.
const char* CarMarkerFault(const Model& points) {
  const float reach = kTruckTuning.boxSize.x;
  for (int g = 0; g < points.groupCount && g <= kMarkerTurboVints; ++g)
    for (int t = 0; t < points.groups[g].triangleCount; ++t) {
      const neV3 corner = TriangleCorners(points, points.groups[g].triangleIndices[t]).p[1];
      if (!(std::fabs(corner.x) <= reach && std::fabs(corner.y) <= reach && std::fabs(corner.z) <= reach))
        return "a marker lies far outside the truck";
      const bool lastAxle = g == kMarkerAxles && t == points.groups[g].triangleCount - 1;
      if (lastAxle && !(corner.x > 0.0f)) return "the front axle is at or behind the centre";
    }
  return nullptr;
}

}  // namespace

void LoadRacerCar(int slot) {
  if (slot < 0 || slot >= kRacerCount) return;
  Racer& car = gRacers[slot];
  const int32_t wanted = BoundedCarIndex(slot == 0 ? gPlayerCarIndex : car.carKind);
  car.carKind = wanted;  // the wheel model reads its wheel sizes by it
  if (gBuiltCarIndex[slot] == wanted) return;
  for (int kind = 0; kind < kRacerModelKindCount; ++kind) FreeModel(gRacerModels[kind][slot]);
  const std::string folder = "base/cars/" + std::to_string(wanted) + "/";
  for (int kind = 0; kind < kRacerModelKindCount; ++kind) {
    const bool drawn = kind != kRacerModelPoints;
    gRacerModels[kind][slot] = ReadModel(folder + kRacerModelFiles[kind], drawn ? folder.c_str() : nullptr, drawn);
  }
  gBuiltCarIndex[slot] = wanted;
  Model*& points = gRacerModels[kRacerModelPoints][slot];
  if (const char* fault = CarMarkerFault(*points)) {
    std::fprintf(stderr, "%s%s: %s; the truck keeps its default points\n", folder.c_str(),
                 kRacerModelFiles[kRacerModelPoints], fault);
    FreeModel(points);
    points = new MilkshapeModel;
  }
  TakeCarMarkers(car, *points);
}

// Rivals on three different trucks, none of them the player's.
void ChooseRivals() {
  gRacers[0].carKind = BoundedCarIndex(gPlayerCarIndex);
  for (int k = 1; k < kRacerCount; ++k) {
    int kind = 0;
    bool taken = true;
    while (taken) {
      kind = Random() % kCatalogueSize;
      taken = false;
      for (int j = 0; j < k; ++j) taken = taken || gRacers[j].carKind == kind;
    }
    gRacers[k].carKind = kind;
    LoadRacerCar(k);
  }
}
