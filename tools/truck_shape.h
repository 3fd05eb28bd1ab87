// The body styles' side profiles and the cells of the body's texture
// atlas: what the trucks' model builder and their atlas painter share.
// Truck frame as in tools/gen_trucks.h.
#pragma once

#include <vector>

// The six body styles: one per model name of the catalogue, each sold in
// the three classes ST, GTX and RS.
enum class TruckStyle { kSickle, kMagnum, kScrew, kTornado, kShark, kTrotyl };
inline constexpr int kTruckStyleCount = 6;
TruckStyle StyleOfTruck(int catalogueIndex);
// 0 ST, 1 GTX, 2 RS.
int ClassOfTruck(int catalogueIndex);

// What the body is between one profile key and the next.
enum SpanKind { kHoodSpan, kWindscreenSpan, kRoofSpan, kRearWindowSpan, kDeckSpan, kBoxSpan, kCanvasSpan };

// One station of the side profile, front to rear: the top of the body,
// its belt line and how far the roof edge sits in from the widest side.
struct ProfileKey {
  float x, top, belt, inset;
  SpanKind toNext;
};

struct StyleShape {
  float axle;       // axle distance ahead of and behind the centre
  float halfTrack;  // wheel centre to the truck's middle plane
  float halfWidth;  // widest half-width of the body
  float waistY;     // the crease between sills and doors
  float crown;      // rise of the top's middle over its edges
  std::vector<ProfileKey> keys;
};

// The front of every body is at +kNoseX and its rear at -kNoseX; the
// bumpers reach kBumperX.
inline constexpr float kNoseX = 3.2f;
inline constexpr float kBumperX = 3.28f;
inline constexpr float kSillBottomY = -0.3f;      // body bottom between the wheels
inline constexpr float kOverhangBottomY = -0.2f;  // body bottom ahead and behind them
inline constexpr float kArchRadius = 0.8f;        // wheel arch, about the wheel's rest centre
inline constexpr float kWheelHalfWidth = 0.21f;   // wheel model, before its scale

StyleShape ShapeOf(TruckStyle style);

// A cross-section of the body at x.
struct Station {
  float x, bottom, waist, belt, top, inset;
  SpanKind kind;  // of the span from this station to the next
};

// The section at x, its bottom raised into arches over wheels whose rest
// centre is at wheelY.
Station StationAt(const StyleShape& shape, float wheelY, float x);

// The windscreen, the roof and the rear window: the cab's spans.
bool IsCab(SpanKind kind);

// car.tga is 4 × 4 cells; a paint zone's cell takes that zone's colour.
inline constexpr int kAtlasSide = 512;
inline constexpr int kCellsPerRow = 4;
inline constexpr int kCellSide = kAtlasSide / kCellsPerRow;
inline constexpr int kCellMargin = 3;  // pixels kept clear around a cell's picture

enum BodyCell {
  kCellBody, kCellHood, kCellFrontBumper, kCellRearBumper, kCellSills, kCellRoof, kCellTrunkLid,
  kCellInterior, kCellGrille, kCellChassis, kCellChrome, kCellTyre, kCellCanvas, kCellTail,
  kCellStripe
};

// Paint zones in the catalogue's order.
enum { kZoneBody, kZoneHood, kZoneFrontBumper, kZoneRearBumper, kZoneSills, kZoneRoof, kZoneTrunkLid };

// Truck coordinates that the three projections spread over a cell.
inline constexpr float kSpanX[2] = {-3.4f, 3.4f};
inline constexpr float kSpanY[2] = {-0.6f, 1.9f};
inline constexpr float kSpanZ[2] = {-1.75f, 1.75f};

enum Projection { kSide, kTop, kEnd };

// The lamp and wheel atlases' side, in pixels.
inline constexpr int kLampAtlasSide = 128;
