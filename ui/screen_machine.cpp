// The screen dispatcher, once per frame outside a race. Reads the screen
// numbers, the fade, the frame factor, the loader hand-over and the
// pointer; draws into the window the garage backdrop, the veil, the side
// panels, the current screen's block and the pointer, all in the 800 x 600
// frame. Leaves the depth test on, blending off, 2-D texturing on, the
// projection as it found it and the model-view matrix the identity.
#include "ui/screen_machine.h"

#include <algorithm>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/gl_state.h"
#include "render/post_passes.h"
#include "render/paint.h"
#include "ui/bonus_pages.h"
#include "ui/career_screens.h"
#include "ui/info_page.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_screens.h"
#include "ui/menu_state.h"
#include "ui/options.h"
#include "ui/page_backdrop.h"
#include "ui/part_dialogs.h"
#include "ui/pause.h"
#include "ui/race_results.h"
#include "ui/screens.h"
#include "ui/shops.h"
#include "ui/splash_screen.h"
#include "world/catalogue.h"
#include "world/race_state.h"

namespace {

namespace S = ScreenState;

constexpr float kPointerSize = 20.0f;  // frame units
// The veil that lightens the garage while a screen fades.
constexpr float kVeilGrey = 0.92f;

// Where the competition selector starts for each competition: row, column.
constexpr int kCompetitionCell[6][2] = {{0, 2}, {0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 0}};

void SetUpEnteredScreen(int screen) {
  if (screen == S::Competitions) {
    const int competition = gCompetitionIndex >= 0 && gCompetitionIndex < 6 ? gCompetitionIndex : 0;
    gSelectedRow = kCompetitionCell[competition][0];
    gSelectedColumn = kCompetitionCell[competition][1];
  }
  if (screen == S::SelectRace) {
    gSelectedRow = 0;
    gSelectedColumn = 0;
  }
  if (screen == S::Information) {
    gSelectedRow = gTrackListIndex;
    if (gTrackListIndex >= 0 && gTrackListIndex <= 2) gSelectedColumn = gTrackListStage[gTrackListIndex] - 1;
  }
  if (screen == S::RaceLoading && gSoundOn) gSndMenuLoading.Play();
}

void SwitchToTarget() {
  if (gScreen == S::RaceBonus && gTargetScreen == S::Garage) BookRaceBonus(gCareer, gRaceBonus);
  gScreenFade = 0.0f;
  gScreenClock = 0.0f;
  gScreen = static_cast<int32_t>(gTargetScreen);
  gMenuCursor = gMenuCursorOnEntry;
  gListAngle = 0.0f;
  ResetMenuHover();
  if (gScreen != S::Racing) gSettleSound = 1;
  SetUpEnteredScreen(gScreen);
}

// The window is copied every frame unless the input is locked; while the
// player's truck is rebuilt the copy stands over the frame and then
// dissolves.
void DrawStillFrame() {
  glBindTexture(GL_TEXTURE_2D, gScreenTexture2D);
  if (!gInputLocked) glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, gScreenWidth, gScreenHeight, 0);
  if (gCarChangeProgress > 0.0f) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, gCarChangeProgress);
    DrawTexturedQuad(0, 0, kFrameWidth, kFrameHeight, 0, 0, 1, 1);
  }
}

void DrawVeil() {
  WithGlCapabilities({{GL_TEXTURE_2D, false}}, [] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(kVeilGrey, kVeilGrey, kVeilGrey, gVeilAlpha);
    DrawQuad(0, 0, kFrameWidth, kFrameHeight);
  });
}

// The pointer's tip is the top-left corner of its quad.
void DrawPointer() {
  PointerInFrame(gResolutionIndex, gCursorPos.x, gCursorPos.y, &gMouseX, &gMouseY);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(1, 1, 1, 1);
  BindMenuTexture(kPointerTexture);
  const float x = float(gMouseX), y = kFrameHeight - kPointerSize - float(gMouseY);
  DrawTexturedQuad(x, y, x + kPointerSize, y + kPointerSize, 0, 0, 1, 1);
}

void DrawScreenBlock(int screen) {
  switch (screen) {
    case S::MainMenu: DrawMainMenu(); break;
    case S::CareerMenu: DrawCareerMenu(); break;
    case S::NewCareerConfirm: DrawNewCareerConfirm(); break;
    case S::EnterName: DrawEnterName(); break;
    case S::QuitConfirm: DrawQuitConfirm(); break;
    case S::Garage: DrawGarageHub(); break;
    case S::Competitions: DrawCompetitions(); break;
    case S::SelectRace: DrawSelectRace(); break;
    case S::QuickRace: DrawQuickRace(); break;
    case S::RaceLoading: DrawRaceLoading(); break;
    case S::RaceFinish: DrawRaceFinishScreen(); break;
    case S::RaceResults: DrawRaceResults(); break;
    case S::InfoPage: DrawInfoPage(); break;
    case S::Information: DrawClassInformationPage(); break;
    case S::Profile: DrawProfilePage(); break;
    case S::RaceBonus: DrawRaceBonusPage(); break;
    case S::Options: DrawOptionsMenu(); break;
    case S::GraphicsOptions: DrawGraphicsOptions(); break;
    case S::AudioOptions: DrawAudioOptions(); break;
    case S::ControlsOptions: DrawControlsOptions(); break;
    case S::TuningMenu: DrawTuningMenu(); break;
    case S::EngineTuning:
    case S::SuspensionTuning:
    case S::TurboTuning: DrawPackageShop(screen); break;
    case S::CarShop: DrawCarShop(); break;
    case S::PaintShop: DrawPaintShop(); break;
    case S::Pause: DrawPauseScreen(); break;
    default:
      if (S::IsPartDialog(screen)) DrawPartDialog(screen);
      break;
  }
}

}  // namespace

void AdvanceScreenFade(float frameFactor) {
  if (gScreen == gTargetScreen) {
    gScreenFade = std::min(1.0f, gScreenFade + kFadeStep * frameFactor);
    gScreenClock += 0.01f * frameFactor;
    return;
  }
  gScreenFade -= kFadeStep * frameFactor;
  gSettleSound = 0;
  if (gScreenFade <= 0.0f) SwitchToTarget();
}

void UpdateAndDrawScreens() {
  gMenuClock += 0.01f * gFrameFactor;
  if (gScreen == S::Splash) {
    UpdateAndDrawSplash();
    return;
  }
  AdvanceScreenFade(gFrameFactor);
  const FadeCurves curves = ComputeFadeCurves(gScreenFade);
  gMenuSlide = curves.slide;
  gMenuDim = curves.dim;
  gHdrMenuDim = gMenuDim;
  gLateFade = curves.lateFade;
  gVeilAlpha = curves.veil;
  gMenuAlpha = curves.alpha;
  gTextAlpha = gMenuAlpha;
  glColor4f(1, 1, 1, 1);
  // A repaint request is written by nothing in the game; served, it composes.
  ServeRepaintRequest();
  if (gSettleSound && gScreen == gTargetScreen) {
    gSettleSound = 0;
    if (gSoundOn) gSndMenuSettled.Play();
  }
  const int screen = gScreen;
  const bool garageShown = screen != S::Pause && screen != S::RaceLoading && screen != S::RaceFinish;
  if (garageShown && gLoaderStatus == LoaderStatus::Idle) RenderGarageScene();
  // Drawn whether or not the garage was: the loading and race screens keep
  // the last picture composed behind them.
  const bool frozenRace = screen == S::Pause || screen == S::RaceFinish;
  DrawGarageSceneOnWindow(frozenRace && gMotionBlur == 1);

  BeginOverlayFrame();
  // The screens draw textured and blended unless a widget says otherwise.
  WithGlCapabilities(kBlendedTexturing, [screen] {
    DrawStillFrame();
    DrawVeil();
    DrawSidePanels(1, 1, 1, 0.85f);
    DrawScreenBlock(screen);
  });
  CheckCarSetupChanged();
  if (gCarChangeProgress > 0.0f && gLoaderStatus == LoaderStatus::Idle) {
    gCarChangeProgress -= 0.01f * gFrameFactor;
    if (gCarChangeProgress <= 0.0f) {
      gCarChangeProgress = 0.0f;
      gInputLocked = 0;
    }
  }
  gTextAlpha = 1.0f;
  WithGlCapabilities(kBlendedTexturing, DrawPointer);
  EndOverlayFrame();
}
