// The main thread's side of the lock-step with the worker: starting and
// leaving a race, and waiting for a step to draw. The screens and the loop
// call these; the worker's side is its simulation turn.
#pragma once

#include "framework/globals.h"

// Set by the worker around the decision to step and the step itself, so
// that the main thread, leaving a race, can wait for a step in flight.
extern HandOver<uint8_t> gWorkerStepping;

// Starts a race once its track is loaded (the race-loading screen, the
// pause screen's restart): loader idle, gSimBit equal to gRenderBit, then
// both screen numbers 0. The bits are published before the screen numbers,
// so the worker that sees the race also sees equal bits and steps first.
void PublishRaceStart();

// Leaves the racing state (pause, finish): both screen numbers together,
// on the main thread; returns once a step the worker had begun is over, so
// that the screens after the race never read what a step still writes.
void LeaveRaceTo(int screen);

// Main-thread side of the lock-step: waits until the worker has finished a
// step that is not yet drawn. False, without waiting further, when the race
// state was left (gScreen or gTargetScreen not racing) or on quit; then no
// race frame may be drawn.
bool WaitForSimulationStep();
