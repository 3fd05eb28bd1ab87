// Menu buttons. Reads the pointer, the keys, the fade and the loader
// hand-over; draws the plate (tex22), the icon (tex24) and the caption with
// alpha blending in the current 800 x 600 frame; leaves blending off.
#include "ui/menu_button.h"

#include <algorithm>
#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/random.h"
#include "framework/sound.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/garage_camera.h"
#include "render/gl_state.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "world/catalogue.h"
#include "world/new_career.h"
#include "world/race_state.h"

uint8_t gMenuHover[kButtonSlotCount];
float gMenuGlow[kButtonSlotCount];

namespace {

constexpr float kButtonWidth = 128.0f;
constexpr float kHitBottom = 7.0f, kHitTop = 27.0f;  // above the reference corner
constexpr float kGlowFall = 0.02f;                   // per frame-factor unit
constexpr int kQuickRaceCarCount = kCatalogueSize;

int KeyOfKind(int kind) {
  static constexpr int kKeys[] = {vk::kEscape, '1', '2', '3', vk::kEnter};
  return kind >= 0 && kind <= 4 ? kKeys[kind] : 0;
}

void PlaySounds(MenuSound sound) {
  if (!gSoundOn) return;
  switch (sound) {
    case MenuSound::None: break;
    case MenuSound::Transition:
      gSndMenuClick.Play();
      gSndMenuChange.Play();
      break;
    case MenuSound::Click: gSndMenuClick.Play(); break;
    case MenuSound::Purchase:
      gSndMenuPurchase.Play();
      gSndMenuChange.Play();
      break;
    case MenuSound::Refusal: gSndMenuRefusal.Play(); break;
    case MenuSound::RefusalUnlessPlaying:
      if (!gSndMenuRefusal.IsPlaying()) gSndMenuRefusal.Play();
      break;
  }
}

void DrawButton(float x, float y, const char* text, int kind, int slot) {
  const float a = gMenuAlpha * (1.0f - gMenuDim);
  const float g = gMenuGlow[slot];
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, a);
    BindMenuTexture(kButtonPlateTexture);
    DrawTexturedQuad(x - 44, y - 16, x + 148, y + 48, 0, 0, 1, 1);
    BindMenuTexture(kButtonIconsTexture);
    DrawTexturedQuad(x + 94 - 4 * g, y - 2 - 4 * g, x + 135 + 4 * g, y + 39 + 4 * g, 0.2f * kind, 0,
                     0.2f * (kind + 1), 1);
    glPushMatrix();
    glTranslatef(x + 50, y + 17.5f, 0);
    ApplyTremble(gMenuClock, g);
    DrawFontText(0, 0, gMenuHover[slot] ? 3 : 1, a, 1, 0.85f, true, kAlignCentre, "%s", text);
    glPopMatrix();
  });
}

}  // namespace

bool ButtonPressAllowed(const PressGate& gate) {
  return gate.fade >= kFadeReady && gate.settled && !gate.inputLocked &&
         gate.loaderStatus == LoaderStatus::Idle && (gate.keyDown || gate.clicked) && !gate.keyLatch;
}

bool PointerOverButton(float x, float y, int mouseX, int mouseY) {
  return x < mouseX && mouseX < x + kButtonWidth && kFrameHeight - (y + kHitTop) < mouseY &&
         mouseY < kFrameHeight - (y + kHitBottom);
}

void MenuButton(float x, float y, const char* text, int kind, int slot) {
  if (slot < 0 || slot >= kButtonSlotCount) return;
  bool over = false;
  if (ScreenSettled() && PointerOverButton(x, y, gMouseX, gMouseY)) {
    over = true;
    if (!gMenuHover[slot] && gSoundOn) gSndMenuHover.Play();
    gMenuHover[slot] = 1;
    gNotOverButton = 0;
  } else {
    gMenuHover[slot] = 0;
  }
  const PressGate gate = {gScreenFade, gScreen == gTargetScreen, gInputLocked != 0, gLoaderStatus,
                          gKeys[KeyOfKind(kind)] != 0, gLeftButton && over, gKeyLatch != 0};
  if (ButtonPressAllowed(gate)) {
    gKeyLatch = 1;
    gMenuGlow[slot] = 1.0f;
    ApplyTransition(ButtonTransition(gScreen, kind, CurrentTransitionInputs()));
  }
  if (gMenuHover[slot]) {
    gMenuGlow[slot] = 1.0f;
  } else {
    gMenuGlow[slot] = std::max(0.0f, gMenuGlow[slot] - kGlowFall * gFrameFactor);
  }
  DrawButton(x, y, text, kind, slot);
}

void ResetMenuHover() {
  std::fill(std::begin(gMenuHover), std::end(gMenuHover), 0);
  gFreeCamera = 0;
}

TransitionInputs CurrentTransitionInputs() {
  TransitionInputs in;
  in.gameMode = gGameMode;
  in.cash = gCash;
  in.menuCursor = gMenuCursor;
  in.newCareer = gNewCareer != 0;
  in.settingsChanged = gSettingsChanged != 0;
  in.trackListIndex = gTrackListIndex;
  std::copy(std::begin(gTrackListStage), std::end(gTrackListStage), in.trackListStage);
  in.competitionIndex = gCompetitionIndex;
  in.playerCarIndex = gPlayerCarIndex;
  in.packageLevels[0] = gPlayerCarSetup.enginePackage;
  in.packageLevels[1] = gPlayerCarSetup.suspensionPackage;
  in.packageLevels[2] = gPlayerCarSetup.turboPackage;
  in.ownedCarIndex = gCareerCarIndex;
  in.ownedPackageLevels[0] = gCareerCarSetup.enginePackage;
  in.ownedPackageLevels[1] = gCareerCarSetup.suspensionPackage;
  in.ownedPackageLevels[2] = gCareerCarSetup.turboPackage;
  in.priceTables = gPriceTables;
  in.quickRaceTruckReady = gPlayerCarIndex == gQuickRaceCar && gBuiltCarIndex[0] == gPlayerCarIndex;
  in.previewBuilt = gPlayerCarIndex == gMenuCursor && gBuiltCarIndex[0] == gPlayerCarIndex;
  return in;
}

void ApplyTransition(const Transition& t) {
  if (!t.matched) return;
  if (t.newCareerReset) NewCareer();
  if (t.price > 0) gCash = gCash - t.price;
  if (t.fitPackage >= 0) {
    int32_t* packages[] = {&gPlayerCarSetup.enginePackage, &gPlayerCarSetup.suspensionPackage,
                           &gPlayerCarSetup.turboPackage};
    *packages[t.fitPackage] = std::clamp(t.packageLevel, 0, kMaxPackageLevel);
  }
  if (t.storeCarSetup) StoreCarSetup();
  if (t.restoreCarSetup) RestoreCarSetup();
  if (t.selectCatalogueCar >= 0) SelectCatalogueCar(t.selectCatalogueCar);
  if (t.gameMode >= 0) gGameMode = t.gameMode;
  if (t.clearNewCareer) gNewCareer = 0;
  if (t.quickRaceTrackRange > 0) {
    gQuickRaceTrack = Random() % t.quickRaceTrackRange + 1;
    gQuickRaceCar = Random() % kQuickRaceCarCount;
  }
  if (t.startDirectRace) {
    gCareerCarIndex = 0;
    gCompetitionIndex = 0;
    gCompetitionRace = 1;
    gCarPowerFactor = kDirectRaceFactor;
    gCarHandlingFactor = kDirectRaceFactor;
    gCarTurboFactor = kDirectRaceFactor;
  }
  if (t.resumeRace) {
    if (gSoundOn) ResumeAllSounds();
    gFreeCamera = 0;
    if (gMusicOn) gMusic.Play();
  }
  if (t.freeCameraOff) gFreeCamera = 0;
  if (t.waitingForKey >= 0) gWaitingForKey = static_cast<uint8_t>(t.waitingForKey);
  if (t.acceptSettings) gSettingsAccepted = 1;
  if (t.resetSelectedRow) gSelectedRow = 0;
  if (t.openGraphics) {
    gSettingsChanged = 0;
    gPendingResolutionIndex = gResolutionIndex;
  }
  if (t.copyKeyBindings) std::copy(std::begin(gKeyBindings), std::end(gKeyBindings), gPendingKeyBindings);
  if (t.quit) gQuitRequested = 1;
  if (t.target >= 0) gTargetScreen = t.target;
  if (t.entryRow >= 0) gMenuCursorOnEntry = t.entryRow;
  if (t.loaderRequest >= 0) gLoaderStatus = t.loaderRequest;
  PlaySounds(t.sound);
}
