// The options screens: the OPTIONS list, GRAPHICS, AUDIO and CONTROLS, and
// the key names that CONTROLS shows (the same set of keys that the key
// capture of the main loop accepts).
#pragma once

// The text CONTROLS shows for a virtual-key code: letters as the capital
// followed by a blank, a few named keys; null for a code that cannot be
// bound.
const char* KeyName(int code);

// The value a GRAPHICS row (0..6) or an AUDIO row (0..2) shows for the
// current settings; an empty text for a value without a name.
const char* GraphicsValueText(int row);
const char* AudioValueText(int row);

void DrawOptionsMenu();
void DrawGraphicsOptions();
void DrawAudioOptions();
void DrawControlsOptions();
