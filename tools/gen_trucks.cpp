#include "tools/gen_trucks.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/car_setup.h"
#include "framework/vector_math.h"
#include "tools/gen_tables.h"
#include "tools/mesh_builder.h"
#include "tools/truck_atlases.h"
#include "tools/truck_markers.h"
#include "tools/truck_shape.h"
#include "world/catalogue.h"

namespace {

// ---- Texture coordinates projected into the body atlas's cells -------------

float Along(float value, const float span[2]) { return (value - span[0]) / (span[1] - span[0]); }

constexpr AtlasLayout kBodyAtlas{kAtlasSide, kCellsPerRow, kCellMargin};

void CellCoord(int cell, float u, float v, float st[2]) { AtlasCoord(kBodyAtlas, cell, u, v, st); }

void ProjectedCoord(int cell, Projection projection, const Vector3& p, float st[2]) {
  switch (projection) {
    case kSide: return CellCoord(cell, Along(p.x, kSpanX), Along(p.y, kSpanY), st);
    case kTop: return CellCoord(cell, Along(p.x, kSpanX), Along(p.z, kSpanZ), st);
    case kEnd: return CellCoord(cell, Along(p.z, kSpanZ), Along(p.y, kSpanY), st);
  }
}

Projection ProjectionFor(const Vector3& n) {
  const float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  if (ay >= ax && ay >= az) return kTop;
  if (ax >= az) return kEnd;
  return kSide;
}

// ---- Building with painted faces ---------------------------------------------

Vector3 FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c) {
  return CrossProduct(b - a, c - a);
}

// The unit normal of a flat polygon (3 or 4 corners) pointing away from
// `inside`, and whether that is against the polygon's winding; false for a
// degenerate polygon.
bool OutwardNormal(const std::vector<Vector3>& p, const Vector3& inside, Vector3* n, bool* againstWinding) {
  *n = FaceNormal(p[0], p[1], p[2]);
  if (p.size() == 4 && n->Length() < 1e-6f) *n = FaceNormal(p[0], p[2], p[3]);
  if (n->Length() < 1e-6f) return false;
  Vector3 centre;
  for (const Vector3& q : p) centre += q * (1.0f / float(p.size()));
  *againstWinding = DotProduct(*n, centre - inside) < 0;
  if (*againstWinding) *n = n->Negate();
  n->Normalize();
  return true;
}

// Adds a flat polygon (3 or 4 corners) whose texture is projected from the
// truck's coordinates into `cell`; the winding is turned so that the
// normal points away from `inside`. Degenerate faces are skipped.
void PaintedFace(MeshBuilder& mesh, std::vector<Vector3> p, int cell, const Vector3& inside) {
  Vector3 n;
  bool againstWinding = false;
  if (!OutwardNormal(p, inside, &n, &againstWinding)) return;
  if (againstWinding) std::reverse(p.begin(), p.end());
  const Projection projection = ProjectionFor(n);
  auto triangle = [&](const Vector3& a, const Vector3& b, const Vector3& c) {
    if (FaceNormal(a, b, c).Length() < 1e-7f) return;
    const Vector3 q[3] = {a, b, c}, normals[3] = {n, n, n};
    float st[3][2];
    for (int k = 0; k < 3; ++k) ProjectedCoord(cell, projection, q[k], st[k]);
    mesh.Triangle(q, normals, st);
  };
  triangle(p[0], p[1], p[2]);
  if (p.size() == 4) triangle(p[0], p[2], p[3]);
}

// A box whose faces are painted by projection into `cell`.
void PaintedBox(MeshBuilder& mesh, const Vector3& lo, const Vector3& hi, int cell) {
  const Vector3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                        {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
  const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6}, {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
  const Vector3 centre = (lo + hi) * 0.5f;
  for (const auto& f : faces) PaintedFace(mesh, {c[f[0]], c[f[1]], c[f[2]], c[f[3]]}, cell, centre);
}

// A slanted or turned box: a unit cube placed by `placement`.
void PlacedBox(Ms3dFile* file, const Matrix4& placement, const Vector3& lo, const Vector3& hi, int cell) {
  BuildInCell(file, kBodyAtlas, cell, placement, [&](MeshBuilder& mesh) { mesh.Box(lo, hi); });
}

// A ring-shaped solid about the placement's z axis (see MeshBuilder::ThickRing).
void PlacedRing(Ms3dFile* file, const Matrix4& placement, float inner, float outer, float z0, float z1, int cell) {
  BuildInCell(file, kBodyAtlas, cell, placement, [&](MeshBuilder& mesh) { mesh.ThickRing(inner, outer, z0, z1, 20); });
}

// A tube from a to b (any direction) of the given radius.
void Tube(Ms3dFile* file, const Vector3& a, const Vector3& b, float radius, int cell, int segments = 8) {
  Vector3 d = b - a;
  const float length = d.Length();
  d.Normalize();
  // Turn the builder's z axis onto d: about the axis z × d.
  Vector3 axis = CrossProduct(Vector3(0, 0, 1), d);
  const float angle = std::acos(std::clamp(d.z, -1.0f, 1.0f)) / kDegreesToRadians;
  Matrix4 move, turn;
  move.SetTranslation(a);
  if (axis.Length() > 1e-5f) turn.SetRotationAxis(angle, axis);
  else if (d.z < 0) turn.SetRotationX(180);
  BuildInCell(file, kBodyAtlas, cell, move * turn,
              [&](MeshBuilder& mesh) { mesh.Cylinder(radius, 0, length, segments); });
}

// ---- The body -------------------------------------------------------------------

float WheelRestCentreY(int catalogueIndex) {
  return (gWheelSizes[catalogueIndex][4] - 1) / 2 - kRestWheelDrop;
}

std::vector<float> StationXs(const StyleShape& shape) {
  std::vector<float> xs;
  for (const ProfileKey& key : shape.keys) xs.push_back(key.x);
  for (float axle : {shape.axle, -shape.axle})
    for (int i = 0; i <= 12; ++i) xs.push_back(axle + kArchRadius * std::cos(NE_PI * float(i) / 12));
  for (float x = -kNoseX; x < kNoseX; x += 0.4f) xs.push_back(x);
  std::sort(xs.begin(), xs.end(), [](float a, float b) { return a > b; });
  std::vector<float> unique;
  for (float x : xs)
    if (x <= kNoseX && x >= -kNoseX && (unique.empty() || unique.back() - x > 0.02f)) unique.push_back(x);
  return unique;
}

// The cross-section's corners on the +z side, bottom to top; the last is
// the top's middle (z = 0).
std::vector<Vector3> SectionCorners(const StyleShape& shape, const Station& s) {
  const float w = shape.halfWidth;
  return {{s.x, s.bottom, w - 0.08f},
          {s.x, s.waist, w},
          {s.x, s.belt, w - 0.03f},
          {s.x, s.top, w - s.inset},
          {s.x, s.top + shape.crown, 0}};
}

Vector3 MirrorZ(const Vector3& p) { return {p.x, p.y, -p.z}; }

// The cell of each band of the section by the span it belongs to.
int UpperBandCell(SpanKind kind) { return kind == kCanvasSpan ? kCellCanvas : kCellBody; }
int GreenhouseCell(SpanKind kind) {
  if (IsCab(kind)) return kCellInterior;
  return kind == kCanvasSpan ? kCellCanvas : kCellBody;
}
int TopCell(SpanKind kind) {
  switch (kind) {
    case kHoodSpan: return kCellHood;
    case kRoofSpan: return kCellRoof;
    case kBoxSpan: return kCellRoof;
    case kDeckSpan: return kCellTrunkLid;
    case kCanvasSpan: return kCellCanvas;
    default: return kCellInterior;  // under the windscreen and the rear window
  }
}
bool TopIsGlass(SpanKind kind) { return kind == kWindscreenSpan || kind == kRearWindowSpan; }

struct BodyParts {
  Ms3dFile* body;
  Ms3dFile* glass;
};

constexpr float kGlassLift = 0.015f;  // glass stands this far off the body

// A pane of glass over a quad of the body, lifted off it outwards.
void GlassFace(Ms3dFile* glass, std::vector<Vector3> p, const Vector3& inside) {
  Vector3 n;
  bool againstWinding = false;
  if (!OutwardNormal(p, inside, &n, &againstWinding)) return;
  for (Vector3& q : p) q += n * kGlassLift;
  MeshBuilder mesh(glass);
  PaintedFace(mesh, p, 0, inside);
}

void BuildLoft(const StyleShape& shape, float wheelY, BodyParts parts) {
  MeshBuilder mesh(parts.body);
  const std::vector<float> xs = StationXs(shape);
  std::vector<Station> stations;
  for (float x : xs) stations.push_back(StationAt(shape, wheelY, x));
  for (size_t i = 0; i + 1 < stations.size(); ++i) {
    const Station& a = stations[i];
    const Station& b = stations[i + 1];
    // The span of this segment is the one its middle lies in.
    const SpanKind kind = StationAt(shape, wheelY, (a.x + b.x) / 2).kind;
    const std::vector<Vector3> ca = SectionCorners(shape, a), cb = SectionCorners(shape, b);
    const float midX = (a.x + b.x) / 2;
    const Vector3 inside(midX, (a.bottom + a.top) / 2, 0);
    const int cells[4] = {kCellSills, UpperBandCell(kind), GreenhouseCell(kind), TopCell(kind)};
    for (int band = 0; band < 4; ++band) {
      for (bool mirrored : {false, true}) {
        auto at = [&](const std::vector<Vector3>& c, int k) { return mirrored ? MirrorZ(c[k]) : c[k]; };
        const std::vector<Vector3> quad = {at(ca, band), at(cb, band), at(cb, band + 1), at(ca, band + 1)};
        PaintedFace(mesh, quad, cells[band], inside);
        const bool glass = (band == 2 && IsCab(kind)) || (band == 3 && TopIsGlass(kind));
        if (glass) GlassFace(parts.glass, quad, inside);
      }
    }
    // Underside.
    PaintedFace(mesh, {ca[0], cb[0], MirrorZ(cb[0]), MirrorZ(ca[0])}, kCellChassis, Vector3(midX, a.top, 0));
  }
  // End caps: the grille at the front, the tailgate at the rear.
  for (bool front : {true, false}) {
    const Station& s = front ? stations.front() : stations.back();
    const std::vector<Vector3> c = SectionCorners(shape, s);
    const Vector3 centre(s.x, (s.bottom + s.top) / 2, 0);
    const Vector3 inside(s.x + (front ? -1.0f : 1.0f), centre.y, 0);
    for (int k = 0; k < 4; ++k) {
      PaintedFace(mesh, {centre, c[k], c[k + 1]}, front ? kCellGrille : kCellTail, inside);
      PaintedFace(mesh, {centre, MirrorZ(c[k + 1]), MirrorZ(c[k])}, front ? kCellGrille : kCellTail, inside);
    }
    PaintedFace(mesh, {centre, MirrorZ(c[0]), c[0]}, front ? kCellGrille : kCellTail, inside);
  }
}

// Pillars between the cab's side windows and mirrors on their stalks: strips
// of body over the glass, so the windows read as windows.
void BuildPillarsAndMirrors(const StyleShape& shape, TruckStyle style, Ms3dFile* body) {
  MeshBuilder mesh(body);
  const float doorRear = shape.keys[4].x;
  std::vector<float> pillars = {doorRear + 0.05f};
  if (style == TruckStyle::kMagnum) pillars.push_back(doorRear / 2 + shape.keys[3].x / 2 - 0.6f);
  constexpr float kHalfWidth = 0.07f, kLift = 0.03f;
  for (float x : pillars)
    for (float side : {1.0f, -1.0f}) {
      const std::vector<Vector3> a = SectionCorners(shape, StationAt(shape, -0.4f, x + kHalfWidth));
      const std::vector<Vector3> b = SectionCorners(shape, StationAt(shape, -0.4f, x - kHalfWidth));
      auto out = [&](Vector3 p) { return Vector3(p.x, p.y, side * (p.z + kLift)); };
      PaintedFace(mesh, {out(a[2]), out(b[2]), out(b[3]), out(a[3])}, kCellBody, Vector3(x, a[2].y, 0));
    }
  const Station base = StationAt(shape, -0.4f, shape.keys[2].x - 0.15f);
  for (float side : {1.0f, -1.0f}) {
    const float z = side * (shape.halfWidth + 0.16f);
    PaintedBox(mesh, {base.x - 0.05f, base.belt + 0.05f, z - 0.11f}, {base.x + 0.05f, base.belt + 0.22f, z + 0.11f},
               kCellBody);
    PaintedBox(mesh, {base.x - 0.02f, base.belt + 0.02f, std::min(z, side * shape.halfWidth)},
               {base.x + 0.02f, base.belt + 0.08f, std::max(z, side * shape.halfWidth)}, kCellChassis);
  }
}

// Fender flares: a band around each wheel arch standing out of the side.
void BuildFlares(const StyleShape& shape, float wheelY, Ms3dFile* body) {
  MeshBuilder mesh(body);
  const float z0 = shape.halfWidth - 0.06f, z1 = shape.halfWidth + 0.08f;
  const float r0 = kArchRadius, r1 = kArchRadius + 0.1f;
  constexpr int kSteps = 10;
  for (float axle : {shape.axle, -shape.axle})
    for (float side : {1.0f, -1.0f}) {
      const Vector3 centre(axle, wheelY, 0);
      for (int i = 0; i < kSteps; ++i) {
        // The arc stops where it meets the sills.
        const float a0 = NE_PI * 0.08f + NE_PI * 0.84f * float(i) / kSteps;
        const float a1 = NE_PI * 0.08f + NE_PI * 0.84f * float(i + 1) / kSteps;
        auto point = [&](float a, float r, float z) {
          return Vector3(axle + r * std::cos(a), wheelY + r * std::sin(a), z * side);
        };
        // A band of the arc between the edge (ra, za) and the edge (rb, zb).
        auto band = [&](float ra, float za, float rb, float zb, const Vector3& inside) {
          PaintedFace(mesh, {point(a0, ra, za), point(a1, ra, za), point(a1, rb, zb), point(a0, rb, zb)}, kCellSills,
                      inside);
        };
        band(r0, z1, r1, z1, Vector3(axle, wheelY + 0.5f, 0));  // the face
        band(r1, z0, r1, z1, centre);                           // the outer rim
        band(r0, z0, r0, z1, Vector3(axle, wheelY + 5, z1 * side));  // the inner rim
      }
    }
}

float TopAt(const StyleShape& shape, float x) { return StationAt(shape, -0.4f, x).top + shape.crown; }

// What every truck carries: bumpers, frame rails, skid plate and exhausts.
void BuildRunningGear(const StyleShape& shape, Ms3dFile* body) {
  MeshBuilder mesh(body);
  const float w = shape.halfWidth;
  PaintedBox(mesh, {kNoseX - 0.25f, -0.5f, -w + 0.12f}, {kBumperX, -0.02f, w - 0.12f}, kCellFrontBumper);
  PaintedBox(mesh, {-kBumperX, -0.5f, -w + 0.12f}, {-kNoseX + 0.25f, -0.05f, w - 0.12f}, kCellRearBumper);
  for (float z : {0.5f, -0.5f})
    PaintedBox(mesh, {-kNoseX + 0.2f, -0.46f, z - 0.09f}, {kNoseX - 0.2f, -0.26f, z + 0.09f}, kCellChassis);
  PaintedBox(mesh, {shape.axle - 0.2f, -0.48f, -0.75f}, {kNoseX - 0.24f, -0.3f, 0.75f}, kCellChassis);
  for (float z : {0.9f, -0.9f}) Tube(body, {-kNoseX + 0.3f, -0.36f, z}, {-kBumperX - 0.05f, -0.36f, z}, 0.06f, kCellChrome);
}

// The extras of each style and class, and the spinning parts that sit on them.
void BuildExtras(TruckStyle style, int truckClass, const StyleShape& shape, Ms3dFile* body, TruckPoints* points) {
  MeshBuilder mesh(body);
  const float w = shape.halfWidth;
  const ProfileKey& windscreen = shape.keys[2];
  const float hoodX = (windscreen.x + shape.keys[1].x) / 2;
  // Hood scoop with the turbo's impeller in it.
  const float hoodTop = TopAt(shape, hoodX);
  {
    PlacedRing(body, Place({hoodX, hoodTop, 0}, 0, -90), 0.11f, 0.16f, -0.02f, 0.09f, kCellChrome);
    AddVint(points, 2, {hoodX, hoodTop + 0.06f, 0}, {0, 1, 0});
  }
  if (truckClass == 2) {
    const float x = hoodX - 0.5f;
    const float top = TopAt(shape, x);
    PlacedRing(body, Place({x, top, 0}, 0, -90), 0.11f, 0.16f, -0.02f, 0.09f, kCellChrome);
    AddVint(points, 2, {x, top + 0.06f, 0}, {0, 1, 0});
  }
  // Small cooling fans on the hood's sides.
  const int smallPairs = truckClass == 2 ? 2 : 1;
  for (int i = 0; i < smallPairs; ++i) {
    const float x = hoodX + 0.35f - 0.5f * float(i) + 0.25f;
    for (float z : {0.55f, -0.55f}) {
      const float top = TopAt(shape, x) - 0.02f;
      PaintedBox(mesh, {x - 0.16f, top - 0.03f, z - 0.16f}, {x + 0.16f, top + 0.03f, z + 0.16f}, kCellChassis);
      AddVint(points, 1, {x, top + 0.05f, z}, {0, 1, 0});
    }
  }
  // Big fans: on the deck, the wagon's roof or the box's top, looking up.
  const float fanX = style == TruckStyle::kMagnum ? -1.6f : -2.3f;
  const float fanTop = TopAt(shape, fanX);
  const int bigFans = truckClass == 0 ? 1 : 2;
  for (int i = 0; i < bigFans; ++i) {
    const float z = bigFans == 1 ? 0.0f : (i == 0 ? 0.5f : -0.5f);
    PlacedRing(body, Place({fanX, fanTop, z}, 0, -90), 0.24f, 0.29f, 0.0f, 0.1f, kCellChassis);
    AddVint(points, 0, {fanX, fanTop + 0.07f, z}, {0, 1, 0});
  }
  // Light bar over the windscreen for the faster classes.
  const ProfileKey& roofFront = shape.keys[3];
  if (truckClass > 0) {
    const float x = roofFront.x - 0.1f, y = TopAt(shape, x);
    PaintedBox(mesh, {x - 0.1f, y, -w + 0.4f}, {x + 0.1f, y + 0.12f, w - 0.4f}, kCellChrome);
  }
  // Style details.
  const float deckX = -2.0f;
  switch (style) {
    case TruckStyle::kSickle:
    case TruckStyle::kScrew: {
      // Roll bar behind the cab, a cage over the bed for the trophy truck.
      const float barX = shape.keys[5].x - 0.15f;
      const float deck = TopAt(shape, barX);
      const float barTop = style == TruckStyle::kScrew ? 1.72f : 1.66f;
      for (float z : {w - 0.2f, -w + 0.2f}) Tube(body, {barX, deck, z}, {barX, barTop, z * 0.85f}, 0.05f, kCellChrome);
      Tube(body, {barX, barTop, (w - 0.2f) * 0.85f}, {barX, barTop, -(w - 0.2f) * 0.85f}, 0.05f, kCellChrome);
      if (style == TruckStyle::kScrew)
        for (float z : {w - 0.2f, -w + 0.2f}) Tube(body, {barX, barTop, z * 0.85f}, {-kNoseX + 0.3f, TopAt(shape, -3.0f), z}, 0.045f, kCellChrome);
      // Spare tyre lying on the bed.
      const float y = TopAt(shape, deckX + 1.0f);
      PlacedRing(body, Place({deckX + 1.0f, y, 0}, 0, -90), 0.2f, 0.42f, 0.0f, 0.3f, kCellTyre);
      break;
    }
    case TruckStyle::kMagnum: {
      // Roof rack and a spare wheel on the tail door.
      const float roof = TopAt(shape, -1.0f);
      for (float z : {w - 0.35f, -w + 0.35f}) Tube(body, {0.3f, roof + 0.1f, z}, {-2.6f, roof + 0.1f, z}, 0.035f, kCellChrome);
      for (float x : {0.2f, -1.1f, -2.5f}) Tube(body, {x, roof + 0.1f, w - 0.35f}, {x, roof + 0.1f, -w + 0.35f}, 0.03f, kCellChrome);
      PlacedRing(body, Place({-kNoseX, 0.6f, 0}, 90, 0), 0.2f, 0.42f, -0.28f, 0.0f, kCellTyre);
      break;
    }
    case TruckStyle::kTornado: {
      // Ladder up the box's rear and rails on its top.
      for (float z : {0.35f, 0.75f}) Tube(body, {-kNoseX - 0.06f, -0.1f, z}, {-kNoseX - 0.06f, 1.7f, z}, 0.025f, kCellChrome);
      for (float y = 0.1f; y < 1.7f; y += 0.3f) Tube(body, {-kNoseX - 0.06f, y, 0.35f}, {-kNoseX - 0.06f, y, 0.75f}, 0.02f, kCellChrome);
      break;
    }
    case TruckStyle::kShark:
      break;
    case TruckStyle::kTrotyl: {
      // Snorkel beside the windscreen and jerrycans on the flank.
      const float x = windscreen.x - 0.1f;
      Tube(body, {x + 0.2f, 0.95f, w + 0.05f}, {x, 1.85f, w - 0.05f}, 0.07f, kCellChassis);
      for (float dx : {0.0f, 0.35f})
        PaintedBox(mesh, {-1.0f + dx, 0.55f, w}, {-0.72f + dx, 1.05f, w + 0.12f}, kCellChassis);
      break;
    }
  }
  // Rear wing on the sports trucks and every RS.
  if (style == TruckStyle::kShark || truckClass == 2) {
    const float x = -kNoseX + 0.35f;
    const float y = TopAt(shape, x);
    if (style != TruckStyle::kTornado && style != TruckStyle::kMagnum && style != TruckStyle::kTrotyl) {
      for (float z : {0.8f, -0.8f}) PaintedBox(mesh, {x - 0.05f, y, z - 0.04f}, {x + 0.05f, y + 0.32f, z + 0.04f}, kCellChassis);
      Matrix4 tilt;  // the wing's nose down
      tilt.SetRotationZ(8);
      PlacedBox(body, Place({x, y + 0.34f, 0}) * tilt, {-0.22f, -0.025f, -w + 0.1f}, {0.22f, 0.025f, w - 0.1f},
                kCellStripe);
    }
  }
  // Lamps and exhaust points of every truck.
  const Station front = StationAt(shape, -0.4f, kNoseX);
  const Station rear = StationAt(shape, -0.4f, -kNoseX);
  points->headLamp = {kNoseX + 0.02f, std::max(front.top - 0.2f, 0.2f), w - 0.38f};
  const float tailY = std::min(rear.belt, 1.0f) - 0.12f;
  points->tailLamp = {-kNoseX - 0.02f, tailY, w - 0.2f};
  points->brakeLamp = {-kNoseX - 0.02f, tailY - 0.2f, w - 0.2f};
  points->reverseLamp = {-kNoseX - 0.02f, tailY - 0.2f, w - 0.45f};
  points->exhaustSmoke = {-kBumperX - 0.05f, -0.36f, 0.9f};
  points->exhaustFire = {-kBumperX - 0.02f, -0.36f, 0.9f};
}

// ---- The lamps, the glass, the wheel and the mud flaps ---------------------------

enum LampCell { kLampHead, kLampTail, kLampBrake, kLampReverse };

// The lamp and wheel atlases: 2 × 2 cells.
constexpr AtlasLayout kQuarterAtlas{kLampAtlasSide, 2, 3};

void LampBox(Ms3dFile* lamps, const Vector3& centre, const Vector3& half, int cell) {
  for (float side : {1.0f, -1.0f}) {
    const Vector3 c(centre.x, centre.y, centre.z * side);
    BuildInCell(lamps, kQuarterAtlas, cell, Matrix4(), [&](MeshBuilder& mesh) { mesh.Box(c - half, c + half); });
  }
}

Ms3dMaterial TexturedMaterial(const std::string& stem, float shininess) {
  Ms3dMaterial material;
  material.name = stem;
  material.texture = stem + ".tga";
  material.alphaMap = stem + "_n.tga";
  material.shininess = shininess;
  material.specular[0] = material.specular[1] = material.specular[2] = 0.6f;
  return material;
}

Ms3dFile MakeLamps(const TruckPoints& points) {
  Ms3dFile lamps;
  lamps.materials.push_back(TexturedMaterial("optika", 64));
  lamps.groups.push_back({"lit", {}, 0});
  LampBox(&lamps, points.headLamp, {0.03f, 0.1f, 0.17f}, kLampHead);
  LampBox(&lamps, points.tailLamp, {0.03f, 0.08f, 0.12f}, kLampTail);
  lamps.groups.push_back({"brake", {}, 0});
  LampBox(&lamps, points.brakeLamp, {0.03f, 0.08f, 0.12f}, kLampBrake);
  lamps.groups.push_back({"reverse", {}, 0});
  LampBox(&lamps, points.reverseLamp, {0.03f, 0.07f, 0.1f}, kLampReverse);
  return lamps;
}


Ms3dFile MakeWheel() {
  Ms3dFile wheel;
  wheel.materials.push_back(TexturedMaterial("wheel", 12));
  wheel.groups.push_back({"wheel", {}, 0});
  constexpr int kSegments = 32;
  const float zw = kWheelHalfWidth;
  // Wheel atlas: tread, sidewall, rim, hub in 2 × 2 cells.
  enum { kTread, kSidewall, kRim, kHub };
  auto in = [&](int cell, auto build) { BuildInCell(&wheel, kQuarterAtlas, cell, Matrix4(), build); };
  in(kTread, [&](MeshBuilder& mesh) {
    mesh.TubeSide(0.46f, -zw, zw, kSegments);
    // Tread blocks in two staggered rows, their outer faces at the radius 0.5.
    constexpr int kBlocks = 20;
    for (int row = 0; row < 2; ++row)
      for (int b = 0; b < kBlocks; ++b) {
        const float angle = 360.0f * (float(b) + 0.5f * float(row)) / kBlocks;
        Matrix4 turn, move;
        turn.SetRotationZ(angle);
        move.SetTranslation({0.477f, 0, row == 0 ? zw * 0.5f : -zw * 0.5f});
        mesh.SetPlacement(turn * move);
        mesh.Box({-0.021f, -0.045f, -zw * 0.45f}, {0.021f, 0.045f, zw * 0.45f});
      }
  });
  in(kSidewall, [&](MeshBuilder& mesh) {
    mesh.Ring(0.3f, 0.46f, zw, true, kSegments);
    mesh.Ring(0.3f, 0.46f, -zw, false, kSegments);
  });
  in(kRim, [&](MeshBuilder& mesh) {
    mesh.TubeSide(0.3f, -zw, zw, kSegments, true);
    mesh.Ring(0.1f, 0.3f, zw * 0.5f, true, kSegments);
    mesh.Ring(0.1f, 0.3f, -zw * 0.5f, false, kSegments);
  });
  in(kHub, [&](MeshBuilder& mesh) {
    mesh.Cylinder(0.1f, -zw * 0.5f, zw * 0.8f, 12);
    for (int bolt = 0; bolt < 6; ++bolt) {
      const float a = 2 * NE_PI * float(bolt) / 6;
      mesh.SetPlacement(Place({0.17f * std::cos(a), 0.17f * std::sin(a), 0}));
      mesh.Cylinder(0.022f, zw * 0.5f, zw * 0.62f, 6);
    }
  });
  return wheel;
}

Ms3dFile MakeSplasher(const StyleShape& shape) {
  Ms3dFile flaps;
  flaps.materials.push_back(TexturedMaterial("splasher", 4));
  flaps.groups.push_back({"flaps", {}, 0});
  MeshBuilder mesh(&flaps);
  for (float axle : {shape.axle, -shape.axle})
    for (float side : {1.0f, -1.0f}) {
      const float x = axle - kArchRadius - 0.02f;
      const float z = shape.halfTrack * side;
      mesh.Box({x - 0.015f, -0.72f, z - 0.24f}, {x + 0.015f, 0.0f, z + 0.24f});
    }
  return flaps;
}

Ms3dFile MakeGlassModel() {
  Ms3dFile glass;
  Ms3dMaterial material = TexturedMaterial("glass", 96);
  material.transparency = 0.5f;
  glass.materials.push_back(material);
  glass.groups.push_back({"glass", {}, 0});
  return glass;
}
}  // namespace

TruckModels MakeTruckModels(int catalogueIndex) {
  const TruckStyle style = StyleOfTruck(catalogueIndex);
  const StyleShape shape = ShapeOf(style);
  const float wheelY = WheelRestCentreY(catalogueIndex);
  TruckModels models;
  models.body.materials.push_back(TexturedMaterial("car", 48));
  models.body.groups.push_back({"body", {}, 0});
  models.glass = MakeGlassModel();
  BuildLoft(shape, wheelY, {&models.body, &models.glass});
  BuildFlares(shape, wheelY, &models.body);
  BuildPillarsAndMirrors(shape, style, &models.body);
  BuildRunningGear(shape, &models.body);
  TruckPoints points;
  BuildExtras(style, ClassOfTruck(catalogueIndex), shape, &models.body, &points);
  models.lamps = MakeLamps(points);
  models.wheel = MakeWheel();
  models.splasher = MakeSplasher(shape);
  models.markers = MakeMarkers(shape, wheelY, points);
  return models;
}

bool GenerateTrucks(const std::string& base) {
  InitCarTables();
  MakeShippedCatalogue();
  bool ok = true;
  for (int i = 0; i < kCatalogueSize; ++i) {
    const std::string folder = base + "/cars/" + std::to_string(i) + "/";
    const TruckModels models = MakeTruckModels(i);
    ok &= WriteMs3d(folder + "car.sbm", models.body);
    ok &= WriteMs3d(folder + "glass_car.sbm", models.glass);
    ok &= WriteMs3d(folder + "optika.sbm", models.lamps);
    ok &= WriteMs3d(folder + "wheel.sbm", models.wheel);
    ok &= WriteMs3d(folder + "splasher.sbm", models.splasher);
    ok &= WriteMs3d(folder + "points.sbm", models.markers);
    ok &= WriteTruckTextures(folder, i);
  }
  return ok;
}