// Race loading, FINISH and RESULTS. Read the loader hand-over, the game
// mode and the racer records (after the simulation has stopped); draw tex07
// (logo), the page backdrop, the place texts, the results table and the
// buttons in the current 800 x 600 frame; leave blending on and 2-D
// texturing on.
#include "ui/race_results.h"

#include <algorithm>
#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/lock_step.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "ui/career_screens.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"
#include "ui/race_finish.h"
#include "ui/race_hud.h"
#include "ui/route_map.h"
#include "world/catalogue.h"

namespace {

namespace S = ScreenState;

constexpr float kSettledFade = 0.999f;

// Results table columns and rows.
constexpr float kRowTop = 305.0f, kRowStep = 35.0f;
constexpr float kPlaceColumn = 52.0f, kCarColumn = 203.0f, kTimeColumn = 357.0f, kBestColumn = 559.0f;

void FadeLoadingSign(bool loading) {
  gLoadingAlpha = std::clamp(gLoadingAlpha + (loading ? kLoadingFadeStep : -kLoadingFadeStep) * gFrameFactor, 0.0f, 1.0f);
}

// The track's answer: the route drawn for the minimap, the race's own
// flags cleared, and the race started in this frame with the bit hand-over.
void StartLoadedRace() {
  RenderRouteMap();
  ClearRaceOverlayFlags();
  PublishRaceStart();
}

// The loaders could not build the race and have loaded the garage again:
// back to where the race was chosen, with a word to the player.
void LeaveFailedRace() {
  gLoaderStatus = LoaderStatus::Idle;
  gTargetScreen = gGameMode == kGameModeQuickRace ? S::QuickRace : S::Garage;
  Sys_MessageBox("Zarnok Racing", "The race could not be loaded.", MessageIcon::Stop);
}

void RacerInputs(RacerResultInput (&inputs)[kRacerCount]) {
  for (int i = 0; i < kRacerCount; ++i) {
    const Racer& car = gRacers[i];
    inputs[i].raceTime = {car.raceMinutes, car.raceSeconds, car.raceHundredths};
    inputs[i].bestLap = {car.bestLapMinutes, car.bestLapSeconds, car.bestLapHundredths};
    inputs[i].carIndex = car.carKind;
    inputs[i].progress = car.progress;
  }
}

void DrawPlaceText(float y, float alpha) {
  const char* text = PlaceText(gRacers[0].place);
  if (text) DrawFontText(740 + 500 * gMenuSlide, y, 3, alpha, 1, 2.25f, true, kAlignRight, "%s", text);
}

}  // namespace

void ClearRaceOverlayFlags() {
  gFinishBooked = 0;
  gCountdownStep = 0;
  gHudSpeed = 0.0f;
}

RaceTime AddHundredths(RaceTime time, float hundredths) {
  time.hundredths += hundredths;
  const int carried = static_cast<int>(time.hundredths / 100.0f);
  time.hundredths -= float(carried) * 100.0f;
  time.seconds += carried;
  time.minutes += time.seconds / 60;
  time.seconds %= 60;
  return time;
}

void BuildResultRows(const RacerResultInput (&racers)[kRacerCount], ResultRow (&rows)[kRacerCount]) {
  float leader = 0.0f;
  for (const RacerResultInput& racer : racers) leader = std::max(leader, racer.progress);
  for (int i = 0; i < kRacerCount; ++i) {
    const RacerResultInput& racer = racers[i];
    ResultRow& row = rows[i];
    row.raceTime = racer.raceTime;
    if (racer.progress < leader) {
      row.raceTime = AddHundredths(racer.raceTime, (leader - racer.progress) * kHundredthsPerProgressUnit);
    }
    row.bestLap = racer.bestLap;
    row.carIndex = racer.carIndex;
    row.progress = racer.progress;
    row.racer = i;
  }
  std::stable_sort(std::begin(rows), std::end(rows),
                   [](const ResultRow& a, const ResultRow& b) { return a.progress > b.progress; });
}

const char* PlaceText(int place) {
  static const char* const kTexts[4] = {"1 PLACE!", "2 PLACE!", "3 PLACE!", "4 PLACE!"};
  return place >= 1 && place <= 4 ? kTexts[place - 1] : nullptr;
}

void DrawRaceLoading() {
  WithGlCapabilities(kOpaqueTexturing, [&] {
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kLogoTexture);
    DrawTexturedQuad(240, 50, 760, 310, 0, 0, 1, 1);
  });
  const int status = gLoaderStatus;
  if (status == LoaderStatus::Idle) gLoadingAlpha = 0.0f;
  FadeLoadingSign(status == LoaderStatus::LoadTrack);
  DrawLoadingIndicator(730, 525, gMenuClock, gLoadingAlpha);
  if (status == LoaderStatus::TrackLoaded) StartLoadedRace();
  if (status == LoaderStatus::TrackFailed) LeaveFailedRace();
}

void DrawRaceFinishScreen() {
  DrawPageBackdrop("FINISH", BackdropSteps::WithHeading);
  const char* text = PlaceText(gRacers[0].place);
  if (text) DrawFontText(400 + 500 * gMenuSlide, 300, 3, 1, 1, 2.25f, true, kAlignCentre, "%s", text);
  DrawLoadingIndicator(730, 75, gMenuClock, gScreenFade);
  // The garage is asked for only while the loader is idle, so neither a
  // pending request nor the worker's answer is written over.
  if (gScreenFade >= kSettledFade && gLoaderStatus == LoaderStatus::Idle) gLoaderStatus = LoaderStatus::LoadGarage;
  if (gLoaderStatus == LoaderStatus::GarageLoaded) {
    gLoaderStatus = LoaderStatus::Idle;
    gTargetScreen = S::RaceResults;
    gScreenFade = -1.0f;
    gMenuCursorOnEntry = 0;
    gFreeCamera = 0;
  }
}

void DrawRaceResults() {
  DrawPageBackdrop(nullptr, BackdropSteps::WithCornerIcon);
  const float pulse = std::min(1.0f, (4 + 3 * std::sin(5 * gMenuClock)) * (1 - gMenuDim));
  DrawFontText(740 + 500 * gMenuSlide, 540, 3, pulse, 1, 2.25f, true, kAlignRight, "RESULTS");
  DrawPlaceText(490, pulse);
  MenuButton(kFirstButtonX, kButtonRowY, "Next", ButtonKind::Confirm, 4);

  RacerResultInput inputs[kRacerCount];
  RacerInputs(inputs);
  ResultRow rows[kRacerCount];
  BuildResultRows(inputs, rows);
  const float alpha = 1 - gMenuDim;
  DrawFontText(400, 340, 3, alpha, 2, 1.25f, true, kAlignCentre, "POSITION   CAR          TIME          BEST");
  for (int k = 0; k < kRacerCount; ++k) {
    const ResultRow& row = rows[k];
    const float y = kRowTop - kRowStep * float(k);
    const int colour = k % 2 == 0 ? 4 : 0;
    DrawFontText(kPlaceColumn, y, colour, alpha, 1, 1.25f, true, kAlignLeft, "%2i Place", k + 1);
    DrawFontText(kCarColumn, y, colour, alpha, 1, 1.25f, true, kAlignLeft, "%s", CarName(row.carIndex));
    DrawFontText(kTimeColumn, y, colour, alpha, 1, 1, true, kAlignLeft, "%2i:%02i.%02i", row.raceTime.minutes,
                 row.raceTime.seconds, static_cast<int>(row.raceTime.hundredths));
    DrawFontText(kBestColumn, y, colour, alpha, 1, 1, true, kAlignLeft, "%2i:%02i.%02i", row.bestLap.minutes,
                 row.bestLap.seconds, static_cast<int>(row.bestLap.hundredths));
  }
}
