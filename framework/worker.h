// The worker thread: loads on request through gLoaderStatus, and in a race
// one simulation step per drawn frame, in lock-step with the main thread.
#pragma once

#include <atomic>
#include <cstdint>

// The jobs the worker runs, one per kind of request. The game's come from
// the loaders and the race simulation; tests hand in their own.
struct WorkerJobs {
  void (*raceStep)();          // one simulation step of the race
  void (*loadStartupAssets)(); // menu music, shared models, catalogue, the player's truck
  void (*loadTrack)();         // the track of the current game mode with its rivals
  void (*loadGarage)();        // the garage (ends the race world)
  void (*loadPlayerCar)();     // rebuilds the player's truck
};

// The game's jobs.
extern const WorkerJobs kGameWorkerJobs;

// One pass of the worker's checks, in their fixed order: the simulation
// turn, then the start-up, track, garage, restart and player's car loads.
void WorkerPass(const WorkerJobs& jobs);

// The worker's loop until gQuit: the lock-step and the loader checks.
// Loads run with the loader context current (when there is one), end with
// glFinish and release it, and only then publish their completion.
void RunWorker(const WorkerJobs& jobs);

// The worker thread's procedure: RunWorker with the game's jobs.
void WorkerThreadProc();

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

// Seconds between two readings of the millisecond clock; the difference is
// taken modulo 2^32, so a wrap of the clock still gives the small value.
float SecondsBetween(uint32_t earlierMilliseconds, uint32_t laterMilliseconds);

// The frame clock: seconds since its previous reading, 0 on the first.
// Safe to read from either thread.
class FrameClock {
 public:
  float Next(uint32_t nowMilliseconds);

 private:
  static constexpr uint64_t kUnset = ~uint64_t{0};
  std::atomic<uint64_t> last_{kUnset};
};

// The game's one frame clock on Sys_Milliseconds, shared by the menu frames
// and the race step: the first reading after a switch includes the time
// spent on the other side.
float GetFrameSeconds();
