// The option widgets. Read the arrow keys, the pointer, the fade and the
// settings; draw with tex04 (arrows, LOADING sign), tex13 (selector
// frames), tex34 (bars) and tex35 (row cursor) with alpha blending in the
// current 800 x 600 frame. Leave texture unit 0 active with an identity
// texture matrix, the model-view, texturing and blending as they found
// them.
#include "ui/option_widgets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "ui/menu_button.h"
#include "ui/menu_list.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "ui/transitions.h"

float gValueBars[3] = {0.5f, 0.5f, 0.5f};
float gLevelBar;
float gLockedFlash;

namespace {

namespace S = ScreenState;

constexpr int kFirstArrowSlot = 5;
// The arrows step shadow detail over 0..2; 3 (ultra) comes only from a file.
constexpr int kLastSteppedShadowDetail = 2;
constexpr float kOrange[3] = {1.012f, 0.44f, 0.022f};

int LastOptionRow(int screen) {
  if (screen == S::GraphicsOptions) return 6;
  if (screen == S::ControlsOptions) return 4;
  return 2;
}

bool SelectorKeysOpen() { return ScreenSettled() && !gKeyLatch && !gWaitingForKey; }

// Takes a selector key press: the latch and the step sound.
bool TakeSelectorKey(int key) {
  if (!gKeys[key] || !SelectorKeysOpen()) return false;
  gKeyLatch = 1;
  if (gSoundOn) gSndMenuStep.Play();
  return true;
}

int Cycle(int value, int step, int count) { return ((value + step) % count + count) % count; }

void GraphicsArrow(int row, int step) {
  switch (row) {
    case 0:
      // Only the mode to save: the window and its render targets keep the
      // size in effect until the next start.
      gPendingResolutionIndex = NextSupportedResolution(gPendingResolutionIndex, step, Sys_IsDisplayModeSupported);
      gSettingsChanged = 1;
      break;
    case 1:
      gAntiAliasingChoice = NextAntiAliasing(gAntiAliasingChoice, step);
      gSettingsAccepted = 1;
      break;
    case 2:
      gSightRange = StepOptionValue(gSightRange, step, kSightRangeCount - 1);
      gSightDistance = kSightDistances[gSightRange];
      break;
    case 3:
      gShadowDetail = StepOptionValue(gShadowDetail, step, kLastSteppedShadowDetail);
      gSettingsChanged = 1;
      break;
    case 4: gMotionBlur = !gMotionBlur; break;
    case 5: gSoftParticles = !gSoftParticles; break;
    case 6:
      // Only the setting: the world's textures take it as they are loaded
      // (the track's with the next race, the listed ones and the terrain's
      // at the next start). What is bound here is a menu picture.
      gTextureFiltering = !gTextureFiltering;
      break;
  }
}

void AudioArrow(int row) {
  switch (row) {
    case 0: gSoundOn = !gSoundOn; break;
    case 1:
      gMusicOn = !gMusicOn;
      if (gMusicOn) gMusic.Play();
      else gMusic.Stop();
      break;
    case 2:
      gEaxOn = !gEaxOn;
      gSettingsAccepted = 1;
      break;
  }
}

// A selector frame at (x, y), orange, trembling at full strength.
void DrawSelectorFrame(float x, float y) {
  WithGlCapabilities(kBlendedTexturing, [x, y] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(kOrange[0], kOrange[1], kOrange[2], 1 - gMenuDim);
    BindMenuTexture(kBandsAndFrameTexture);
    glPushMatrix();
    glTranslatef(x, y, 0);
    ApplyTremble(gMenuClock, 1.0f);
    DrawCentredQuad(280, 140, 0, 0, 1, 1);
    glPopMatrix();
  });
}

void DrawBar(float x0, float x1, float y0, float y1, float r, float g, float b) {
  glColor4f(r, g, b, gMenuAlpha);
  DrawTexturedQuad(x0, y0, x1, y1, 0, 0, 1, 1);
}

bool BarsMoving() { return ScreenSettled() && std::abs(gListAngle) < 0.1f; }

}  // namespace

int NextSupportedResolution(int current, int step, bool (*accepted)(int width, int height)) {
  for (int tried = 1; tried < kResolutionCount; ++tried) {
    const int index = Cycle(current, step * tried, kResolutionCount);
    int32_t width = 0, height = 0;
    if (ResolutionSize(index, width, height) && accepted(width, height)) return index;
  }
  return current;
}

int StepOptionValue(int value, int step, int last) {
  const int next = value + step;
  if (next > last) return step > 0 ? 0 : last;
  return next < 0 ? last : next;
}

int NextAntiAliasing(int current, int step) {
  static constexpr int kChoices[] = {0, 2, 4, 8};
  for (int k = 0; k < 4; ++k) {
    if (kChoices[k] == current) return kChoices[Cycle(k, step, 4)];
  }
  return 0;
}

float StepBarValue(float value, float target, bool moving, float frameFactor) {
  if (!moving) return value;
  const float step = std::abs(target - value) * 0.035f * frameFactor;
  return value < target ? value + step : value > target ? value - step : value;
}

void DrawOptionsListCursor() {
  const int screen = gScreen;
  const int last = LastOptionRow(screen);
  if (gMouseMoved && 410 < gMouseX && gMouseX < 610) {
    for (int k = 0; k <= last; ++k) {
      if (gMouseY >= 135 + 40 * k && gMouseY < 172 + 40 * k) {
        gSelectedRow = k;
        gMouseMoved = 0;
      }
    }
  }
  if (TakeSelectorKey(vk::kUp)) gSelectedRow = std::max(0, gSelectedRow - 1);
  if (TakeSelectorKey(vk::kDown)) gSelectedRow = std::min(last, gSelectedRow + 1);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(kOrange[0], kOrange[1], kOrange[2], 1);
    BindMenuTexture(kCursorBarTexture);
    DrawTexturedQuad(396 - 240, 440 - 40 * gSelectedRow - 15, 396 + 240, 440 - 40 * gSelectedRow + 15, 0, 0, 1, 1);
  });
}

void OptionArrowButton(float x, float y, int slot, bool right) {
  if (slot < 0 || slot >= kButtonSlotCount) return;
  const bool over = x - 16 < gMouseX && gMouseX < x + 16 && kFrameHeight - (y + 17) < gMouseY &&
                    gMouseY < kFrameHeight - (y - 15);
  if (over && !gMenuHover[slot] && gSoundOn) gSndMenuHover.Play();
  gMenuHover[slot] = over;
  if (over) gNotOverButton = 0;
  const bool keyDown = gKeys[right ? vk::kRight : vk::kLeft] != 0;
  if ((keyDown || (gLeftButton && over)) && !gKeyLatch) {
    if (gSoundOn) gSndMenuClick.Play();
    const int row = (slot - kFirstArrowSlot) / 2;
    if (row == gSelectedRow) {
      if (gScreen == S::GraphicsOptions) GraphicsArrow(row, right ? 1 : -1);
      if (gScreen == S::AudioOptions) AudioArrow(row);
      if (gScreen == S::PaintShop && row < kPaintZoneCount) gPaintZoneSelected[row] = !gPaintZoneSelected[row];
      gKeyLatch = 1;
      gLeftButton = 0;
    }
  }
  float& glow = gMenuGlow[slot];
  glow = over ? std::min(1.2f, glow + 0.015f * gFrameFactor) : std::max(1.0f, glow - 0.007f * gFrameFactor);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, gMenuAlpha);
    BindMenuTexture(kMenuSignsTexture);
    glPushMatrix();
    glTranslatef(x, y, 0);
    glRotatef(3, 0, 0, 1);
    glScalef(glow, glow, 1);
    if (right) DrawCentredQuad(90, 90, 0.5f, 0, 1, 0.5f);
    else DrawCentredQuad(90, 90, 1, 0, 0.5f, 0.5f);
    glPopMatrix();
  });
}

void DrawCompetitionSelector() {
  static constexpr int kRowWidth[3] = {3, 2, 1};
  static constexpr int kCompetition[3][3] = {{2, 1, 0}, {4, 3, -1}, {5, -1, -1}};
  int& row = gSelectedRow;
  int& column = gSelectedColumn;
  if (TakeSelectorKey(vk::kUp)) {
    row = std::min(2, row + 1);
    const int highestRow = gCompetitionsOpen <= 2 ? 0 : gCompetitionsOpen <= 4 ? 1 : 2;
    if (row > highestRow) {
      row = highestRow;
      gLockedFlash = 0.5f;
    }
  }
  if (TakeSelectorKey(vk::kDown)) {
    const int before = row;
    row = std::max(0, row - 1);
    if (row == 1 && before != 1) column = 0;
  }
  if (TakeSelectorKey(vk::kLeft)) column = std::max(0, column - 1);
  if (TakeSelectorKey(vk::kRight)) column = column + 1;
  row = std::clamp(row, 0, 2);
  column = std::clamp(column, 0, kRowWidth[row] - 1);
  gCompetitionIndex = kCompetition[row][column];
  gLockedFlash = std::max(0.0f, gLockedFlash - 0.01f * gFrameFactor);
  glPushMatrix();
  glTranslatef(60, 77, 0);
  glScalef(0.85f, 0.85f, 1);
  DrawSelectorFrame(150 + 248 * column + 124 * row, 156 + 150.5f * row);
  glPopMatrix();
}

void DrawRaceSelector() {
  if (TakeSelectorKey(vk::kUp)) gSelectedRow = std::min(1, gSelectedRow + 1);
  if (TakeSelectorKey(vk::kDown)) gSelectedRow = std::max(0, gSelectedRow - 1);
  if (TakeSelectorKey(vk::kLeft)) gSelectedColumn = std::max(0, gSelectedColumn - 1);
  if (TakeSelectorKey(vk::kRight)) gSelectedColumn = std::min(1, gSelectedColumn + 1);
  gCompetitionRace = gSelectedColumn + 2 * gSelectedRow + 1;
  DrawSelectorFrame(420 + 248 * gSelectedColumn, 221 + 150.5f * gSelectedRow);
}

void DrawValueBar(float target, int index) {
  if (index < 0 || index > 2) return;
  float& value = gValueBars[index];
  value = std::clamp(StepBarValue(value, target, BarsMoving(), gFrameFactor), 0.5f, 1.0f);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BindMenuTexture(kOptionBarTexture);
    const float split = (value - 0.4f) * 233;
    DrawBar(0, split, -3, 6, 0.748f, 0.935f, 0.055f);
    DrawBar(split, 140, -3, 6, 1, 1, 1);
  });
}

void DrawVerticalBar(float target) {
  gLevelBar = std::clamp(StepBarValue(gLevelBar, target, BarsMoving(), gFrameFactor), 0.0f, 1.0f);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BindMenuTexture(kOptionBarTexture);
    DrawBar(0, 140 * gLevelBar, 4.5f, 24.5f, kOrange[0], kOrange[1], kOrange[2]);
    DrawBar(140 * gLevelBar, 140, 4.5f, 24.5f, 0.75f, 0.75f, 0.75f);
  });
}

void DrawLoadingIndicator(float x, float y, float t, float a) {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, a);
    const bool twoUnits = glActiveTextureARB != nullptr && glMultiTexCoord2fARB != nullptr;
    if (twoUnits) {
      // Unit 1 adds the glowing hub (cell s, t 0.5..1); unit 0 turns the ring
      // cell (0..0.5) in its texture matrix about the cell's centre.
      glActiveTextureARB(GL_TEXTURE1_ARB);
      glEnable(GL_TEXTURE_2D);
      BindMenuTexture(kMenuSignsTexture);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
      glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    BindMenuTexture(kMenuSignsTexture);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.25f, 0.25f, 0);
    glRotatef(50 * t, 0, 0, 1);
    glTranslatef(-0.25f, -0.25f, 0);
    glMatrixMode(GL_MODELVIEW);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners) {
      glTexCoord2f(0.5f * c[0], 0.5f * c[1]);
      if (twoUnits) glMultiTexCoord2fARB(GL_TEXTURE1_ARB, 0.5f + 0.5f * c[0], 0.5f + 0.5f * c[1]);
      glVertex2f(x - 35 + 70 * c[0], y - 35 + 70 * c[1]);
    }
    glEnd();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (twoUnits) {
      glActiveTextureARB(GL_TEXTURE1_ARB);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
      glDisable(GL_TEXTURE_2D);
      glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glPushMatrix();
    glTranslatef(x, y, 0);
    glRotatef(-150 * t, 0, 0, 1);
    DrawCentredQuad(70, 70, 0, 0.5f, 0.5f, 1);
    glPopMatrix();
    DrawFontText(x, y - 45, 1, (3 * std::sin(5 * t) + 4) * a * (1 - gMenuDim), 1, 0.6f, false, kAlignCentre, "LOADING");
  });
}

namespace {

constexpr int kPanelTexture = 10, kTurnPlateTexture = 14, kRowPlateTexture = 18, kBadgeTexture = 26;
constexpr int kIconTexture = 41, kDialTexture = 58;
constexpr int kDialRaces = 5;
// Badge centres on the dial, one per race, 72 degrees apart.
constexpr float kBadgeAt[kDialRaces][2] = {
    {0, 125}, {118.88f, 38.75f}, {73.47f, -101.12f}, {-73.47f, -101.12f}, {-118.88f, 38.75f}};
constexpr float kBadgeSize = 60.0f;

// Competition-screen zones, y from the top: zone k spans kZoneTop + 77 k
// to kZoneTop + 77 k + 58.
constexpr int kZoneLeft = 330, kZoneRight = 470, kZoneTop = 138, kZoneStep = 77, kZoneHeight = 58;
constexpr int kZoneCount = 5, kFirstLockedZone = 3;

int ClickedZone() {
  if (!(kZoneLeft < gMouseX && gMouseX < kZoneRight)) return -1;
  for (int k = 0; k < kZoneCount; ++k) {
    const int top = kZoneTop + kZoneStep * k;
    if (top <= gMouseY && gMouseY <= top + kZoneHeight) return k;
  }
  return -1;
}

// The best place of race `race` (1..) of the selected competition, or
// kNotPlaced for a race the career record does not hold.
int DialBestPlace(int race) {
  if (race > kRacesPerCompetition) return kNotPlaced;
  const int slot = gCompetitionIndex * kRacesPerCompetition + race - 1;
  return slot >= 0 && slot < kRaceSlotCount ? gBestPlace[slot] : kNotPlaced;
}

bool Placed(int place) { return place >= 1 && place < kNotPlaced; }

}  // namespace

void DrawCompetitionCursor() {
  if (!gLeftButton || gKeyLatch) return;
  const int zone = ClickedZone();
  if (zone < 0) return;
  gKeyLatch = 1;
  gLeftButton = 0;
  if (zone != gSelectedRow) {
    gSelectedRow = zone;
    if (gSoundOn) gSndMenuStep.Play();
    return;
  }
  Transition start;
  start.matched = true;
  if (zone < kFirstLockedZone) {
    start.target = S::RaceLoading;
    start.entryRow = 0;
    // The loading screen only waits: without the request no track would come.
    start.loaderRequest = LoaderStatus::LoadTrack;
    start.sound = MenuSound::Transition;
  } else {
    gLockedFlash = 1.0f;
    start.sound = MenuSound::RefusalUnlessPlaying;
  }
  ApplyTransition(start);
}

void DrawRaceResultRow(float x, float y, float turn, const char* caption) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  glRotatef(turn, 0, 0, 1);
  glColor4f(1, 1, 1, 1 - gMenuDim);
  BindMenuTexture(kRowPlateTexture);
  DrawCentredQuad(280, 70, 0, 0, 1, 1);
  DrawFontText(10, 0, 1, 1 - gMenuDim, 2, 1.15f, false, kAlignCentre, "%s", caption);
  glPopMatrix();
}

void DrawRaceResultsList() {
  StepListCursor(kDialRaces);
  gListAngle = EaseListAngle(gListAngle, gFrameFactor);
  const int cursor = std::clamp(int(gMenuCursor), 0, kDialRaces - 1);
  gCompetitionRace = cursor + 1;
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glTranslatef(180, 215, 0);
    glRotatef(0.8f * (90.0f * cursor - gListAngle), 0, 0, 1);
    glColor4f(1, 1, 1, 1 - gMenuDim);
    BindMenuTexture(kDialTexture);
    DrawCentredQuad(260, 260, 0, 0, 1, 1);
    for (int race = 0; race < kDialRaces; ++race) {
      glPushMatrix();
      glTranslatef(kBadgeAt[race][0], kBadgeAt[race][1], 0);
      glColor4f(1, 1, 1, 1 - gMenuDim);
      BindMenuTexture(kBadgeTexture);
      DrawCentredQuad(kBadgeSize, kBadgeSize, 0, 0, 1, 1);
      const int place = DialBestPlace(race + 1);
      if (Placed(place)) DrawFontText(0, 0, 1, 1 - gMenuDim, 2, 1.0f, true, kAlignCentre, "%i", place);
      glPopMatrix();
    }
    glPopMatrix();
    char caption[24];
    std::snprintf(caption, sizeof caption, "%i RACE", cursor + 1);
    DrawRaceResultRow(100, 442, 77.5f, caption);
    const int place = DialBestPlace(cursor + 1);
    if (Placed(place)) std::snprintf(caption, sizeof caption, "%2i Place", place);
    else std::snprintf(caption, sizeof caption, "--");
    DrawRaceResultRow(260, 450, 77.5f, caption);
  });
}

void DrawIconRow(int n) {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    BindMenuTexture(kIconTexture);
    for (int k = 0; k < 10; ++k) {
      const float grey = k < n ? 1.0f : 0.1f;
      glColor4f(grey, grey, grey, 1 - gMenuDim);
      DrawTexturedQuad(18.0f * k, 0, 18.0f * k + 16, 16, 0, 0, 1, 1);
    }
  });
}

void DrawListTurnPlate() {
  const float k = std::min(std::abs(gListAngle), 90.0f) / 90.0f;
  const float grey = 0.85f + 0.15f * k, scale = 1.0f + 0.1f * k;
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(grey, grey, grey, 1);
    BindMenuTexture(kTurnPlateTexture);
    glPushMatrix();
    glScalef(scale, scale, 1);
    DrawCentredQuad(200, 100, 0, 0, 1, 1);
    glPopMatrix();
  });
}

void DrawCentrePanel() {
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1 - gMenuDim);
    BindMenuTexture(kPanelTexture);
    DrawTexturedQuad(400 - 360, 300 - 240, 400 + 360, 300 + 240, 0, 0, 1, 1);
  });
}
