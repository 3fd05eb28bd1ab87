// The shutdown guard's side of the message pump. Internal to platform/.
#pragma once

// True once for each SIGTERM or SIGINT the guard took: the pump then
// delivers a QuitRequest message.
bool TakeSystemQuitRequest();
