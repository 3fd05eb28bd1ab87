// The garage hub, competitions, race selection and quick race. Read the
// career, the player's live set-up, the race paths and the loader
// hand-over; draw tex16 (card), tex40 (hint badge), tex10 and tex23
// (boards), tex59 (competition icons), tex26 (stamps), tex24 (cup), tex19
// (icon strip), the route map, texts, bars and buttons in the current
// 800 x 600 frame; leave blending on and 2-D texturing on.
#include "ui/career_screens.h"

#include <algorithm>
#include <cstring>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_list.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"
#include "ui/route_map.h"
#include "world/catalogue.h"
#include "world/race_path.h"
#include "world/race_state.h"

namespace {

constexpr float kIconCell = 0.166f;  // width of one of tex59's six cells
constexpr float kCarSelectFade = 0.999f;
constexpr float kWaypointKm = 7.0f / 1000.0f;
constexpr int kLockStampOpenCount = 2;  // stamps show while at most this many are open

struct CompetitionTile {
  const char* name;
  float x, y;   // centre in the board frame
  int iconCell;
  const char* lines[3];  // first line, second line, or the one line
};

constexpr CompetitionTile kTiles[kCompetitionCount] = {
    {"STEPPE BISONS", 567, 173, 2, {"STEPPE", "    BISONS", nullptr}},
    {"\xD2" "2 EXTREME", 321, 173, 1, {nullptr, nullptr, "\xD2" "2 EXTREME"}},
    {"LOCAL CONTEST", 71, 173, 0, {"LOCAL", "          CONTEST", nullptr}},
    {"PRO RALLY", 445, 324, 4, {"PRO", "          RALLY", nullptr}},
    {"POTHOLES", 196, 324, 3, {nullptr, nullptr, "POTHOLES"}},
    {"ZARNOK", 320, 475, 5, {"ZARNOK", nullptr, nullptr}},
};

// Race cards' anchors, races 1..4.
constexpr float kCardAnchor[4][2] = {{329, 245}, {579, 245}, {329, 395}, {579, 395}};

int CurrentCompetition() { return std::clamp(int(gCompetitionIndex), 0, kCompetitionCount - 1); }

void DrawHint(float x, float y, int textColour, const char* text) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  WithGlCapabilities(kOpaqueTexturing, [&] {
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kHintBadgeTexture);
    DrawCentredQuad(50, 50, 0, 0, 1, 1);
    DrawFontText(0, 0, 2, 1, 1, 1.75f, false, kAlignCentre, "i");
    DrawFontText(25, 0, textColour, 1, 1, 0.75f, textColour == 1, kAlignLeft, "%s", text);
  });
  glPopMatrix();
}

void DrawCard() {
  WithGlCapabilities(kOpaqueTexturing, [&] {
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kProfileCardTexture);
    glPushMatrix();
    glTranslatef(-1, -65, 0);
    DrawCentredQuad(210, 280, 0, 0, 1, 1);
    glPopMatrix();
  });
}

// The car's name and its three rating bars, in the card's frame.
void DrawCarRatings(int carIndex) {
  const float a = gMenuAlpha;
  DrawFontText(-70, -35, 4, a, 1, 0.7f, false, kAlignLeft, "Car");
  DrawFontText(-70, -50, 0, a, 1, 1.25f, false, kAlignLeft, "%s", CarName(carIndex));
  DrawFontText(-70, -65, 1, a, 1, 0.75f, false, kAlignLeft, "Power");
  DrawFontText(-70, -85, 1, a, 1, 0.75f, false, kAlignLeft, "Handling");
  DrawFontText(-70, -105, 1, a, 1, 0.75f, false, kAlignLeft, "Turbo");
  ComputeRatingFactors();
  const float factors[3] = {gCarPowerFactor, gCarHandlingFactor, gCarTurboFactor};
  for (int i = 0; i < 3; ++i) {
    glPushMatrix();
    glTranslatef(-70, -77 - 20 * float(i), 0);
    DrawValueBar(factors[i], i);
    glPopMatrix();
  }
}

// The LOADING sign while the player's truck is rebuilt.
void DrawTruckLoading() {
  const bool loading = gLoaderStatus == LoaderStatus::LoadStartupOrPlayerCar;
  gLoadingAlpha = std::clamp(gLoadingAlpha + (loading ? kLoadingFadeStep : -kLoadingFadeStep) * gFrameFactor, 0.0f, 1.0f);
  DrawLoadingIndicator(400, 335, gMenuClock, gLoadingAlpha);
}

void DrawIconCell(int texture, int cell, float size) {
  BindMenuTexture(texture);
  DrawCentredQuad(size, size, kIconCell * float(cell), 0, kIconCell * float(cell) + kIconCell, 1);
}

void DrawCup(float x, float y) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  BindMenuTexture(kButtonIconsTexture);
  DrawCentredQuad(80, 80, 0.6f, 0, 0.8f, 1);
  glPopMatrix();
}

void DrawCompetitionTile(int competition, bool locked) {
  const CompetitionTile& tile = kTiles[competition];
  const float fade = 1 - gMenuDim;
  glPushMatrix();
  glTranslatef(tile.x, tile.y, 0);
  glColor4f(1, 1, 1, fade);
  DrawIconCell(kCompetitionIconsTexture, tile.iconCell, 50);
  if (locked) {
    glPushMatrix();
    glTranslatef(165, 20, 0);
    glRotatef(-25, 0, 0, 1);
    glScalef(1 + gLockedFlash, 1 + gLockedFlash, 1);
    BindMenuTexture(kPlaceStampsTexture);
    DrawCentredQuad(100, 50, 0.75f, 0, 1, 1);
    glPopMatrix();
  }
  const float a = gMenuAlpha;
  const float scale = competition == 3 ? 0.8f : 0.9f;
  if (tile.lines[0]) DrawFontText(38, 0, 1, a, 2, scale, true, kAlignLeft, "%s", tile.lines[0]);
  if (tile.lines[1]) DrawFontText(38, -17, 1, a, 2, scale, true, kAlignLeft, "%s", tile.lines[1]);
  if (tile.lines[2]) DrawFontText(38, -8, 1, a, 2, scale, true, kAlignLeft, "%s", tile.lines[2]);
  DrawFontText(8, -43, 1, a, 1, 0.85f, true, kAlignLeft, "Wins");
  DrawFontText(100, -42, 3, a, 1, 1.2f, false, kAlignLeft, "%i / 4", CompetitionWins(gBestPlace, competition));
  glPopMatrix();
}

void DrawRaceCard(int competition, int race, float lengthKm) {
  const int slot = competition * kRacesPerCompetition + race - 1;
  const float x = kCardAnchor[race - 1][0], y = kCardAnchor[race - 1][1];
  const float a = gMenuAlpha;
  DrawFontText(x, y, 1, a, 2, 1.1f, true, kAlignLeft, "RACE %i", race);
  DrawFontText(x + 100, y - 4, 4, a, 2, 0.75f, true, kAlignLeft, "%1.2f \xCA\xCC", lengthKm);
  DrawFontText(x + 5, y - 28, 4, a, 1, 0.7f, true, kAlignLeft, "Wins/races:");
  DrawFontText(x + 127, y - 28, 2, a, 1, 0.75f, true, kAlignLeft, "%2i /%2i", gRaceWins[slot], gRaceStarts[slot]);
  DrawFontText(x + 5, y - 49, 4, a, 1, 0.7f, true, kAlignLeft, "Best:");
  DrawFontText(x + 117, y - 49, 3, a, 2, 0.75f, false, kAlignLeft, "%2i:%02i.%02i", gBestMinutes[slot],
               gBestSeconds[slot], gBestHundredths[slot]);
  const int best = gBestPlace[slot];
  if (best < 1 || best > 3) return;
  WithGlCapabilities(kBlendedTexturing, [&] {
    glColor4f(1, 1, 1, 1 - gMenuDim);
    glPushMatrix();
    glTranslatef(x + 191, y - 25, 0);
    glRotatef(-40, 0, 0, 1);
    BindMenuTexture(kPlaceStampsTexture);
    DrawCentredQuad(80, 40, 0.25f * float(best - 1), 0, 0.25f * float(best), 1);
    glPopMatrix();
  });
}

// The route map of the path in gRacePath as a black preview.
void DrawRoutePreview(float x, float y, float halfSize, float r, float g, float b) {
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(r, g, b, gMenuAlpha);
    DrawRouteMapPreview(x, y, halfSize);
  });
}

}  // namespace

float RatingFactor(float base, int level) { return std::min(1.0f, base + kPackageRatingStep * float(level)); }

void ComputeRatingFactors() {
  const CarSetup& s = gPlayerCarSetup;
  gCarPowerFactor = RatingFactor(s.powerRating, s.enginePackage);
  gCarHandlingFactor = RatingFactor(s.handlingRating, s.suspensionPackage);
  gCarTurboFactor = RatingFactor(s.turboRating, s.turboPackage);
}

const char* CarName(int index) { return index >= 0 && index < kCatalogueSize ? kCarNames[index] : ""; }

float RaceLengthKm(int lastWaypoint) { return float(lastWaypoint) * kWaypointKm; }

int CompetitionWins(const int32_t* bestPlace, int competition) {
  int wins = 0;
  for (int race = 0; race < kRacesPerCompetition; ++race) wins += bestPlace[competition * kRacesPerCompetition + race] == 1;
  return wins;
}

void DrawGarageHub() {
  MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
  DrawHint(80 - 500 * gMenuDim, 475, 1, "Prepare car for competitions.");
  DrawMenuList(3);
  glPushMatrix();
  glTranslatef(500, 150 - 250 * gMenuDim, 0);
  glRotatef(10, 0, 0, 1);
  DrawCard();
  const float a = gMenuAlpha;
  char name[kPlayerNameSize + 1] = {};
  std::memcpy(name, gPlayerName, kPlayerNameSize);
  DrawFontText(-70, 52, 4, a, 1, 0.7f, false, kAlignLeft, "Profile");
  DrawFontText(-70, 37, 0, a, 1, 1.25f, false, kAlignLeft, "%s", name);
  DrawFontText(-65, 16.5f, 1, a, 1, 0.7f, false, kAlignLeft, "Rating level %2i", gRatingLevel);
  DrawFontText(-70, 0, 4, a, 1, 0.7f, false, kAlignLeft, "Cash");
  DrawFontText(-70, -15, 0, a, 1, 1.25f, false, kAlignLeft, "%2i", static_cast<int>(gCash));
  glPushMatrix();
  glTranslatef(-71, 2, 0);
  DrawVerticalBar(gCareerPoints / kPointsPerRatingLevel);
  glPopMatrix();
  DrawCarRatings(gCareerCarIndex);
  glPopMatrix();
  DrawTruckLoading();
}

void DrawCompetitions() {
  DrawPageBackdrop(nullptr, BackdropSteps::WithCornerIcon);
  // The English game draws no heading here (only the Russian one had one).
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glScalef(0.85f, 0.85f, 1);
    glTranslatef(70, 90, 0);
    glColor4f(1, 1, 1, 1 - gMenuDim);
    BindMenuTexture(kCompetitionBoardTexture);
    DrawTexturedQuad(40, 70, 760, 550, 0, 0, 1, 1);
    const bool locked = gCompetitionsOpen <= kLockStampOpenCount;
    for (int c = 0; c < kCompetitionCount; ++c) {
      DrawCompetitionTile(c, locked && c >= 3);
    }
    glPopMatrix();
    glColor4f(1, 1, 1, 1 - gMenuDim);
    DrawCup(710, 60);
    DrawHint(80 - 500 * gMenuDim, 120, 0, "Win all races and get access to new competitions.");
    DrawCompetitionSelector();
    MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
    MenuButton(kSecondButtonX, kButtonRowY, "Select", ButtonKind::Confirm, 4);
  });
}

void DrawSelectRace() {
  const int competition = CurrentCompetition();
  DrawPageBackdrop(nullptr, BackdropSteps::WithCornerIcon);
  DrawHint(61 - 500 * gMenuDim, 520, 0, "Select race");
  float lengths[kRacesPerCompetition];
  for (int race = 1; race <= kRacesPerCompetition; ++race) {
    LoadRacePath(competition * kRacesPerCompetition + race);
    lengths[race - 1] = RaceLengthKm(gRacePathLast);
  }
  const int chosen = std::clamp(int(gCompetitionRace), 1, kRacesPerCompetition);
  LoadRacePath(competition * kRacesPerCompetition + chosen);
  RenderRouteMap();
  DrawRoutePreview(160, 300, 135, 0, 0, 0);
  DrawPageHeading(kTiles[competition].name);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glColor4f(1, 1, 1, 1 - gMenuDim);
    BindMenuTexture(kRaceBoardTexture);
    DrawTexturedQuad(190, 60, 910, 540, 0, 0, 1, 1);
    DrawCup(710, 70);
    for (int race = 1; race <= kRacesPerCompetition; ++race) DrawRaceCard(competition, race, lengths[race - 1]);
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    glTranslatef(88, 535, 0);
    DrawIconCell(kCompetitionIconsTexture, kTiles[competition].iconCell, 100);
    glPopMatrix();
    DrawRaceSelector();
    MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
    MenuButton(kSecondButtonX, kButtonRowY, "Start", ButtonKind::Confirm, 1);
  });
}

void DrawQuickRace() {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 1);
    glPushMatrix();
    glTranslatef(150 - 750 * gMenuDim, 525, 0);
    glRotatef(25, 0, 0, 1);
    BindMenuTexture(kIconStripTexture);
    DrawCentredQuad(140, 140, 0.625f, 0, 0.75f, 1);
    glPopMatrix();
    DrawFontText(60 - 500 * gMenuSlide, 540, 1, gMenuAlpha, 1, 2.25f, true, kAlignLeft, "QUICK RACE");
  });
  LoadRacePath(gQuickRaceTrack);
  RenderRouteMap();
  DrawRoutePreview(640, 420, 145, 1, 1, 1);
  DrawRoutePreview(642, 422, 145, 0, 0, 0);
  DrawHint(80 - 750 * gMenuDim, 470, 1, "Single race on random track.");
  glPushMatrix();
  glTranslatef(640, 150 - 250 * gMenuDim, 0);
  glRotatef(10, 0, 0, 1);
  DrawCard();
  const float a = gMenuAlpha;
  DrawFontText(-70, 45, 4, a, 1, 0.7f, false, kAlignLeft, "Track length");
  DrawFontText(-70, 20, 0, a, 1, 1.25f, false, kAlignLeft, "%1.2f \xCA\xCC", RaceLengthKm(gRacePathLast));
  DrawCarRatings(gQuickRaceCar);
  glPopMatrix();
  MenuButton(kFirstButtonX, kButtonRowY, "Back", ButtonKind::Back, 0);
  MenuButton(kSecondButtonX, kButtonRowY, "Change", ButtonKind::One, 1);
  MenuButton(kThirdButtonX, kButtonRowY, "Start", ButtonKind::Confirm, 4);
  if (ScreenSettled(kCarSelectFade) && !gInputLocked && gPlayerCarIndex != gQuickRaceCar &&
      gLoaderStatus == LoaderStatus::Idle) {
    SelectCatalogueCar(gQuickRaceCar);
  }
  DrawTruckLoading();
}
