#include "tools/truck_shape.h"

#include "framework/settings.h"  // kCatalogueSize

#include <algorithm>
#include <cmath>

namespace {

// Body bottom at x: the sills, raised into arches over the wheels.
float BottomAt(const StyleShape& shape, float wheelY, float x) {
  float bottom = std::fabs(x) < shape.axle ? kSillBottomY : kOverhangBottomY;
  for (float axle : {shape.axle, -shape.axle}) {
    const float d = x - axle;
    if (std::fabs(d) < kArchRadius) bottom = std::max(bottom, wheelY + std::sqrt(kArchRadius * kArchRadius - d * d));
  }
  return bottom;
}

}  // namespace

TruckStyle StyleOfTruck(int catalogueIndex) {
  // The catalogue's model names in index order, by style.
  static const TruckStyle kStyles[kCatalogueSize] = {
      TruckStyle::kSickle, TruckStyle::kMagnum, TruckStyle::kScrew,  TruckStyle::kTornado,
      TruckStyle::kShark,  TruckStyle::kTrotyl, TruckStyle::kScrew,  TruckStyle::kSickle,
      TruckStyle::kShark,  TruckStyle::kTornado, TruckStyle::kSickle, TruckStyle::kMagnum,
      TruckStyle::kTrotyl, TruckStyle::kScrew,  TruckStyle::kTornado, TruckStyle::kShark,
      TruckStyle::kTrotyl, TruckStyle::kMagnum};
  return kStyles[std::clamp(catalogueIndex, 0, kCatalogueSize - 1)];
}

int ClassOfTruck(int catalogueIndex) {
  // By the catalogue's names: ST, GTX or RS.
  static const int kClasses[kCatalogueSize] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 1, 1, 2, 2, 2, 2, 2};
  return kClasses[std::clamp(catalogueIndex, 0, kCatalogueSize - 1)];
}

StyleShape ShapeOf(TruckStyle style) {
  switch (style) {
    case TruckStyle::kSickle:  // pickup with an open-look bed under a cover
      return {2.15f, 1.42f, 1.5f, 0.45f, 0.04f,
              {{3.2f, 0.72f, 0.6f, 0.12f, kHoodSpan},
               {2.85f, 0.9f, 0.78f, 0.14f, kHoodSpan},
               {1.2f, 1.02f, 0.92f, 0.16f, kWindscreenSpan},
               {0.45f, 1.62f, 1.0f, 0.32f, kRoofSpan},
               {-0.55f, 1.62f, 1.0f, 0.32f, kRearWindowSpan},
               {-0.72f, 1.08f, 1.0f, 0.1f, kDeckSpan},
               {-3.2f, 1.05f, 0.95f, 0.08f, kDeckSpan}}};
    case TruckStyle::kMagnum:  // long-roofed wagon
      return {2.2f, 1.43f, 1.52f, 0.45f, 0.05f,
              {{3.2f, 0.75f, 0.62f, 0.12f, kHoodSpan},
               {2.85f, 0.94f, 0.8f, 0.14f, kHoodSpan},
               {1.35f, 1.04f, 0.95f, 0.16f, kWindscreenSpan},
               {0.6f, 1.66f, 1.02f, 0.3f, kRoofSpan},
               {-2.85f, 1.66f, 1.02f, 0.28f, kRearWindowSpan},
               {-3.2f, 1.2f, 1.0f, 0.2f, kDeckSpan}}};
    case TruckStyle::kScrew:  // trophy truck: long hood, low cab, caged bed
      return {2.3f, 1.44f, 1.48f, 0.35f, 0.05f,
              {{3.2f, 0.55f, 0.45f, 0.2f, kHoodSpan},
               {2.8f, 0.78f, 0.68f, 0.16f, kHoodSpan},
               {0.65f, 0.9f, 0.82f, 0.18f, kWindscreenSpan},
               {0.0f, 1.5f, 0.9f, 0.34f, kRoofSpan},
               {-0.85f, 1.5f, 0.9f, 0.34f, kRearWindowSpan},
               {-1.05f, 0.92f, 0.86f, 0.12f, kDeckSpan},
               {-3.2f, 0.9f, 0.8f, 0.12f, kDeckSpan}}};
    case TruckStyle::kTornado:  // cab-forward box truck
      return {2.05f, 1.42f, 1.5f, 0.5f, 0.03f,
              {{3.2f, 0.85f, 0.72f, 0.1f, kHoodSpan},
               {3.0f, 0.95f, 0.88f, 0.12f, kWindscreenSpan},
               {2.4f, 1.58f, 0.95f, 0.22f, kRoofSpan},
               {1.1f, 1.58f, 0.95f, 0.22f, kRoofSpan},
               {0.95f, 1.7f, 1.6f, 0.04f, kBoxSpan},
               {-3.2f, 1.7f, 1.6f, 0.04f, kBoxSpan}}};
    case TruckStyle::kShark:  // low wedge-nosed sports pickup
      return {2.25f, 1.43f, 1.46f, 0.4f, 0.04f,
              {{3.2f, 0.45f, 0.35f, 0.2f, kHoodSpan},
               {2.7f, 0.7f, 0.6f, 0.16f, kHoodSpan},
               {0.95f, 0.98f, 0.88f, 0.18f, kWindscreenSpan},
               {0.1f, 1.52f, 0.95f, 0.36f, kRoofSpan},
               {-0.6f, 1.52f, 0.95f, 0.36f, kRearWindowSpan},
               {-1.6f, 1.02f, 0.95f, 0.14f, kDeckSpan},
               {-3.2f, 1.0f, 0.9f, 0.12f, kDeckSpan}}};
    case TruckStyle::kTrotyl:  // square army truck with a canvas-covered load
      return {2.1f, 1.42f, 1.52f, 0.5f, 0.02f,
              {{3.2f, 0.98f, 0.9f, 0.06f, kHoodSpan},
               {2.95f, 1.05f, 0.97f, 0.06f, kHoodSpan},
               {1.55f, 1.08f, 1.0f, 0.08f, kWindscreenSpan},
               {1.3f, 1.7f, 1.02f, 0.12f, kRoofSpan},
               {0.35f, 1.7f, 1.02f, 0.12f, kRoofSpan},
               {0.2f, 1.62f, 1.0f, 0.1f, kCanvasSpan},
               {-3.2f, 1.62f, 1.0f, 0.1f, kCanvasSpan}}};
  }
  return {};
}

Station StationAt(const StyleShape& shape, float wheelY, float x) {
  const std::vector<ProfileKey>& keys = shape.keys;
  size_t k = 0;
  while (k + 2 < keys.size() && x < keys[k + 1].x) ++k;
  const ProfileKey& a = keys[k];
  const ProfileKey& b = keys[k + 1];
  const float t = std::clamp((a.x - x) / (a.x - b.x), 0.0f, 1.0f);
  Station s;
  s.x = x;
  s.top = a.top + (b.top - a.top) * t;
  s.belt = a.belt + (b.belt - a.belt) * t;
  s.inset = a.inset + (b.inset - a.inset) * t;
  s.kind = a.toNext;
  s.bottom = BottomAt(shape, wheelY, x);
  s.waist = std::clamp(shape.waistY, s.bottom + 0.06f, s.belt - 0.04f);
  return s;
}

bool IsCab(SpanKind kind) { return kind == kWindscreenSpan || kind == kRoofSpan || kind == kRearWindowSpan; }
