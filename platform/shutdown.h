// The shutdown guard's side of the message pump. Internal to platform/.
#pragma once

#include <cstdint>

// True once for each SIGTERM or SIGINT the guard took: the pump then
// delivers a QuitRequest message.
bool TakeSystemQuitRequest();

// The game window's X id: its destruction by another program (which does
// not ask, unlike closing) counts as a request to end, like a signal.
void WatchWindowForDestruction(uint32_t xWindow);
