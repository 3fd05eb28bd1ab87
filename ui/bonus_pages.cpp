// The profile and race bonus pages. Read the career's bonus totals, rating
// level and points, the race's bonus points, gScreenClock and the fade;
// draw gBlurTexture, tex13 (drifting bands), tex41 (bonus icons, a 4 x 2
// atlas), texts and a button in the current 800 x 600 frame; leave
// blending off, 2-D texturing on, the text angle 0, colour scheme 0 and
// text alpha 1.
#include "ui/bonus_pages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/font.h"
#include "framework/settings.h"
#include "framework/texture_roles.h"
#include "math/ne_math.h"
#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/post_passes.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "world/race_state.h"

namespace {

constexpr float kTextTurn = 3.0f;      // degrees, the tiles, bands and texts
constexpr float kTileSize = 68.0f;     // the icon quad
constexpr float kTileStepX = 165.0f, kTileStepY = 100.0f;
constexpr float kPulseDepth = 0.02f;   // amplitude of the tile's throb before the fifth power
constexpr float kShadowShift = 1.5f;   // the second print of a text, right and up
constexpr int kMaxLevelsPerBooking = 7;  // thresholds 10000 .. 70000

constexpr const char* kBonusLabels[kShownBonusCount] = {
    "\xD0\xE0\xE7\xF0\xF3\xF8\xE8\xF2\xE5\xEB\xFC",                                  // Разрушитель
    "\xC0\xE3\xF0\xE5\xF1\xF1\xE8\xE2\xED\xFB\xE9 \xE3\xEE\xED\xF9\xE8\xEA",          // Агрессивный гонщик
    "\xCF\xEE\xF2\xE5\xF0\xFF\xEB \xF2\xF0\xE0\xF1\xF1\xF3",                          // Потерял трассу
    "\xD1\xF0\xE5\xE7\xE0\xEB \xF2\xF0\xE0\xF1\xF1\xF3",                              // Срезал трассу
    "\xD1\xF3\xEF\xE5\xF0 \xEE\xE1\xE3\xEE\xED",                                      // Супер обгон
    "\xCF\xEE\xF1\xF2\xEE\xFF\xED\xED\xFB\xE9 \xEB\xE8\xE4\xE5\xF0",                  // Постоянный лидер
    "\xC0\xEA\xEA\xF3\xF0\xE0\xF2\xED\xFB\xE9 \xE3\xEE\xED\xF9\xE8\xEA",              // Аккуратный гонщик
    "\xC2\xF0\xE5\xE7\xE0\xEB\xF1\xFF",                                              // Врезался
};
constexpr char kProfileHeading[] = "\xCF\xD0\xCE\xD4\xC0\xC9\xCB";                  // ПРОФАЙЛ
constexpr char kResultsHeading[] = "\xD0\xC5\xC7\xD3\xCB\xDC\xD2\xC0\xD2\xDB";      // РЕЗУЛЬТАТЫ
constexpr char kLevelFormat[] = "\xC1\xCE\xCD\xD3\xD1 \xD3\xD0\xCE\xC2\xC5\xCD\xDC%2i";  // БОНУС УРОВЕНЬ
constexpr char kTotalPoints[] = "\xC2\xF1\xE5\xE3\xEE \xEE\xF7\xEA\xEE\xE2";         // Всего очков
constexpr char kEarnedPoints[] = "\xCD\xE0\xE1\xF0\xE0\xED\xEE \xEE\xF7\xEA\xEE\xE2";  // Набрано очков

// The blurred garage over the whole frame.
void DrawBlurredGarage(float alpha) {
  glEnable(GL_BLEND);  // left on for the page drawn over it
  WithGlCapabilities({{GL_TEXTURE_2D, false}, {GL_TEXTURE_RECTANGLE_ARB, true}}, [alpha] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, alpha);
    DrawFrameQuad(gBlurTexture, float(gBlurWidth), float(gBlurHeight));
  });
}

// Two turned bands of tex13 whose pattern drifts sideways with the menu clock.
void DrawDriftingBands() {
  constexpr float kHalfWidth = 1000.0f;
  const float s0 = -50 - 1.1f * gMenuClock, s1 = 50 - 1.1f * gMenuClock;
  BindMenuTexture(kBandsAndFrameTexture);
  glColor4f(1, 1, 1, 1 - gMenuDim);
  const float bands[2][3] = {{45, -140, 20}, {540, -20, 140}};  // translation y, y0, y1
  for (const auto& band : bands) {
    glPushMatrix();
    glTranslatef(0, band[0], 0);
    glRotatef(kTextTurn, 0, 0, 1);
    DrawTexturedQuad(-kHalfWidth, band[1], kHalfWidth, band[2], s0, 0, s1, 1);
    glPopMatrix();
  }
}

// Prints with the font-1 printer in colour scheme 1 and again in scheme 2
// a little right and up.
void PrintRaised(float x, float y, const char* text) {
  for (int pass = 0; pass < 2; ++pass) {
    gTextColour = 1 + pass;
    PrintText1(x + pass * kShadowShift, y + pass * kShadowShift, 1, 1, "%s", text);
  }
}

// "+12" for a gain, "12" for a total (at least two characters wide).
void FormatPoints(char (&text)[16], int points, bool gain) {
  std::snprintf(text, sizeof text, gain ? "+%2i" : "%2i", points);
}

// The eight bonus tiles: the icon throbbing on the line whose turn it is,
// the value (a gain with a plus sign) and the label.
void DrawBonusTiles(const float values[kShownBonusCount], bool gains) {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const int pulsingLine = int(gScreenClock) % 2;
    for (int l = 0; l < 2; ++l) {
      for (int c = 0; c < 4; ++c) {
        const float throb = std::max(0.0f, kPulseDepth * std::sin(2 * NE_PI * gScreenClock - c * NE_PI / 4));
        const float scale = l == pulsingLine ? std::pow(1 + throb, 5.0f) : 1.0f;
        glColor4f(1, 1, 1, 1 - gMenuDim);
        BindMenuTexture(kLampTilesTexture);
        glPushMatrix();
        glTranslatef(135 + kTileStepX * c, 350 - kTileStepY * l, 0);
        glRotatef(kTextTurn, 0, 0, 1);
        glScalef(scale, scale, 1);
        DrawCentredQuad(kTileSize, kTileSize, 0.25f * c, 0.5f - 0.5f * l, 0.25f * c + 0.25f, 1 - 0.5f * l);
        glPopMatrix();
      }
    }
    gTextAngle = kTextTurn;
    gTextAlpha = 1 - gMenuDim;
    for (int i = 0; i < kShownBonusCount; ++i) {
      const int c = i % 4, l = i / 4;
      char value[16];
      FormatPoints(value, int(values[i]), gains);
      PrintRaised(173 + kTileStepX * c, 342.5f - kTileStepY * l, value);
      PrintRaised(94 + kTileStepX * c, 300.5f - kTileStepY * l, kBonusLabels[i]);
    }
  });
}

void DrawPageTitle(const char* heading) {
  gTextColour = 2;
  gTextAngle = kTextTurn;
  gTextAlpha = (4 + 3 * std::sin(5 * gMenuClock)) * (1 - gMenuDim);
  PrintText2(15, 530, 1, "%s", heading);
}

// The level line (unless `level` is negative), the points line and its caption.
void DrawPointsBlock(int level, int points, bool gain, const char* caption) {
  gTextAlpha = 1 - gMenuDim;
  gTextColour = 1;
  if (level >= 0) PrintText2(80, 400, 1, kLevelFormat, level);
  char text[16];
  FormatPoints(text, points, gain);
  PrintText2(600, 110, 1, "%s", text);
  PrintRaised(653, 103.5f, caption);
}

void ResetTextStyle() {
  gTextAngle = 0;
  gTextColour = 0;
  gTextAlpha = 1;
  glColor4f(1, 1, 1, 1);
}

}  // namespace

int RatingLevelAfterBonus(int ratingLevel, float careerPoints, float raceSum) {
  const float reached = std::floor((careerPoints + raceSum) / kPointsPerRatingLevel);
  return ratingLevel + int(std::clamp(reached, 0.0f, float(kMaxLevelsPerBooking)));
}

void BookRaceBonus(CareerRecord& career, float (&raceBonus)[kBonusSlotCount]) {
  float sum = 0;
  for (int kind = 0; kind < kBonusSlotCount; ++kind) {
    sum += raceBonus[kind];
    career.bonusTotals[kind] = std::min(career.bonusTotals[kind] + raceBonus[kind], kMaxCareerAmount);
  }
  // Bounded like the cash, so that the levels below are counted in a few steps.
  sum = std::min(sum, kMaxCareerAmount);
  career.careerPoints += sum;
  career.cash = std::min(career.cash + sum, kMaxCareerAmount);
  while (career.careerPoints >= kPointsPerRatingLevel) {
    career.ratingLevel = std::min(career.ratingLevel + 1, kMaxRatingLevel);
    career.careerPoints -= kPointsPerRatingLevel;
    for (float& total : career.bonusTotals) total = total >= kPointsPerRatingLevel ? total - kPointsPerRatingLevel : 0.0f;
  }
  std::fill(std::begin(raceBonus), std::end(raceBonus), 0.0f);
}

void DrawProfilePage() {
  DrawBlurredGarage(0.9f * (1 - gMenuDim));
  DrawDriftingBands();
  MenuButton(kCornerBackX, kLowButtonRowY, "Back", ButtonKind::Back, 0);
  DrawBonusTiles(gBonusTotals, false);
  DrawPageTitle(kProfileHeading);
  gTextAngle = 0;
  DrawPointsBlock(gRatingLevel, int(gCareerPoints), false, kTotalPoints);
  ResetTextStyle();
}

void DrawRaceBonusPage() {
  DrawBlurredGarage(1 - gMenuDim);
  MenuButton(kFirstButtonX, kButtonRowY, "Next", ButtonKind::Confirm, 4);
  DrawBonusTiles(gRaceBonus, true);
  DrawPageTitle(kResultsHeading);
  gTextAngle = 0;
  float sum = 0;
  for (const float points : gRaceBonus) sum += points;
  const int shown = int(sum * std::min(1.0f, 0.2f * gScreenClock));
  // The level line belongs to a career.
  const int level = gGameMode == kGameModeCareer ? RatingLevelAfterBonus(gRatingLevel, gCareerPoints, sum) : -1;
  DrawPointsBlock(level, shown, true, kEarnedPoints);
  ResetTextStyle();
}
