// The push button of the menu screens and the per-slot state it shares
// with the option arrows; the press rule; applying a transition.
#pragma once

#include <cstdint>

#include "render/garage_camera.h"  // gNotOverButton, cleared by every widget under the pointer
#include "ui/transitions.h"

inline constexpr int kButtonSlotCount = 21;

// Where the screens put their buttons in the 800 x 600 frame (the button's
// reference corner, y up). Most screens line theirs up along the bottom
// from the left, Back first; the shops and CONTROLS use a lower row, the
// part dialogs and the bonus page the bottom right corner; a confirmation
// dialog puts Yes left of No.
inline constexpr float kFirstButtonX = 70, kSecondButtonX = 220, kThirdButtonX = 370;
inline constexpr float kButtonRowY = 45, kLowButtonRowY = 28;
inline constexpr float kCornerBackX = 660, kCornerBuyX = 520;
inline constexpr float kYesButtonX = 263, kNoButtonX = 408;

extern uint8_t gMenuHover[kButtonSlotCount];  // 1 while the pointer is over that slot's widget
extern float gMenuGlow[kButtonSlotCount];     // 0..1: lit while hovered or pressed, then fades

// What decides whether a button takes a press.
struct PressGate {
  float fade;
  bool settled;      // gScreen == gTargetScreen
  bool inputLocked;
  int loaderStatus;
  bool keyDown;      // the button's key
  bool clicked;      // the left button is down over this button
  bool keyLatch;
};

// The press rule: shown (fade at least 0.95), settled, input unlocked,
// loader idle, the key down or a click on the button, the latch clear.
bool ButtonPressAllowed(const PressGate& gate);

// True when the pointer (frame units, y from the top) is strictly inside the
// 128 x 20 hit box of a button drawn at (x, y).
bool PointerOverButton(float x, float y, int mouseX, int mouseY);

// Draws a button at (x, y) (its reference corner, y up), lights it under
// the pointer, and on a press carries out the row of (screen, kind) of the
// transition table.
void MenuButton(float x, float y, const char* text, int kind, int slot);

// Clears every hover flag and the garage's free camera.
void ResetMenuHover();

// The inputs of the transition table from the current game state.
TransitionInputs CurrentTransitionInputs();

// Carries out a transition: target, entry row, loader request, sounds and
// the career, set-up and settings changes it names.
void ApplyTransition(const Transition& transition);
