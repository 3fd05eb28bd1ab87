// The state every menu screen reads: the menu clocks, the fade between
// gScreen and gTargetScreen and its curves, the list cursor and selector
// column, the LOADING alpha, the flags the widgets leave for the screens,
// and the overlay frame the screens draw in. The dispatcher that calls the
// screens (screen_machine) sits above this and the screens.
// Every value here is owned by the main thread.
#pragma once

#include <cstdint>

#include "framework/car_setup.h"  // kPaintZoneCount
#include "framework/globals.h"    // gMenuClock, the animation clock the screens advance
#include "framework/overlay_frame.h"  // kFrameWidth, kFrameHeight, the overlay frame

// Every menu is laid out in the overlay frame of kFrameWidth x
// kFrameHeight units, y up, whatever the window's size.

// Fade speed: the fade moves by this much per frame-factor unit (0.67 s from
// shown to gone).
inline constexpr float kFadeStep = 0.015f;
// Widgets react only while the fade is at least this.
inline constexpr float kFadeReady = 0.95f;

extern float gScreenClock;      // seconds on the settled screen, 0 at each switch
extern float gMenuSlide;        // headings slide in by gMenuSlide x 500 units
extern float gMenuDim;          // 1 at fade 0, 0 from fade 0.5
extern float gLateFade;         // 1 up to fade 0.5, 0 at fade 1
extern float gVeilAlpha;        // 1 at fade 0, 0 from fade 0.7
extern float gMenuAlpha;        // widget alpha: sin of the fade's first half
extern uint8_t gSettleSound;    // a switch happened: play the settle sound once settled
extern int32_t gMenuCursor;         // highlighted drum-list row
extern int32_t gMenuCursorOnEntry;  // row the next screen's list starts on
extern float gListAngle;            // drum turn still to be drawn, degrees
extern int32_t gSelectedColumn;     // column of the competition and race selectors
extern float gLoadingAlpha;         // alpha of the LOADING sign, 0..1
// Handling and turbo shown by the garage, the shops and the quick race
// (the power factor, which the race also reads, is in world/race_state.h).
extern float gCarHandlingFactor;
extern float gCarTurboFactor;
// The LOADING sign fades in and out by this much per frame-factor unit.
inline constexpr float kLoadingFadeStep = 0.02f;
extern uint8_t gSettingsChanged;    // a setting that needs a restart changed on GRAPHICS
// One flag per paint zone (body, hood, front bumper, rear bumper, sills,
// roof, trunk lid): the zones a picked colour paints.
extern uint8_t gPaintZoneSelected[kPaintZoneCount];

// The fade curves of one fade value.
struct FadeCurves {
  float slide, dim, lateFade, veil, alpha;
};
FadeCurves ComputeFadeCurves(float fade);

// The pointer in the 800 x 600 frame (y from the top) for a window pixel at
// the resolution index, truncated toward zero.
void PointerInFrame(int resolutionIndex, int windowX, int windowY, int32_t* frameX, int32_t* frameY);

// Both screen numbers at once with the fade at 0: the direct changes that
// skip the fade-out (the splash's Enter).
void SetScreenDirectly(int screen);

// The overlay frame over the whole window (PushOverlayFrame), depth test
// off. The caller pops it (PopOverlayFrame or EndOverlayFrame).
void BeginOverlayFrame();
// Pops the overlay frame and leaves what the 3-D draws of the next frame
// start from, whatever the overlay's draws left: the depth test and 2-D
// texturing on, blending off, the model-view matrix the identity.
void EndOverlayFrame();

// True when the current screen is the target and the fade is at least `fade`.
bool ScreenSettled(float fade = kFadeReady);
