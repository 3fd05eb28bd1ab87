// The small widgets of the menu screens: the option row cursor and arrows
// (which change the settings), the competition and race selectors, the
// smoothed value bars and the spinning LOADING sign.
#pragma once

#include <cstdint>

extern float gValueBars[3];               // shown Power, Handling and Turbo bars, 0.5..1
extern float gLevelBar;                   // shown level bar, 0..1
extern float gLockedFlash;                // set when the competition selector hits a locked row

// The display mode next to `current` in `step` direction (+1 or -1,
// cyclic) that the display accepts, each other mode tried once; `current`
// itself when none of the others is accepted.
int NextSupportedResolution(int current, int step, bool (*accepted)(int width, int height));

// One arrow step of a setting whose arrows offer 0..last: past last to 0,
// below 0 to last. A value above last (shadow detail 3 from a file) steps
// right to 0 and left to last.
int StepOptionValue(int value, int step, int last);

// The anti-aliasing choice after `current`: 0, 2, 4, 8 and round again
// (step +1), or the other way (step -1). An unknown value goes to 0.
int NextAntiAliasing(int current, int step);

// One frame of a shown bar value following its target (only while
// `moving`): it closes 3.5 % of the gap per frame-factor unit.
float StepBarValue(float value, float target, bool moving, float frameFactor);

// The option row cursor of GRAPHICS, AUDIO and CONTROLS.
void DrawOptionsListCursor();

// A left (right = 0) or right arrow centred on (x, y) of option slot 5..18.
void OptionArrowButton(float x, float y, int slot, bool right);

// The competition pyramid and the race grid.
void DrawCompetitionSelector();
void DrawRaceSelector();

// The horizontal rating bar `index` (0..2) at the current origin, and the
// vertical level bar, each following its target.
void DrawValueBar(float target, int index);
void DrawVerticalBar(float target);

// The spinning LOADING sign at (x, y) at time t with alpha a.
void DrawLoadingIndicator(float x, float y, float t, float a);

// ---- Widgets the game's screens do not use ----

// Five click zones of the competitions screen: a first click selects the
// zone's row, a second starts the race on rows 0..2 (with the track load
// asked for) and flashes gLockedFlash on rows 3..4 with the refusal sound.
// Draws nothing.
void DrawCompetitionCursor();

// A dial of five races: the drum list's cursor keys step it and set
// gCompetitionRace; the disc turns to the cursor race and its badges carry
// each race's best place in gCompetitionIndex; two plates name the race
// and its place.
void DrawRaceResultsList();
// A row plate at (x, y) turned by `turn` degrees with a caption.
void DrawRaceResultRow(float x, float y, float turn, const char* caption);

// Ten 16 x 16 icons 18 units apart from the current origin, the first n lit.
void DrawIconRow(int n);

// A 200 x 100 plate at the current origin that brightens and grows while
// the drum list turns (up to a 90 degree turn).
void DrawListTurnPlate();
// A 720 x 480 panel centred on the frame, fading with the menu dim.
void DrawCentrePanel();
