// The part dialogs and the paint shop. Read the live set-up, the cash, the
// price tables and the pointer; draw the part icons (tex23), the drum list
// or the zone cursor (tex35), the Russian cost block, the palette, buttons
// and arrows in the current 800 x 600 frame with alpha blending; leave
// blending on, the text angle 0 and the text alpha 1.
#include "ui/part_dialogs.h"

#include <algorithm>
#include <cmath>

#include "framework/car_setup.h"
#include "framework/font.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "framework/texture_roles.h"
#include "math/ne_math.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_list.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "world/catalogue.h"


namespace {

constexpr float kDrumAtRest = 1.0f;
constexpr float kPreviewFade = 0.999f;
constexpr float kTextTurn = 3.0f;  // degrees
constexpr int kFirstArrowSlot = 5;
constexpr int kPaletteColumns = 23, kPaletteRows = 5, kWheelColumns = 18;
constexpr float kPaletteCell = 14;  // frame units

// Code-page-1251 texts of the dialogs.
constexpr char kPartCost[] = "\xD1\xF2\xEE\xE8\xEC\xEE\xF1\xF2\xFC \xF7\xE0\xF1\xF2\xE8:";     // part cost
constexpr char kPaintCost[] = "\xD1\xF2\xEE\xE8\xEC\xEE\xF1\xF2\xFC \xEF\xEE\xEA\xF0\xE0\xF1\xEA\xE8:";  // paint cost
constexpr char kAmount[] = "%2i \xF0\xF3\xE1\xEB\xE5\xE9";  // roubles
constexpr char kCash[] = "Cash \xE4\xE5\xED\xFC\xE3\xE8:";
constexpr char kPaintTitle[] = "\xCF\xCE\xCA\xD0\xC0\xD1\xCA\xC0";
constexpr char kZonesHeading[] = "\xC2\xFB\xE1\xEE\xF0 \xE7\xEE\xED \xEF\xEE\xEA\xF0\xE0\xF1\xEA\xE8";
constexpr char kYes[] = "\xC4\xE0";
constexpr char kNo[] = "\xCD\xE5\xF2";
// Zone labels; a second line where the label takes two.
constexpr const char* kZoneLabels[kPaintZoneCount][2] = {
    {"\xCA\xF3\xE7\xEE\xE2", nullptr},
    {"\xCA\xE0\xEF\xEE\xF2", nullptr},
    {"\xCF\xE5\xF0\xE5\xE4\xED\xE8\xE9", "\xE1\xE0\xEC\xEF\xE5\xF0"},
    {"\xC7\xE0\xE4\xED\xE8\xE9", "\xE1\xE0\xEC\xEF\xE5\xF0"},
    {"\xCF\xEE\xF0\xEE\xE3\xE8", nullptr},
    {"\xCA\xF0\xFB\xF8\xE0", nullptr},
    {"\xCA\xF0\xFB\xF8\xEA\xE0", "\xE1\xE0\xE3\xE0\xE6\xE8\xEA\xE0"},
};

// What each part dialog offers: its list rows and the part word it sets.
struct PartDialog {
  int screen, rows, partWord;
};
constexpr PartDialog kDialogs[] = {{16, 3, 4}, {17, 10, 6}, {18, 4, 5}, {19, 6, 3},
                                   {20, 4, 2}, {21, 4, 1},  {23, 36, 9}, {24, 36, 8}};

// Index of a dialog in kDialogs; also its cell in the icon atlas.
int DialogIndex(int screen) {
  for (int k = 0; k < int(std::size(kDialogs)); ++k) {
    if (kDialogs[k].screen == screen) return k;
  }
  return 0;
}

bool PreviewAllowed() {
  return std::abs(gListAngle) < kDrumAtRest && ScreenSettled(kPreviewFade) && !gInputLocked &&
         gLoaderStatus == LoaderStatus::Idle;
}

void DrawIconCell(float x, float y, int cell, IconPop pop) {
  if (pop.alpha <= 0) return;
  const float s0 = 0.5f * float(cell % 2), t0 = 0.25f * float(cell / 2);
  glColor4f(1, 1, 1, pop.alpha);
  glPushMatrix();
  glTranslatef(x, y, 0);
  glScalef(pop.scale, pop.scale, 1);
  DrawCentredQuad(320, 106.6f, s0, t0, s0 + 0.5f, t0 + 0.25f);
  glPopMatrix();
}

void DrawPartIcon(float x, float y, int cell1, int cell2, float t) {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BindMenuTexture(kRaceBoardTexture);
    DrawIconCell(x, y, cell1, PartIconPop(1, t));
    DrawIconCell(x, y, cell2, PartIconPop(2, t));
  });
}

void DrawLoadingWhileTruckLoads() {
  const bool loading = gLoaderStatus == LoaderStatus::LoadStartupOrPlayerCar;
  gLoadingAlpha = std::clamp(gLoadingAlpha + (loading ? 0.02f : -0.02f) * gFrameFactor, 0.0f, 1.0f);
  DrawLoadingIndicator(400, 335, gMenuClock, gLoadingAlpha);
}

// Each text drawn twice, dark then orange shifted by (2, 1.5), so that it
// carries a shadow.
template <typename Draw>
void WithShadow(Draw draw) {
  gTextColour = 1;
  draw(0.0f, 0.0f);
  gTextColour = 2;
  draw(2.0f, 1.5f);
}

void DrawCostBlock(const char* caption, int price) {
  gTextAngle = kTextTurn;
  gTextAlpha = gMenuAlpha;
  WithShadow([&](float dx, float dy) {
    PrintText1(508 + dx, 443.5f + dy, 1, 1, "%s", caption);
    PrintText1(508 + dx, 423.5f + dy, 1, 1, kAmount, price);
    PrintText1(648 + dx, 493.5f + dy, 1, 1, "%s", kCash);
    PrintText1(648 + dx, 473.5f + dy, 1, 1, kAmount, int(gCash));
  });
  gTextAngle = 0;
  gTextAlpha = 1;
}

void DrawPaintZoneCursor() {
  if (gMouseMoved && 110 < gMouseX && gMouseX < 310) {
    for (int k = 0; k < kPaintZoneCount; ++k) {
      if (gMouseY >= 115 + 40 * k && gMouseY < 152 + 40 * k) {
        gSelectedRow = k;
        gMouseMoved = 0;
      }
    }
  }
  if (ScreenSettled() && !gKeyLatch && !gWaitingForKey) {
    const int step = gKeys[vk::kDown] ? 1 : gKeys[vk::kUp] ? -1 : 0;
    if (step != 0) {
      gKeyLatch = 1;
      gSelectedRow = std::clamp(gSelectedRow + step, 0, kPaintZoneCount - 1);
      if (gSoundOn) gSndMenuStep.Play();
    }
  }
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kCursorBarTexture);
    const float y = 460 - 40 * float(gSelectedRow);
    DrawTexturedQuad(96 - 240, y - 15, 96 + 240, y + 15, 0, 0, 1, 1);
  });
}

void DrawZoneList() {
  gTextAlpha = gMenuAlpha;
  WithShadow([](float dx, float dy) {
    PrintText1(45 + dx, 485.5f + dy, 1, 1, "%s", kZonesHeading);
    for (int r = 0; r < kPaintZoneCount; ++r) {
      const float y = 445.5f - 40 * float(r) + dy;
      if (kZoneLabels[r][1] == nullptr) {
        PrintText1(45 + dx, y, 1, 1, "%s", kZoneLabels[r][0]);
      } else {
        PrintText1(45 + dx, y + 9, 1, 1, "%s", kZoneLabels[r][0]);
        PrintText1(45 + dx, y - 9, 1, 1, "%s", kZoneLabels[r][1]);
      }
      PrintText1(208 + dx, y, 1, 1, "%s", gPaintZoneSelected[r] ? kYes : kNo);
    }
  });
  gTextAlpha = 1;
}

void DrawPalette() {
  WithGlCapabilities({{GL_TEXTURE_2D, false}, {GL_BLEND, true}}, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int c = 0; c < kPaletteColumns; ++c) {
      for (int r = 0; r < kPaletteRows; ++r) {
        const float x = 23 + kPaletteCell * float(c), y = 100 + kPaletteCell * float(r);
        glColor4f(0.75f, 0.75f, 0.75f, gMenuAlpha);
        DrawQuad(x - 3, y - 3, x + 14, y + 14);
        float rgb[3];
        PaletteColour(c, r, rgb);
        glColor4f(rgb[0], rgb[1], rgb[2], gMenuAlpha);
        DrawQuad(x - 1, y - 1, x + 12, y + 12);
      }
    }
  });
}

// A held click on the palette paints every selected zone and rebuilds the
// truck with the new paint.
void PickPaletteColour() {
  if (!ScreenSettled()) return;
  if (!(22 < gMouseX && gMouseX < 342 && 431 < gMouseY && gMouseY < 499)) return;
  gNotOverButton = 0;
  if (!gLeftButton) return;
  const int column = (gMouseX - 21) / 14, row = (600 - gMouseY - 100) / 14;
  if (column < 0 || column >= kPaletteColumns || row < 0 || row >= kPaletteRows) return;
  float rgb[3];
  PaletteColour(column, row, rgb);
  for (int zone = 0; zone < kPaintZoneCount; ++zone) {
    if (gPaintZoneSelected[zone]) std::copy(rgb, rgb + 3, gPlayerCarSetup.zoneColour[zone]);
  }
  gLoaderStatus = LoaderStatus::LoadStartupOrPlayerCar;
  gCarChangeProgress = 1.0f;
  gInputLocked = 1;
  if (gSoundOn) gSndMenuStep.Play();
}

}  // namespace

void PaletteColour(int column, int row, float rgb[3]) {
  const float c = float(std::clamp(column, 0, kPaletteColumns - 1));
  float r, g, b;
  if (column >= kWheelColumns) {
    r = g = b = 0.2f * (c - kWheelColumns + 1);
  } else {
    r = c <= 2 || c >= 15 ? 1 : c <= 5 ? 1 - 0.333f * (c - 3) : c <= 11 ? 0 : 0.333f * (c - 11);
    g = c <= 2 ? 0.333f * c : c <= 8 ? 1 : c <= 11 ? 1 - 0.333f * (c - 8) : 0;
    b = c <= 5 ? 0 : c <= 8 ? 0.333f * (c - 5) : c <= 14 ? 1 : 1 - 0.333f * (c - 14);
  }
  const float shade = 0.2f * float(std::clamp(row, 0, kPaletteRows - 1)) + 0.2f;
  rgb[0] = r * shade;
  rgb[1] = g * shade;
  rgb[2] = b * shade;
}

IconPop PartIconPop(int icon, float t) {
  if (icon == 1) {
    if (t >= 0 && t < 0.5f) return {2.5f - 1.5f * std::sin(NE_PI * t), std::sin(NE_PI * t)};
    return {1, 1};
  }
  if (t < 0.5f) return {1, 0};
  if (t < 1) return {1 + 0.15f * std::sin(2 * NE_PI * (t - 0.5f)), std::sin(NE_PI * (t - 0.5f))};
  return {1, 1};
}

void DrawPartDialog(int screen) {
  const int index = DialogIndex(screen);
  const PartDialog& dialog = kDialogs[index];
  MenuButton(kCornerBackX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kCornerBuyX, kLowButtonRowY, "Buy", ButtonKind::Confirm, 1);
  DrawPartIcon(620, 500, index, index, gScreenFade);
  DrawMenuList(dialog.rows);
  int32_t& word = gPlayerCarSetup.partChoice[dialog.partWord];
  if (PreviewAllowed() && word != gMenuCursor && gMenuCursor >= 0 && gMenuCursor < dialog.rows) word = gMenuCursor;
  DrawLoadingWhileTruckLoads();
  DrawCostBlock(kPartCost, int(PartDialogPrice(screen, gMenuCursor, gPriceTables)));
}

void DrawPaintShop() {
  MenuButton(kCornerBackX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kCornerBuyX, kLowButtonRowY, "Buy", ButtonKind::Confirm, 1);
  constexpr int kPaintIconCell = 7;
  DrawPartIcon(620, 500, kPaintIconCell, kPaintIconCell, gScreenFade);
  DrawPaintZoneCursor();
  DrawCostBlock(kPaintCost, int(PartDialogPrice(ScreenState::PaintShop, 0, gPriceTables)));
  gTextAngle = kTextTurn;
  gTextAlpha = (3 * std::sin(5 * gMenuClock) + 4) * (1 - gMenuDim);
  PrintText2(15, 530, 1, "%s", kPaintTitle);
  gTextAngle = 0;
  gTextAlpha = 1;
  constexpr float kLeftArrows[kPaintZoneCount][2] = {{135, 460},       {135.33f, 419.82f}, {135.66f, 379.65f},
                                                     {136, 339.49f},   {136.33f, 299.33f}, {136.66f, 259.16f},
                                                     {137, 219}};
  for (int r = 0; r < kPaintZoneCount; ++r) {
    OptionArrowButton(kLeftArrows[r][0], kLeftArrows[r][1], kFirstArrowSlot + 2 * r, false);
    OptionArrowButton(kLeftArrows[r][0] + 151, kLeftArrows[r][1] + 9, kFirstArrowSlot + 2 * r + 1, true);
  }
  DrawZoneList();
  DrawPalette();
  PickPaletteColour();
}
