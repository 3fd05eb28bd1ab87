// The drum list. Reads the arrow keys, Enter, the pointer and the fade;
// draws the back plate (tex17), the row signs (tex19) and the row plates
// (tex18) with their captions, with alpha blending, in the current
// 800 x 600 frame; leaves blending off and the model-view as it found it.
#include "ui/menu_list.h"

#include <algorithm>
#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/sound.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "ui/menu_button.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "world/catalogue.h"

float gListRepeat;

namespace {

constexpr int kRowsDrawnAround = 3;  // rows drawn on each side of the cursor
constexpr float kStepAngle = 90.0f;  // degrees the drum turns per row

// Pointer zones, frame units with y from the top, strict bounds.
bool InZone(int x0, int x1, int y0, int y1) {
  return x0 < gMouseX && gMouseX < x1 && y0 < gMouseY && gMouseY < y1;
}
bool InConfirmZone() { return InZone(590, 800, 225, 275); }
bool InUpZone() { return InZone(600, 800, 0, 215); }
bool InDownZone() { return InZone(600, 800, 285, 500); }

// The row count of the previous call bounds a step down.
int gLastRowCount = 1;

void StepCursor(int direction) {
  const bool canMove = direction < 0 ? gMenuCursor >= 1 : gMenuCursor < gLastRowCount - 1;
  if (canMove) {
    gMenuCursor += direction;
    gListAngle += direction * kStepAngle;
    if (gSoundOn) gSndMenuStep.Play();
  } else if (std::abs(gListAngle) < 1.0f && gSoundOn) {
    gSndMenuHover.Play();
  }
}

void RunKeys(int count) {
  StepListCursor(count);
  const bool shown = ScreenSettled();
  const bool confirm = gKeys[vk::kEnter] || (gLeftButton && InConfirmZone());
  if (shown && !gInputLocked && gLoaderStatus == LoaderStatus::Idle && confirm && !gKeyLatch) {
    gKeyLatch = 1;
    ResetMenuHover();
    if (gSoundOn) {
      gSndMenuClick.Play();
      gSndMenuChange.Play();
    }
    ApplyTransition(ListRowTransition(gScreen, gMenuCursor, CurrentTransitionInputs()));
  }
  if (InConfirmZone() || InUpZone() || InDownZone()) gNotOverButton = 0;
}

// A row sign: one cell of tex19, lit (green and trembling) for its row.
void DrawRowSign(float x, float y, float turn, float s0, bool lit, float unlitGrey) {
  glPushMatrix();
  glTranslatef(x, y, 0);
  glRotatef(turn, 0, 0, 1);
  if (lit) {
    ApplyTremble(gMenuClock, 1.0f);
    const float pulse = 1.0f + 0.1f * std::sin(10 * gMenuClock);
    glScalef(pulse, pulse, 1);
    glColor4f(0.68f, 0.85f, 0.05f, 1);
  } else {
    glColor4f(unlitGrey, unlitGrey, unlitGrey, 1);
  }
  DrawCentredQuad(100, 100, s0, 0, s0 + 0.125f, 1);
  glPopMatrix();
}

void DrawDecorations() {
  glColor4f(1, 1, 1, 1 - gMenuDim);
  BindMenuTexture(kDrumBackPlateTexture);
  const float shift = 500 * gMenuDim;
  DrawTexturedQuad(665 + shift, 130, 815 + shift, 570, 0, 0, 1, 1);
  BindMenuTexture(kIconStripTexture);
  glPushMatrix();
  glTranslatef(150 - 750 * gMenuDim, 525, 0);
  glRotatef(25, 0, 0, 1);
  glColor4f(0, 0, 0, 1);
  DrawCentredQuad(140, 140, 0.625f, 0, 0.75f, 1);
  glPopMatrix();
  DrawRowSign(740, 500, 70, 0.375f, gMenuCursor == 1, 0.25f);
  DrawRowSign(740, 190, 20, 0.5f, gMenuCursor == 2, 0.5f);
  DrawRowSign(680, 300, 0, 0.75f, gMenuCursor == 0, 0.25f);
  DrawRowSign(740, 400, 90, 0.875f, gMenuCursor == 3, 0.5f);
}

void DrawRows(int count) {
  for (int i = std::max(0, gMenuCursor - kRowsDrawnAround); i < count && i <= gMenuCursor + kRowsDrawnAround; ++i) {
    const float a = float(i - gMenuCursor) * kStepAngle + gListAngle;
    const float d = ListRowBend(a);
    glPushMatrix();
    glTranslatef(950 - 0.15f * std::abs(d) + 500 * gMenuDim, 350, 0);
    glRotatef(0.2f * d, 0, 0, 1);
    glTranslatef(-260, 0, 0);
    glColor4f(1, 1, 1, 1);
    BindMenuTexture(kDrumRowPlateTexture);
    DrawTexturedQuad(-140, -35, 140, 35, 0, 0, 1, 1);
    const bool green = i == gMenuCursor && std::abs(a) < kListGreenAngle;
    const char* caption = ListRowCaption(gScreen, i);
    if (caption) DrawFontText(10, 0, green ? 2 : 1, 1 - gMenuDim, 2, 1.15f, false, kAlignCentre, "%s", caption);
    glPopMatrix();
  }
}

}  // namespace

bool AdvanceListRepeat(float* repeat, bool held, float frameFactor) {
  if (!held) {
    *repeat = 0.0f;
    return false;
  }
  *repeat += 0.01f * frameFactor;
  if (*repeat <= kListRepeatDelay) return false;
  *repeat = kListRepeatRestart;
  return true;
}

float EaseListAngle(float angle, float frameFactor) {
  const float s = std::clamp(std::abs(0.2f * angle), 0.025f, 3.5f) * 1.85f * frameFactor;
  const float eased = angle > 0 ? angle - s : angle < 0 ? angle + s : 0.0f;
  return (eased > 0) != (angle > 0) || eased == 0 ? 0.0f : eased;
}

float ListRowBend(float a) {
  const float sign = a < 0 ? -1.0f : 1.0f;
  return sign * 0.4f * std::pow(std::abs(a), 1.25f);
}

void DrawMenuList(int count) {
  RunKeys(count);
  gListAngle = EaseListAngle(gListAngle, gFrameFactor);
  WithGlCapabilities(kBlendedTexturing, [count] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawDecorations();
    DrawRows(count);
  });
}

void StepListCursor(int count) {
  const bool shown = ScreenSettled();
  const bool upHeld = gKeys[vk::kUp] || (gLeftButton && InUpZone());
  const bool downHeld = gKeys[vk::kDown] || (gLeftButton && InDownZone());
  if (shown && upHeld && !gKeyLatch) {
    gKeyLatch = 1;
    StepCursor(-1);
  }
  if (shown && downHeld && !gKeyLatch) {
    gKeyLatch = 1;
    StepCursor(+1);
  }
  gLastRowCount = count;
  if (AdvanceListRepeat(&gListRepeat, shown && (upHeld || downHeld), gFrameFactor)) gKeyLatch = 0;
}
