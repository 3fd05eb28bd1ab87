#include "tools/gen_race_art.h"

#include "framework/texture_roles.h"
#include "tools/art_canvas.h"

namespace {

constexpr Colour kPaper{0.93, 0.91, 0.85};
constexpr Colour kCardStock{0.40, 0.42, 0.45};
constexpr Colour kAmber{1.0, 0.62, 0.08};
constexpr Colour kGaugeDark{0.07, 0.08, 0.09};
constexpr Colour kBronze{0.72, 0.45, 0.2};
constexpr Colour kSilver{0.75, 0.77, 0.8};
constexpr Colour kGold{0.95, 0.75, 0.15};

// A steel board with a lighter rim over the box (x0, y0)-(x1, y1) of the
// picture: the boards behind the competition pyramid and the race cards.
void PaintBoard(Canvas& c, double x0, double y0, double x1, double y1) {
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, w = (x1 - x0) / 2, h = (y1 - y0) / 2;
  c.Paint(Box(cx, cy, w, h, 26), [](double x, double y) {
    return Mix(kDarkSteel, kSteel, 0.35 + 0.25 * std::sin(y * 0.02) + Grain(int(x), int(y)) * 0.12);
  }, 0.92);
  c.Paint([=](double x, double y) { return std::max(Box(cx, cy, w, h, 26)(x, y), -Box(cx, cy, w - 8, h - 8, 20)(x, y)); },
          Colour{0.55, 0.56, 0.58});
  for (double x = x0 + 18; x <= x1 - 18; x += 48) {
    for (double y : {y0 + 18, y1 - 18}) c.Paint(Disc(x, y, 4), Colour{0.62, 0.62, 0.6});
  }
}

// tex10: the competition board: steel with a pyramid of three steps on
// which the six tiles stand (the board quad spans 720 x 480 frame units
// from (40, 70) of the board frame).
RasterImage CompetitionBoard() {
  Canvas c(512, 512, true);
  PaintBoard(c, 4, 4, 508, 508);
  auto at = [](double x, double y) { return std::pair{(x - 40) * 512 / 720.0, (y - 70) * 512 / 480.0}; };
  const double rows[3][3] = {{173, 20, 700}, {324, 140, 580}, {475, 265, 455}};  // y, x from, x to
  for (const auto& row : rows) {
    const auto [x0, y0] = at(row[1], row[0] - 58);
    const auto [x1, y1] = at(row[2], row[0] + 36);
    c.Paint(Box((x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, 10), Colour{0.2, 0.21, 0.23}, 0.85);
    c.Paint(Box((x0 + x1) / 2, y0 + 2, (x1 - x0) / 2, 2), kAmber, 0.9);
  }
  return c.ToImage();
}

// tex12: the minimap's truck markers in a 2 x 2 atlas: the upper row the
// markers (left the player's arrow, right an opponent's diamond), the lower
// row the same shapes in white for the shine pass.
RasterImage TruckMarkers() {
  Canvas c(128, 128, true);
  for (int shine = 0; shine < 2; ++shine) {
    const double y = shine ? 32 : 96;
    const Colour player = shine ? kWhite : Colour{0.95, 0.2, 0.1};
    const Colour rival = shine ? kWhite : Colour{0.2, 0.55, 0.95};
    c.Paint(Convex({{32, y + 26}, {10, y - 24}, {32, y - 12}, {54, y - 24}}), kBlack, shine ? 0.0 : 0.8);
    c.Paint(Convex({{32, y + 22}, {14, y - 20}, {32, y - 9}, {50, y - 20}}), player);
    c.Paint(Convex({{96, y + 24}, {72, y}, {96, y - 24}, {120, y}}), kBlack, shine ? 0.0 : 0.8);
    c.Paint(Convex({{96, y + 19}, {77, y}, {96, y - 19}, {115, y}}), rival);
  }
  return c.ToImage();
}

// tex15: the minimap disc: the route's colour, and an alpha that keeps the
// route inside a soft-edged circle.
RasterImage MiniMapDisc() {
  Canvas c(128, 128, true);
  c.Paint(Disc(64, 64, 62), [](double x, double y) {
    const double r = std::hypot(x - 64, y - 64) / 62;
    return Mix(Colour{1.0, 0.9, 0.45}, kAmber, r);
  });
  c.Paint(Ring(64, 64, 56, 63), Colour{1.0, 0.75, 0.3}, 0.6);
  return c.ToImage();
}

// tex16: the profile card: steel-grey card stock with a thin dark band and a
// clip at the top, above the first line of text (the card spans 280 units
// of height, its texts from 52 units below its top edge).
RasterImage ProfileCard() {
  Canvas c(256, 512, false);
  c.Paint(Box(128, 256, 128, 256), [](double x, double y) {
    return Mix(kCardStock, Colour{0.34, 0.36, 0.39}, 0.5 + Grain(int(x), int(y)) * 0.3 + 0.2 * (y / 512));
  });
  c.Paint(Box(128, 500, 128, 12), kDarkSteel);
  c.Paint(Box(128, 487, 128, 2), kSignalRed);
  c.Paint(Box(128, 503, 30, 9, 4), Colour{0.75, 0.75, 0.77});
  for (int k = 0; k < 11; ++k) c.Paint(Box(128, 30 + 40 * k, 110, 0.6), Colour{0.47, 0.49, 0.52});
  return c.ToImage();
}

// tex23: the race board: steel with four sunken plates behind the race
// cards. The board quad spans 720 x 480 frame units from (190, 60); the
// steel stops short of the frame's right edge and of the heading above.
RasterImage RaceBoard() {
  Canvas c(512, 512, true);
  auto at = [](double x, double y) { return std::pair{(x - 190) * 512 / 720.0, (y - 60) * 512 / 480.0}; };
  const auto [bx0, by0] = at(205, 75);
  const auto [bx1, by1] = at(790, 505);
  PaintBoard(c, bx0, by0, bx1, by1);
  const double anchors[4][2] = {{329, 245}, {579, 245}, {329, 395}, {579, 395}};
  for (const auto& anchor : anchors) {
    const auto [x0, y0] = at(anchor[0] - 14, anchor[1] - 66);
    const auto [x1, y1] = at(anchor[0] + 228, anchor[1] + 20);
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hw = (x1 - x0) / 2, hh = (y1 - y0) / 2;
    c.Paint(Box(cx + 3, cy - 3, hw, hh, 10), kBlack, 0.5);
    c.Paint(Box(cx, cy, hw, hh, 10), [=](double, double y) { return Mix(Colour{0.16, 0.17, 0.19}, Colour{0.27, 0.28, 0.3}, (y - y0) / (y1 - y0)); });
    c.Paint(Box(x0 + 4, cy, 3, hh - 8), kAmber);
  }
  return c.ToImage();
}

// A round rubber stamp with a word, turned a little, in one colour.
void PaintStamp(Canvas& c, double cx, const char* word, const char* small, Colour colour) {
  c.Paint(Ring(cx, 64, 46, 56), colour, 0.9);
  c.Paint(Ring(cx, 64, 38, 41), colour, 0.9);
  c.Text(word, cx, 48, 44, colour, 0.95);
  c.Text(small, cx, 22, 14, colour, 0.95);
}

// tex26: four stamps side by side: 1st, 2nd and 3rd place, and the lock.
RasterImage PlaceStamps() {
  Canvas c(512, 128, true);
  PaintStamp(c, 64, "1", "WINNER", kGold);
  PaintStamp(c, 192, "2", "SECOND", kSilver);
  PaintStamp(c, 320, "3", "THIRD", kBronze);
  c.Paint(Box(448, 64, 58, 30, 6), kSignalRed, 0.9);
  c.Paint(Box(448, 64, 52, 24, 4), kWhite, 0.15);
  c.Text("LOCKED", 448, 56, 22, kWhite);
  return c.ToImage();
}

// tex27: the route dot, a soft white spot.
RasterImage RouteDot() {
  Canvas c(32, 32, true);
  for (int k = 0; k < 8; ++k) c.Paint(Disc(16, 16, 15 - 1.8 * k), kWhite, 0.25);
  return c.ToImage();
}

// A needle pointing up from its pivot at `pivot` (a share of the height):
// a tapered blade in `colour` with a dark hub.
RasterImage Needle(double pivot, Colour colour) {
  Canvas c(64, 128, true);
  const double py = 128 * pivot;
  c.Paint(Convex({{32 - 7, py}, {32 + 7, py}, {32 + 2, 122}, {32 - 2, 122}}), colour);
  c.Paint(Convex({{32 - 4, py}, {32 + 4, py}, {32, py - 18}}), colour);
  c.Paint(Disc(32, py, 12), kDarkSteel);
  c.Paint(Disc(32, py, 5), Colour{0.6, 0.6, 0.6});
  return c.ToImage();
}

// Where the turbo dial's pivot lies on the gauge picture (the HUD puts it
// at (-69.2, 50.87) units from the centre of the 240-unit face).
constexpr double kFacePixels = 256.0 / 240.0;
constexpr double kTurboPivotX = 128 - 69.2 * kFacePixels, kTurboPivotY = 128 + 50.87 * kFacePixels;

// Ticks on an arc: from angle `from` to `to` (degrees, counter-clockwise
// from +x), `count` spaces, between radii r0 and r1.
void PaintTicks(Canvas& c, double cx, double cy, double from, double to, int count, double r0, double r1,
                double halfWidth, Colour colour) {
  for (int k = 0; k <= count; ++k) {
    const double a = (from + (to - from) * k / count) * NE_PI_D / 180;
    c.Paint(Stroke(cx + r0 * std::cos(a), cy + r0 * std::sin(a), cx + r1 * std::cos(a), cy + r1 * std::sin(a), halfWidth),
            colour);
  }
}

// tex36: the gauge face: the revolution scale (1 to 7 thousand, the needle
// turning from 240 degrees down to 0), its red zone, the turbo dial's small
// scale, and windows for the speed and the gear.
RasterImage GaugeFace() {
  Canvas c(256, 256, true);
  c.Paint(Disc(128, 128, 118), kGaugeDark, 0.92);
  c.Paint(Ring(128, 128, 112, 118), Colour{0.55, 0.56, 0.58});
  c.Paint([](double x, double y) {
    const double a = std::atan2(y - 128, x - 128) * 180 / NE_PI_D;
    const double r = std::hypot(x - 128, y - 128);
    return (a > -1 && a < 40) ? std::max(86 - r, r - 104) : 4.0;
  }, kSignalRed, 0.85);
  PaintTicks(c, 128, 128, 240, 0, 6, 88, 106, 2.2, kWhite);
  PaintTicks(c, 128, 128, 240, 0, 24, 98, 106, 1.0, kWhite);
  for (int k = 1; k <= 7; ++k) {
    const double a = (240 - 40.0 * (k - 1)) * NE_PI_D / 180;
    const char digit[2] = {char('0' + k), 0};
    c.Text(digit, 128 + 66 * std::cos(a), 128 + 66 * std::sin(a) - 7, 17, kWhite);
  }
  c.Paint(Disc(kTurboPivotX, kTurboPivotY, 25), kGaugeDark);
  c.Paint(Ring(kTurboPivotX, kTurboPivotY, 23, 25), Colour{0.4, 0.6, 1.0}, 0.8);
  PaintTicks(c, kTurboPivotX, kTurboPivotY, 249, 38, 5, 16, 22, 1.2, Colour{0.5, 0.7, 1.0});
  c.Text("TURBO", kTurboPivotX, kTurboPivotY - 14, 7, Colour{0.5, 0.7, 1.0});
  c.Text("x1000 rpm", 128, 80, 10, Colour{0.7, 0.7, 0.7});
  // The speed window (the speed prints at (24, -43) units) and the gear's.
  c.Paint(Box(128 + 52 * kFacePixels, 128 - 50 * kFacePixels, 38, 20, 5), kPaper);
  c.Paint(Disc(128 + 67.5 * kFacePixels, 128 + 56 * kFacePixels, 15), kPaper);
  return c.ToImage();
}

// tex38 and tex32: the engine and turbo needles; the HUD centres their
// quads a quarter of their height above the pivot.
RasterImage EngineNeedle() { return Needle(0.24, Colour{1.0, 0.35, 0.1}); }
RasterImage TurboNeedle() { return Needle(0.25, Colour{0.5, 0.75, 1.0}); }

// tex40: the hint badge behind the "i": a dark rounded plate with a light
// rim (also the checkpoint beacon's picture).
RasterImage HintBadge() {
  Canvas c(64, 64, true);
  c.Paint(Box(32, 32, 30, 30, 10), Colour{0.75, 0.75, 0.75});
  c.Paint(Box(32, 32, 26, 26, 8), [](double, double y) { return Mix(kDarkSteel, kSteel, y / 64); });
  return c.ToImage();
}

// tex41: eight round lamp tiles, 4 x 2, each with a bonus symbol (the
// profile's bonus kinds); the HUD's turbo lamp shows the whole sheet small
// and tinted, a cluster of lit lenses.
RasterImage LampTiles() {
  Canvas c(256, 128, true);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 4; ++col) {
      const double cx = 32 + 64 * col, cy = 96 - 64 * row;
      c.Paint(Disc(cx, cy, 29), [=](double x, double y) {
        return Mix(kWhite, Colour{0.7, 0.7, 0.7}, std::hypot(x - cx + 8, y - cy - 8) / 40);
      });
      c.Paint(Ring(cx, cy, 26, 29), Colour{0.35, 0.35, 0.35});
      const int kind = 4 * row + col;
      const Colour ink = kDarkSteel;
      switch (kind) {
        case 0: c.Paint(Stroke(cx - 12, cy - 12, cx + 12, cy + 12, 4), ink); c.Paint(Stroke(cx - 12, cy + 12, cx + 12, cy - 12, 4), ink); break;
        case 1: c.Paint(Convex({{cx - 14, cy - 10}, {cx + 14, cy}, {cx - 14, cy + 10}}), ink); break;
        case 2: c.Paint(Ring(cx, cy, 8, 13), ink); break;
        case 3: c.Paint(Stroke(cx - 14, cy - 10, cx + 14, cy + 10, 4), ink); break;
        case 4: c.Paint(Convex({{cx + 16, cy - 8}, {cx, cy + 12}, {cx - 16, cy - 8}}), ink); break;
        case 5: c.Text("1", cx, cy - 9, 26, ink); break;
        case 6: c.Paint(Box(cx, cy, 12, 12, 4), ink); break;
        default: c.Paint(Disc(cx, cy, 10), kSignalRed); break;
      }
    }
  }
  return c.ToImage();
}

// tex42: the marker shine: a bright band across the middle, which the
// minimap slides over the markers; its ends fade, as a sprite's edge must.
RasterImage MarkerShine() {
  Canvas c(64, 64, true);
  c.Paint(Box(32, 32, 28, 3.5, 3), kWhite, 0.9);
  c.Paint(Box(32, 32, 24, 1.5, 1), kWhite);
  return c.ToImage();
}

// tex43: the gauge back, a white disc with a soft rim that the HUD tints
// with the turbo lamp's colour.
RasterImage GaugeBack() {
  Canvas c(256, 256, true);
  for (int k = 0; k < 6; ++k) c.Paint(Disc(128, 128, 126 - 2.5 * k), kWhite, 0.3);
  return c.ToImage();
}

// tex59: the six competition icons (cells 170 pixels wide): local contest
// flag, T2 badge, bison horns, pothole, rally helmet, Zarnok crown.
RasterImage CompetitionIcons() {
  Canvas c(1024, 128, true);
  auto cell = [](int k) { return 85.0 + 170.0 * k; };
  double x = cell(0);
  c.Paint(Stroke(x - 30, 14, x - 30, 112, 4), kWhite);
  c.Paint(Convex({{x - 28, 112}, {x + 40, 96}, {x - 28, 76}}), kSignalRed);
  x = cell(1);
  c.Paint(Box(x, 64, 46, 34, 10), kDarkSteel);
  c.Text("T2", x, 48, 44, kAmber);
  x = cell(2);
  c.Paint(Disc(x, 54, 26), Colour{0.4, 0.25, 0.12});
  c.Paint(Stroke(x - 22, 70, x - 44, 104, 8), Colour{0.9, 0.85, 0.7});
  c.Paint(Stroke(x + 22, 70, x + 44, 104, 8), Colour{0.9, 0.85, 0.7});
  x = cell(3);
  c.Paint(Box(x, 40, 54, 10, 4), Colour{0.45, 0.3, 0.18});
  c.Paint(Disc(x, 44, 20), kDarkSteel);
  c.Paint(Stroke(x - 40, 96, x - 10, 96, 5), kWhite);
  x = cell(4);
  c.Paint(Disc(x, 64, 42), kSignalRed);
  c.Paint(Box(x + 10, 70, 30, 12, 6), kDarkSteel);
  x = cell(5);
  c.Paint(Convex({{x - 46, 30}, {x + 46, 30}, {x + 54, 100}, {x + 24, 70}, {x, 108}, {x - 24, 70}, {x - 54, 100}}), kGold);
  c.Paint(Box(x, 34, 46, 6), Colour{0.8, 0.55, 0.1});
  return c.ToImage();
}

struct ArtSlot {
  int slot;
  RasterImage (*paint)();
};

constexpr ArtSlot kArt[] = {
    {kCompetitionBoardTexture, CompetitionBoard}, {kTruckMarkersTexture, TruckMarkers},
    {kMiniMapDiscTexture, MiniMapDisc},           {kProfileCardTexture, ProfileCard},
    {kRaceBoardTexture, RaceBoard},               {kPlaceStampsTexture, PlaceStamps},
    {kRouteDotTexture, RouteDot},                 {kTurboNeedleTexture, TurboNeedle},
    {kGaugeFaceTexture, GaugeFace},               {kEngineNeedleTexture, EngineNeedle},
    {kHintBadgeTexture, HintBadge},               {kLampTilesTexture, LampTiles},
    {kMarkerShineTexture, MarkerShine},           {kGaugeBackTexture, GaugeBack},
    {kCompetitionIconsTexture, CompetitionIcons},
};

}  // namespace

std::vector<int> RaceArtSlots() {
  std::vector<int> slots;
  for (const ArtSlot& art : kArt) slots.push_back(art.slot);
  return slots;
}

RasterImage MakeRaceArt(int slot) {
  for (const ArtSlot& art : kArt) {
    if (art.slot == slot) return art.paint();
  }
  return RasterImage();
}
