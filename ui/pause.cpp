// The pause screen. Reads the loader hand-over, the game mode and the
// fade; draws the page backdrop, three buttons and the LOADING sign in the
// current 800 x 600 frame over the last race picture; leaves blending on,
// the text colour scheme 0 and the text alpha 1.
#include "ui/pause.h"

#include <algorithm>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/lock_step.h"
#include "ui/menu_button.h"
#include "ui/menu_state.h"
#include "ui/option_widgets.h"
#include "ui/page_backdrop.h"
#include "ui/race_results.h"

namespace {

namespace S = ScreenState;

// A fade of -1 switches in the next frame without a visible fade-out.
constexpr float kSwitchAtOnce = -1.0f;

bool LoadPending(int status) { return status == LoaderStatus::LoadTrack || status == LoaderStatus::LoadGarage; }

int ScreenAfterRace(int gameMode) {
  if (gameMode == kGameModeTrackList) return S::Information;
  if (gameMode == kGameModeQuickRace) return S::QuickRace;
  return S::Garage;
}

}  // namespace

void TakePauseLoaderAnswer() {
  const int status = gLoaderStatus;
  if (status == LoaderStatus::Idle) gLoadingAlpha = 0.0f;
  const float step = kLoadingFadeStep * gFrameFactor;
  gLoadingAlpha = std::clamp(gLoadingAlpha + (LoadPending(status) ? step : -step), 0.0f, 1.0f);
  if (status == LoaderStatus::TrackLoaded) {
    // The race starts at once, with a simulation step before its first
    // frame, and with the finish booking and the countdown of a new race.
    ClearRaceOverlayFlags();
    PublishRaceStart();
    gScreenFade = 0.0f;
  } else if (status == LoaderStatus::GarageLoaded || status == LoaderStatus::TrackFailed) {
    // A restart whose track cannot be loaded has the garage loaded again:
    // it ends like a quit rather than leaving the pause waiting.
    gLoaderStatus = LoaderStatus::Idle;
    gTargetScreen = ScreenAfterRace(gGameMode);
    gScreenFade = kSwitchAtOnce;
    gMenuCursorOnEntry = gGameMode == kGameModeTrackList ? gTrackListStage[0] - 1 : 0;
    gFreeCamera = 0;
  }
}

void DrawPauseScreen() {
  DrawPageBackdrop("PAUSE", BackdropSteps::WithHeading);
  MenuButton(190, 300, "Race", ButtonKind::Back, 0);
  MenuButton(335, 300, "Restart", ButtonKind::One, 1);
  MenuButton(480, 300, "Quit", ButtonKind::Two, 2);
  gTextColour = 0;
  gTextAlpha = 1.0f;
  TakePauseLoaderAnswer();
  DrawLoadingIndicator(730, 75, gMenuClock, gLoadingAlpha);
}
