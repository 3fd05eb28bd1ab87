// The game window with its GL contexts, and the translation of window
// messages into the input state.
#pragma once

#include "platform/platform.h"

// Opens the window with its display mode and main GL context, current on
// the calling thread. On failure shows its message box ("ERROR") and
// returns false. The size actually obtained goes to gScreenWidth/Height.
bool CreateMainWindow(const char* title, int width, int height, int bits, bool fullScreen);

// Releases the renderer's GL objects of the main context, the contexts and
// the window, and restores the display mode.
void DestroyMainWindow();

// True when the display lists a mode of that width and height.
bool IsDisplayModeSupported(int width, int height);

// Set by a scripted test's finish event; the loop takes it in the next race
// frame while the worker waits.
extern uint8_t gTestFinishAsked;

// Handles one window message (every kind but the loop's quit message).
void MainWindowProc(const Event& event);

// Called once a frame has seen the input: the keys and buttons whose
// release came in the same batch of messages as their press go up now, and
// the characters typed for that frame are gone.
void EndInputFrame();
