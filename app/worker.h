// The worker thread: loads on request through gLoaderStatus, and in a race
// one simulation step per drawn frame, in lock-step with the main thread
// (whose side, and the frame clock, live in the framework for the screens).
#pragma once

#include "framework/frame_clock.h"
#include "framework/lock_step.h"

// The jobs the worker runs, one per kind of request. The game's come from
// the loaders and the race simulation; tests hand in their own.
struct WorkerJobs {
  void (*raceStep)();          // one simulation step of the race
  void (*loadStartupAssets)(); // menu music, shared models, catalogue, the player's truck
  bool (*loadTrack)();         // the track of the current game mode with its rivals; false when it failed
  void (*loadGarage)();        // the garage (ends the race world)
  void (*loadPlayerCar)();     // rebuilds the player's truck
};

// The game's jobs.
extern const WorkerJobs kGameWorkerJobs;

// One pass of the worker's checks, in their fixed order: the simulation
// turn, then the start-up, track, garage, restart and player's car loads.
// A track that fails to load is answered with TrackFailed, not TrackLoaded.
void WorkerPass(const WorkerJobs& jobs);

// The worker's loop until gQuit: the lock-step and the loader checks,
// sleeping on the hand-over values between passes that find nothing to do.
// Loads run with the loader context current (when there is one), end with
// glFinish and release it, and only then publish their completion.
void RunWorker(const WorkerJobs& jobs);

// The worker thread's procedure: RunWorker with the game's jobs; sets
// gWorkerEnded as it returns.
void WorkerThreadProc();

// Set by the worker thread as it ends, once it has released its context.
extern HandOver<uint8_t> gWorkerEnded;
