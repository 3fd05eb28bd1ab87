// Program start-up, the message loop, the per-frame function and shutdown.
#pragma once

#include "framework/globals.h"

// The program: start-up, the message loop until quit, shutdown. Returns the
// process exit code.
int WinMain();

// One frame of the main thread: the race frame once the worker's step is
// done, or a menu frame. Always true; the loop treats false like a quit
// request.
bool RunFrame();

// A frame of `screen` with the loader `status` only waits for the start-up
// assets (once the splash clock asks for them), the player's truck, a race
// track or the garage:
// a test's script does not count it (Sys_HoldScriptFrames). The frame that
// takes the worker's answer counts, whenever the answer came.
bool FrameOnlyWaitsForALoad(int screen, int status, float splashTime);

// ---- The loop's key rules, on a key table of kKeyCount entries ----

// The keys the loop handles itself after each idle pass, in this order:
// Escape pauses a race, a key down on the CONTROLS screen becomes the
// binding of the selected row, F1 toggles the debug text, and the latch
// clears once the watched keys and the left button are up.
void HandleLoopKeys();

// Escape opens the pause screen: pressed, latch clear, racing with no fade
// under way, and the player has not finished.
bool EscapeOpensPause(bool escapeDown, bool keyLatch, int screen, int targetScreen, bool playerFinished);

// Keys that may be bound to a control: letters, Shift, Control, Space,
// the punctuation keys , . / ; ' [ ] and the arrows.
bool IsBindableKey(int virtualKey);

// The lowest bindable key that is down, or -1.
int FindKeyToBind(const HandOver<uint8_t>* keys);

// True when the key latch may be cleared: the left button is up and none
// of the keys that act on a press is down.
bool KeyLatchMayClear(const HandOver<uint8_t>* keys, bool leftButton);

// Shadow-map edge in texels for the shadow-detail setting (off, normal,
// max, ultra); another value keeps the current size.
int ShadowMapSizeForDetail(int shadowDetail, int currentSize);

