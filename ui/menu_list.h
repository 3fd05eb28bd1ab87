// The drum list: the turning menu of the list screens, its cursor, key
// repeat and easing, and the confirm that carries out a row's action.
#pragma once

// Seconds a held key waits before it repeats, and the timer value it is
// put back to after each repeat (so it repeats every 0.35 - 0.26 s).
inline constexpr float kListRepeatDelay = 0.35f;
inline constexpr float kListRepeatRestart = 0.26f;
// The cursor row is drawn green only while the drum has turned to within
// this many degrees of it.
inline constexpr float kListGreenAngle = 25.0f;

extern float gListRepeat;  // key-repeat timer, seconds

// One frame of the key-repeat timer while a step key is held (or not):
// true when the latch is to be cleared so that the held key steps again.
bool AdvanceListRepeat(float* repeat, bool held, float frameFactor);

// The drum's remaining turn eased toward 0 by one frame; never past 0.
float EaseListAngle(float angle, float frameFactor);

// The bend of a row drawn at angle a degrees from the front.
float ListRowBend(float a);

// Draws the drum of `count` rows and runs its keys, pointer and confirm.
void DrawMenuList(int count);

// The drum's cursor stepping alone: Up and Down (or a held click above or
// below the drum) move gMenuCursor within `count` rows and turn the drum,
// with the drum's key repeat.
void StepListCursor(int count);
