#include "tools/gen_menu_art.h"

#include "framework/texture_roles.h"
#include "tools/art_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// A truck in side view, standing on y = ground, nose to the right.
void PaintTruck(Canvas& c, double x, double ground, double scale, Colour body, Colour wheels) {
  auto at = [&](double u, double v) { return std::pair{x + u * scale, ground + v * scale}; };
  c.Paint(Convex({at(0, 0.55), at(2.1, 0.55), at(2.1, 1.05), at(0, 1.05)}), body);      // load bed
  c.Paint(Convex({at(2.1, 0.55), at(3.3, 0.55), at(3.3, 1.0), at(3.0, 1.15), at(2.1, 1.2)}), body);
  c.Paint(Convex({at(2.2, 1.15), at(2.95, 1.15), at(2.75, 1.6), at(2.25, 1.6)}), body);  // cab
  c.Paint(Convex({at(2.32, 1.2), at(2.82, 1.2), at(2.68, 1.5), at(2.36, 1.5)}), Mix(body, kWhite, 0.45));
  for (double u : {0.55, 2.75}) {
    const auto [wx, wy] = at(u, 0.42);
    c.Paint(Disc(wx, wy, 0.42 * scale), wheels);
    c.Paint(Disc(wx, wy, 0.18 * scale), Mix(wheels, kWhite, 0.35));
  }
}

// ---- The pictures ----

// tex01: the title picture of the splash, a dusk landscape with a truck
// jumping a crest, stretched over the whole 800 x 600 frame.
RasterImage TitlePicture() {
  Canvas c(1024, 512, false);
  const Colour skyTop{0.10, 0.12, 0.25}, skyLow{0.95, 0.55, 0.25};
  c.Paint([](double, double) { return -1.0; },
          [&](double, double y) { return Mix(skyLow, skyTop, std::pow(y / 512.0, 0.8)); });
  c.Paint(Disc(700, 210, 60), Colour{1.0, 0.85, 0.55});
  // Two ranges of hills, the far one hazy.
  auto ridge = [](double base, double amplitude, double phase) {
    return [=](double x, double y) {
      const double top = base + amplitude * (std::sin(x * 0.011 + phase) + 0.5 * std::sin(x * 0.027 + 2 * phase));
      return y - top;
    };
  };
  c.Paint(ridge(210, 40, 1.0), Colour{0.35, 0.22, 0.25});
  c.Paint(ridge(140, 30, 2.3), Colour{0.18, 0.11, 0.10});
  // The dirt road over the crest.
  c.Paint(Convex({{0, 0}, {1024, 0}, {1024, 40}, {620, 120}, {420, 120}, {0, 60}}),
          [](double x, double y) { return Mix(Colour{0.45, 0.28, 0.15}, Colour{0.30, 0.18, 0.10}, 0.5 + Grain(int(x), int(y))); });
  PaintTruck(c, 380, 150, 80, kDarkSteel, Colour{0.05, 0.05, 0.05});
  // Dust behind the truck.
  for (int k = 0; k < 14; ++k) {
    c.Paint(Disc(330 - 22 * k, 140 + 8 * std::sin(k * 1.7), 22 + 3 * k), Colour{0.75, 0.55, 0.40}, 0.35 - 0.02 * k);
  }
  c.Text("ZARNOK RACING", 512, 400, 72, kBlack, 0.5);
  c.Text("ZARNOK RACING", 508, 404, 72, kWhite);
  return c.ToImage();
}

// tex03: the emblem behind the pages: a big tyre with tread blocks and a
// five-spoke hub, drawn grey and turning slowly.
RasterImage Emblem() {
  Canvas c(512, 256, true);
  const double cx = 256, cy = 128;
  c.Paint(Ring(cx, cy, 78, 120), kWhite, 0.55);
  for (int k = 0; k < 24; ++k) {
    const double a = k * 2 * NE_PI_D / 24;
    const double ax = cx + 112 * std::cos(a), ay = cy + 112 * std::sin(a);
    const double bx = cx + 126 * std::cos(a + 0.06), by = cy + 126 * std::sin(a + 0.06);
    c.Paint(Stroke(ax, ay, bx, by, 5), kWhite, 0.8);
  }
  c.Paint(Ring(cx, cy, 60, 70), kWhite, 0.9);
  for (int k = 0; k < 5; ++k) {
    const double a = k * 2 * NE_PI_D / 5 + 0.3;
    c.Paint(Stroke(cx, cy, cx + 62 * std::cos(a), cy + 62 * std::sin(a), 9), kWhite, 0.9);
  }
  c.Paint(Disc(cx, cy, 18), kWhite);
  // Speed lines to both sides fill the wide quad.
  for (int k = 0; k < 4; ++k) {
    const double y = cy - 45 + 30 * k;
    c.Paint(Stroke(8, y, 118 - 12 * k, y, 4), kWhite, 0.5);
    c.Paint(Stroke(394 + 12 * k, y, 504, y, 4), kWhite, 0.5);
  }
  return c.ToImage();
}

// tex04: four cells. Lower left: the LOADING sign's turning ring; upper
// right: its glowing hub, added on the second unit; upper left: the outer
// dashed ring; lower right: the option arrow (pointing right).
RasterImage SignsAndArrows() {
  Canvas c(256, 256, true);
  const Colour orange{1.0, 0.55, 0.1};
  for (int k = 0; k < 3; ++k) {  // ring of three sweeps
    const double start = k * 2 * NE_PI_D / 3;
    c.Paint([=](double x, double y) {
      const double a = std::atan2(y - 64, x - 64) - start;
      const double wrapped = a - 2 * NE_PI_D * std::floor(a / (2 * NE_PI_D));
      const double r = std::hypot(x - 64, y - 64);
      const double radial = std::max(30 - r, r - 50);
      return wrapped < 1.6 ? radial : 4.0;
    }, orange);
  }
  c.Paint(Disc(192, 192, 40), [](double x, double y) {
    const double r = std::hypot(x - 192, y - 192) / 40;
    return Mix(kWhite, Colour{1.0, 0.7, 0.2}, r);
  }, 0.9);
  for (int k = 0; k < 12; ++k) {
    const double a = k * 2 * NE_PI_D / 12;
    c.Paint(Stroke(64 + 50 * std::cos(a), 192 + 50 * std::sin(a), 64 + 58 * std::cos(a + 0.2),
                   192 + 58 * std::sin(a + 0.2), 4), kWhite);
  }
  // A slim plate behind the arrow: the option values, centred off the
  // middle between two arrows, need the room beside it.
  c.Paint(Box(192, 64, 28, 44, 12), kDarkSteel, 0.85);
  c.Paint(Convex({{170, 36}, {218, 64}, {170, 92}}), orange);
  return c.ToImage();
}

// tex05: the side panel, a dark steel strip whose inner (right) edge fades
// out, with hazard chevrons at the foot; mirrored for the right side.
RasterImage SidePanel() {
  Canvas c(128, 512, true);
  c.Paint(Box(64, 256, 64, 256), [](double x, double y) {
    return Mix(kDarkSteel, kSteel, 0.5 + 0.5 * std::sin(y * 0.05) * 0.2 + Grain(int(x), int(y)) * 0.15);
  });
  c.Paint(Box(104, 256, 2, 256), Colour{0.6, 0.6, 0.6}, 0.8);
  for (int k = 0; k < 5; ++k) {
    const double y = 20 + 26 * k;
    c.Paint(Convex({{8, y}, {48, y}, {88, y + 18}, {48, y + 18}}), Colour{0.95, 0.65, 0.05});
  }
  return c.ToImage();
}

// tex06: the splash's corner icon (left half: a steering wheel on a dark
// badge, so that it stands out on the side strip).
RasterImage CornerIcon() {
  Canvas c(256, 128, true);
  c.Paint(Disc(64, 64, 60), kDarkSteel, 0.9);
  c.Paint(Ring(64, 64, 40, 54), kSignalRed);
  c.Paint(Disc(64, 64, 14), kWhite);
  for (double a : {NE_PI_D / 2 + NE_PI_D / 3, NE_PI_D / 2 - NE_PI_D / 3 + NE_PI_D, 3 * NE_PI_D / 2}) {
    c.Paint(Stroke(64, 64, 64 + 44 * std::cos(a), 64 + 44 * std::sin(a), 6), kWhite);
  }
  c.Paint(Ring(192, 64, 40, 54), kSteel);
  return c.ToImage();
}

// tex07: the game's logo.
RasterImage Logo() {
  Canvas c(512, 256, true);
  c.Paint(Convex({{30, 70}, {482, 70}, {462, 110}, {10, 110}}), kSignalRed);
  c.Paint(Convex({{40, 60}, {300, 60}, {296, 66}, {36, 66}}), kBlack, 0.8);
  c.Text("ZARNOK", 259, 118, 104, kBlack, 0.6);
  c.Text("ZARNOK", 256, 122, 104, kDarkSteel);
  c.Text("RACING", 256, 78, 40, kWhite);
  c.Text("off-road truck championship", 256, 30, 20, kDarkSteel);
  return c.ToImage();
}

// tex13: the selector frame of the competition and race grids: bracket
// corners round a stamped plate, drawn orange.
RasterImage SelectorFrame() {
  Canvas c(512, 256, true);
  c.Paint([](double x, double y) { return std::max(Box(256, 128, 236, 108, 20)(x, y), -Box(256, 128, 236, 108, 20)(x, y) - 10); },
          kWhite);
  for (double sx : {-1.0, 1.0})
    for (double sy : {-1.0, 1.0}) {
      c.Paint(Stroke(256 + sx * 250, 128 + sy * 122, 256 + sx * 190, 128 + sy * 122, 5), kWhite);
      c.Paint(Stroke(256 + sx * 250, 128 + sy * 122, 256 + sx * 250, 128 + sy * 80, 5), kWhite);
    }
  return c.ToImage();
}

// tex17: the drum's back plate, riveted steel.
RasterImage DrumBackPlate() {
  Canvas c(256, 512, true);
  c.Paint(Box(128, 256, 120, 252, 24), [](double x, double y) {
    return Mix(kSteel, kDarkSteel, 0.5 + 0.3 * std::cos((x - 128) / 120 * NE_PI_D / 2) + Grain(int(x), int(y)) * 0.1);
  });
  for (int k = 0; k < 8; ++k) {
    for (double x : {30.0, 226.0}) c.Paint(Disc(x, 24 + 66 * k, 7), Colour{0.65, 0.65, 0.65});
  }
  return c.ToImage();
}

// tex18: one row plate of the drum: a bevelled bar with a light rim.
RasterImage RowPlate() {
  Canvas c(512, 128, true);
  c.Paint(Box(256, 64, 250, 58, 24), Colour{0.8, 0.8, 0.8});
  c.Paint(Box(256, 64, 244, 52, 20), [](double, double y) {
    return Mix(Colour{0.10, 0.11, 0.12}, Colour{0.32, 0.34, 0.36}, y / 128);
  });
  c.Paint(Convex({{20, 20}, {60, 20}, {60, 108}, {20, 108}}), kSignalRed, 0.9);
  return c.ToImage();
}

// The unit direction at angle `a`, rounded to nine decimals: cos π/2 is not
// exactly 0 and its error follows the last bit of π, so an edge meant to
// fall on a pixel boundary could otherwise land in either pixel.
std::pair<double, double> Direction(double a) {
  auto round = [](double v) { return std::round(v * 1e9) / 1e9; };
  return {round(std::cos(a)), round(std::sin(a))};
}

// tex19: a strip of eight icon cells drawn white and tinted by the
// screens: wheel, wrench, flag, trophy, piston, turbo, gear, star.
RasterImage IconStrip() {
  Canvas c(1024, 128, true);
  auto cell = [](int k) { return 64.0 + 128.0 * k; };
  c.Paint(Ring(cell(0), 64, 26, 50), kWhite);
  c.Paint(Disc(cell(0), 64, 14), kWhite);
  c.Paint(Stroke(cell(1) - 36, 28, cell(1) + 24, 88, 11), kWhite);
  c.Paint(Ring(cell(1) + 30, 94, 10, 24), kWhite);
  c.Paint(Stroke(cell(2) - 34, 16, cell(2) - 34, 112, 5), kWhite);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col)
      if ((row + col) % 2 == 0) c.Paint(Box(cell(2) - 20 + 16 * col, 104 - 14 * row, 8, 7), kWhite);
  c.Paint(Convex({{cell(3) - 12, 56}, {cell(3) + 12, 56}, {cell(3) + 34, 104}, {cell(3) - 34, 104}}), kWhite);
  c.Paint(Box(cell(3), 40, 6, 18), kWhite);
  c.Paint(Box(cell(3), 20, 26, 6), kWhite);
  c.Paint(Box(cell(4), 84, 28, 20, 6), kWhite);
  c.Paint(Stroke(cell(4), 64, cell(4), 14, 8), kWhite);
  c.Paint(Ring(cell(5), 64, 18, 44), kWhite);
  for (int k = 0; k < 6; ++k) {
    const auto [dx, dy] = Direction(k * NE_PI_D / 3);
    c.Paint(Stroke(cell(5), 64, cell(5) + 40 * dx, 64 + 40 * dy, 4), kWhite);
  }
  c.Paint(Ring(cell(6), 64, 16, 36), kWhite);
  for (int k = 0; k < 8; ++k) {
    const auto [dx, dy] = Direction(k * NE_PI_D / 4);
    c.Paint(Box(cell(6) + 42 * dx, 64 + 42 * dy, 8, 8), kWhite);
  }
  std::vector<std::pair<double, double>> star;
  for (int k = 0; k < 5; ++k) {  // a convex pentagon with five rays
    const auto [dx, dy] = Direction(NE_PI_D / 2 + k * 2 * NE_PI_D / 5);
    star.push_back({cell(7) + 22 * dx, 64 + 22 * dy});
    c.Paint(Stroke(cell(7), 64, cell(7) + 52 * dx, 64 + 52 * dy, 9), kWhite);
  }
  c.Paint(Convex(star), kWhite);
  return c.ToImage();
}

// tex22: the plate of a menu button: a slanted bar behind the caption and a
// round socket on the right for the icon.
RasterImage ButtonPlate() {
  Canvas c(256, 128, true);
  // The quad spans 192 x 64 frame units from (x - 44, y - 16): a unit is
  // 4/3 of a pixel across and 2 pixels up. The caption sits at y + 17.5,
  // the hit box from y + 7 to y + 27, the icon from x + 94 to x + 135.
  auto at = [](double x, double y) { return std::pair{(x + 44) * 256.0 / 192.0, (y + 16) * 2.0}; };
  const auto [x0, y0] = at(-6, 4);
  const auto [x1, y1] = at(120, 30);
  const double slant = 10;
  c.Paint(Convex({{x0, y0}, {x1, y0}, {x1 + slant, y1}, {x0 + slant, y1}}),
          [=](double, double y) { return Mix(kDarkSteel, kSteel, (y - y0) / (y1 - y0)); }, 0.85);
  c.Paint(Box((x0 + x1) / 2, y0 + 1.5, (x1 - x0) / 2, 1.5), kSignalRed);
  const auto [cx, cy] = at(114.5, 18.5);
  c.Paint(Box(cx, cy, 30, 44, 28), kDarkSteel);
  c.Paint([=](double x, double y) { return std::max(Box(cx, cy, 30, 44, 28)(x, y), -Box(cx, cy, 26, 39, 24)(x, y)); },
          Colour{0.7, 0.7, 0.7});
  return c.ToImage();
}

// tex24: the five button icons side by side: Back, 1, 2, 3, Confirm, in
// cells of 102.4 pixels (the texture keeps a power-of-two width).
RasterImage ButtonIcons() {
  Canvas c(512, 128, true);
  constexpr double kCell = 512.0 / 5, kScale = kCell / 128;
  // A point drawn for a 128-pixel cell k, placed in the narrower cell.
  auto at = [&](int k, double x, double y) {
    return std::pair{kCell * (k + 0.5) + (x - 64) * kScale, 64 + (y - 64) * kScale};
  };
  for (int k = 0; k < 5; ++k) {
    const auto [cx, cy] = at(k, 64, 64);
    c.Paint(Disc(cx, cy, 56 * kScale), k == 4 ? Colour{0.1, 0.55, 0.1} : kSignalRed);
    c.Paint(Ring(cx, cy, 50 * kScale, 56 * kScale), kWhite);
  }
  c.Paint(Convex({at(0, 30, 64), at(0, 70, 30), at(0, 70, 98)}), kWhite);
  const auto [bx, by] = at(0, 82, 64);
  c.Paint(Box(bx, by, 14 * kScale, 12 * kScale), kWhite);
  for (int k = 1; k <= 3; ++k) {
    const char digit[2] = {char('0' + k), 0};
    const auto [dx, dy] = at(k, 64, 40);
    c.Text(digit, dx, dy, int(70 * kScale), kWhite);
  }
  const auto [x0, y0] = at(4, 32, 64);
  const auto [x1, y1] = at(4, 54, 40);
  const auto [x2, y2] = at(4, 88, 90);
  c.Paint(Stroke(x0, y0, x1, y1, 9 * kScale), kWhite);
  c.Paint(Stroke(x1, y1, x2, y2, 9 * kScale), kWhite);
  return c.ToImage();
}

// tex29: the mouse pointer, its tip in the top-left corner.
RasterImage Pointer() {
  Canvas c(32, 32, true);
  c.Paint(Convex({{0, 32}, {1.5, 3}, {25, 13.5}}), kBlack);
  c.Paint(Convex({{2, 29}, {3, 7}, {20, 14}}), kWhite);
  c.Paint(Stroke(8, 16, 14, 4, 2.2), kBlack);
  c.Paint(Stroke(8, 16, 14, 4, 1.0), kWhite);
  return c.ToImage();
}

// tex34: the bar texture, a white ridge tinted by the bars.
RasterImage BarTexture() {
  Canvas c(256, 16, true);
  c.Paint(Box(128, 8, 128, 8), [](double x, double y) {
    const double ridge = 1.0 - 0.35 * std::abs(y - 9) / 8;
    const double notch = std::fmod(x, 16.0) < 1.5 ? 0.75 : 1.0;
    return Colour{ridge * notch, ridge * notch, ridge * notch};
  });
  return c.ToImage();
}

// tex35: the option row cursor, a soft-ended white band.
RasterImage CursorBar() {
  Canvas c(512, 32, true);
  c.Paint(Box(256, 16, 250, 11, 11), kWhite, 0.9);
  c.Paint(Convex({{6, 16}, {24, 4}, {24, 28}}), kWhite);
  return c.ToImage();
}

// tex16: the profile card: an off-white card with a grey rim, a red band
// along its top, a faint paper grain and a dark plate for the rating bars;
// the card's texts and bars are drawn over it.
RasterImage ProfileCard() {
  Canvas c(256, 512, false);
  c.Fill(Colour{0.45, 0.46, 0.48});
  c.Paint(Box(128, 256, 118, 246, 10), [](double x, double y) {
    const double grain = 0.02 * Grain(int(x), int(y));
    return Colour{0.93 + grain, 0.92 + grain, 0.88 + grain};
  });
  c.Paint(Box(128, 486, 118, 16, 6), kSignalRed);
  c.Paint(Box(128, 466, 100, 1.5), Colour{0.6, 0.6, 0.6});
  // A dark plate under the rating bars, whose labels are light grey.
  c.Paint(Box(128, 203, 108, 62, 8), [](double, double y) { return Mix(kDarkSteel, kSteel, (y - 141) / 124); });
  return c.ToImage();
}

struct ArtSlot {
  int slot;
  RasterImage (*paint)();
};

constexpr ArtSlot kArt[] = {
    {kTitlePictureTexture, TitlePicture},   {kEmblemTexture, Emblem},
    {kMenuSignsTexture, SignsAndArrows},    {kSidePanelTexture, SidePanel},
    {kCornerIconTexture, CornerIcon},       {kLogoTexture, Logo},
    {kBandsAndFrameTexture, SelectorFrame}, {kProfileCardTexture, ProfileCard},
    {kDrumBackPlateTexture, DrumBackPlate}, {kDrumRowPlateTexture, RowPlate},
    {kIconStripTexture, IconStrip},         {kButtonPlateTexture, ButtonPlate},
    {kButtonIconsTexture, ButtonIcons},     {kPointerTexture, Pointer},
    {kOptionBarTexture, BarTexture},        {kCursorBarTexture, CursorBar},
};

}  // namespace

std::vector<int> MenuArtSlots() {
  std::vector<int> slots;
  for (const ArtSlot& art : kArt) slots.push_back(art.slot);
  return slots;
}

RasterImage MakeMenuArt(int slot) {
  for (const ArtSlot& art : kArt) {
    if (art.slot == slot) return art.paint();
  }
  return RasterImage();
}

bool GenerateMenuArt(const std::string& base) {
  bool ok = true;
  for (const ArtSlot& art : kArt) {
    // tex09 and up are written with the texture list's table (gen_textures).
    if (art.slot >= kFirstListedTexture) continue;
    char name[32];
    std::snprintf(name, sizeof name, "/textures/tex%02d.tga", art.slot);
    ok &= WriteTga(base + name, art.paint());
  }
  return ok;
}
