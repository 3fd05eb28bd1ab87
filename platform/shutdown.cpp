// The shutdown guard: a thread that answers the system's request to end the
// program even when the main thread does not come back (a GL call waiting
// for ever on the rasterizer, an X call that deadlocked, a long load).
#include "platform/platform.h"

#include <pthread.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// How long the main thread has to end the program on its own (its own
// path saves, waits for the worker and lets go of the window) before the
// guard ends the process. Asked from outside, the loop may not even have
// seen the request: the deadline leaves two seconds for the guard's writes
// and the process's end (over a second on a loaded machine) within the
// three that a player or a session manager waits. Once the loop has begun
// to end, only its teardown is left to wait for.
constexpr auto kSystemRequestAnswerTime = std::chrono::milliseconds(1000);
constexpr auto kShutdownAnswerTime = std::chrono::milliseconds(2000);
// How often the guard looks at the window between signals.
constexpr auto kGuardTick = std::chrono::milliseconds(100);

using Clock = std::chrono::steady_clock;

std::atomic<bool> gSystemQuitAsked{false};  // a signal came; the loop has not yet taken it
std::atomic<bool> gSavesWritten{false};     // the main thread's own shutdown saved
std::atomic<Clock::rep> gDeadline{0};       // when the guard ends the process; 0 while not asked
void (*gLastWrites)() = nullptr;            // set once before the guard starts
std::atomic<uint32_t> gWatchedWindow{0};    // the game window's X id; 0 while none is watched
xcb_connection_t* gGuardDisplay = nullptr;  // the guard's own display connection, guard thread only

sigset_t EndSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  return signals;
}

// The first deadline set stands.
void ArmDeadline(Clock::duration answerTime) {
  Clock::rep unset = 0;
  gDeadline.compare_exchange_strong(unset, (Clock::now() + answerTime).time_since_epoch().count());
}

// Touches nothing the main thread may hold (GL, the display, sound, stdio
// buffers): only the save files, then the process ends.
[[noreturn]] void EndFromGuard() {
  if (!gSavesWritten && gLastWrites) gLastWrites();
  std::_Exit(0);
}

// True once the watched window is gone. It is watched on a display
// connection of the guard's own, since the main thread's may be stuck (or
// deadlocked in its error handler when its window was destroyed under it).
bool WatchedWindowDestroyed() {
  const uint32_t window = gWatchedWindow;
  if (window == 0) return false;
  if (!gGuardDisplay) {
    gGuardDisplay = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(gGuardDisplay)) return false;  // no events will come either
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_generic_error_t* error = xcb_request_check(
        gGuardDisplay, xcb_change_window_attributes_checked(gGuardDisplay, window, XCB_CW_EVENT_MASK, &mask));
    const bool goneAlready = error != nullptr;  // gone before it could be watched
    std::free(error);
    if (goneAlready) return true;
  }
  bool destroyed = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(gGuardDisplay)) {
    destroyed = destroyed || (event->response_type & 0x7F) == XCB_DESTROY_NOTIFY;
    std::free(event);
  }
  return destroyed;
}

void GuardLoop(sigset_t signals) {
  Sys_NameThisThread("zarnok-guard");
  for (;;) {
    // Woken by a signal, at the next look at the window, or at the deadline.
    auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(kGuardTick);
    if (const Clock::rep deadline = gDeadline; deadline != 0) {
      wait = std::clamp(Clock::duration(deadline) - Clock::now().time_since_epoch(), Clock::duration::zero(), wait);
    }
    const timespec tick{0, static_cast<long>(wait.count())};
    const bool signalled = sigtimedwait(&signals, nullptr, &tick) > 0;
    const bool windowGone = WatchedWindowDestroyed();
    if (windowGone) gWatchedWindow = 0;
    if (signalled || windowGone) {
      gSystemQuitAsked = true;
      ArmDeadline(kSystemRequestAnswerTime);
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

void Sys_BeginShutdown() { ArmDeadline(kShutdownAnswerTime); }

void Sys_ShutdownSavesWritten() { gSavesWritten = true; }

bool TakeSystemQuitRequest() { return gSystemQuitAsked.exchange(false); }

void WatchWindowForDestruction(uint32_t xWindow) { gWatchedWindow = xWindow; }
