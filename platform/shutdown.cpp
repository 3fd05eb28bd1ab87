// The shutdown guard: a thread that answers the system's request to end the
// program even when the main thread does not come back (a GL call waiting
// for ever on the rasterizer, an X call that deadlocked, a long load).
#include "platform/platform.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// How long the main thread has to end the program on its own once it was
// asked to: its own path saves, waits up to two seconds for the worker and
// lets go of the window; past this the guard ends the process.
constexpr auto kShutdownAnswerTime = std::chrono::milliseconds(2500);
// How often the guard looks at the deadline between signals.
constexpr long kGuardTickNanoseconds = 100'000'000;

using Clock = std::chrono::steady_clock;

std::atomic<bool> gSystemQuitAsked{false};  // a signal came; the loop has not yet taken it
std::atomic<bool> gSavesWritten{false};     // the main thread's own shutdown saved
std::atomic<Clock::rep> gDeadline{0};       // when the guard ends the process; 0 while not asked
void (*gLastWrites)() = nullptr;            // set once before the guard starts

sigset_t EndSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  return signals;
}

void ArmDeadline() {
  Clock::rep unset = 0;
  gDeadline.compare_exchange_strong(unset, (Clock::now() + kShutdownAnswerTime).time_since_epoch().count());
}

// Touches nothing the main thread may hold (GL, the display, sound, stdio
// buffers): only the save files, then the process ends.
[[noreturn]] void EndFromGuard() {
  if (!gSavesWritten && gLastWrites) gLastWrites();
  std::_Exit(0);
}

void GuardLoop(sigset_t signals) {
  Sys_NameThisThread("zarnok-guard");
  const timespec tick{0, kGuardTickNanoseconds};
  for (;;) {
    if (sigtimedwait(&signals, nullptr, &tick) > 0) {
      gSystemQuitAsked = true;
      ArmDeadline();
    }
    const Clock::rep deadline = gDeadline;
    if (deadline != 0 && Clock::now().time_since_epoch().count() >= deadline) EndFromGuard();
  }
}

}  // namespace

void Sys_StartShutdownGuard(void (*lastWrites)()) {
  gLastWrites = lastWrites;
  const sigset_t signals = EndSignals();
  // Blocked here, inherited by every thread started later: the signals wait
  // for the guard alone instead of interrupting whichever thread they hit.
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread(GuardLoop, signals).detach();
}

void Sys_BeginShutdown() { ArmDeadline(); }

void Sys_ShutdownSavesWritten() { gSavesWritten = true; }

bool TakeSystemQuitRequest() { return gSystemQuitAsked.exchange(false); }
