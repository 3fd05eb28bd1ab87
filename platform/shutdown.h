// The shutdown guard's side of the message pump and the display's errors.
// Internal to platform/.
#pragma once

#include <cstdint>

// True once for each request from outside the guard took (a signal, the
// window destroyed, an X error): the pump then delivers a QuitRequest message.
bool TakeSystemQuitRequest();

// The game window's X id: its destruction by another program (which does
// not ask, unlike closing) counts as a request to end, like a signal. 0
// stops the watch, before the game destroys the window itself.
void WatchWindowForDestruction(uint32_t xWindow);

// An X error on the game's display (its window destroyed under it): a
// request to end, as a signal is.
void AskToEndFromDisplay();

// Writes what the player did that is not on disk yet and ends the process:
// exit code 0, or kExitSavesFailed when a save could not be written or no
// guard runs. For the guard's deadline and a display connection lost; from
// any thread.
[[noreturn]] void EndAfterLastWrites();
