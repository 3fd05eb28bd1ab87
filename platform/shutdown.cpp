// The shutdown guard: a thread that keeps what the player did on disk and
// answers the system's request to end the program even when the main thread
// does not come back (a GL call waiting for ever on the rasterizer, an X
// call that deadlocked, a long load).
#include "platform/platform.h"
#include "platform/shutdown.h"

#include <pthread.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <thread>

namespace {

// How long the main thread has to answer a request from outside (a signal,
// the window destroyed) before the guard ends the process: the loop may not
// even have seen it. The request leaves two seconds for the guard's writes
// and the process's end (over a second on a loaded machine) within the
// three that a player or a session manager waits.
constexpr auto kSystemRequestAnswerTime = std::chrono::milliseconds(1000);
// How often the guard looks at the window between signals, and how often
// it writes what changed.
constexpr auto kGuardTick = std::chrono::milliseconds(100);
constexpr auto kSaveInterval = std::chrono::milliseconds(1000);

using Clock = std::chrono::steady_clock;
// Deadlines as clock ticks: none yet, and held while the main thread saves.
constexpr Clock::rep kNoDeadline = 0;
constexpr Clock::rep kDeadlineHeld = std::numeric_limits<Clock::rep>::max();

std::atomic<bool> gSystemQuitAsked{false};     // a request came; the loop has not yet taken it
std::atomic<Clock::rep> gDeadline{kNoDeadline};  // when the guard ends the process
bool (*gWriteSaves)(bool last) = nullptr;        // set once before the guard starts
std::atomic<uint32_t> gWatchedWindow{0};         // the game window's X id; 0 while none is watched
xcb_connection_t* gGuardDisplay = nullptr;       // the guard's own display connection, guard thread only
uint32_t gSubscribedWindow = 0;                  // the window the guard's connection hears of, guard thread only

sigset_t EndSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);  // the terminal that started the game was closed
  return signals;
}

Clock::rep Now() { return Clock::now().time_since_epoch().count(); }

// A request from outside: the loop takes it as a quit; the first deadline
// set stands, and one the main thread holds stays held.
void AskFromOutside() {
  gSystemQuitAsked = true;
  Clock::rep unset = kNoDeadline;
  gDeadline.compare_exchange_strong(unset, Now() + Clock::duration(kSystemRequestAnswerTime).count());
}

// True once the watched window is gone. It is watched on a display
// connection of the guard's own, since the main thread's may be stuck (or
// deadlocked in its error handler when its window was destroyed under it).
bool WatchedWindowDestroyed() {
  const uint32_t window = gWatchedWindow;
  if (window == 0) return false;
  if (!gGuardDisplay) gGuardDisplay = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(gGuardDisplay)) return false;  // no events will come either
  if (gSubscribedWindow != window) {
    gSubscribedWindow = window;
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_generic_error_t* error = xcb_request_check(
        gGuardDisplay, xcb_change_window_attributes_checked(gGuardDisplay, window, XCB_CW_EVENT_MASK, &mask));
    const bool goneAlready = error != nullptr;  // gone before it could be watched
    std::free(error);
    if (goneAlready) return true;
  }
  bool destroyed = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(gGuardDisplay)) {
    // The game's own destruction of its window unwatches it first.
    destroyed = destroyed || ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY &&
                              reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == gWatchedWindow);
    std::free(event);
  }
  return destroyed;
}

void GuardLoop(sigset_t signals) {
  Sys_NameThisThread("zarnok-guard");
  auto nextWrite = Clock::now() + kSaveInterval;
  for (;;) {
    // Woken by a signal, at the next look at the window, or at the deadline.
    auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(kGuardTick);
    if (const Clock::rep deadline = gDeadline; deadline != kNoDeadline) {
      wait = std::clamp(Clock::duration(deadline - Now()), Clock::duration::zero(), wait);
    }
    const timespec tick{0, static_cast<long>(wait.count())};
    const bool signalled = sigtimedwait(&signals, nullptr, &tick) > 0;
    const bool windowGone = WatchedWindowDestroyed();
    if (windowGone) gWatchedWindow = 0;
    if (signalled || windowGone) AskFromOutside();
    if (const Clock::rep deadline = gDeadline; deadline != kNoDeadline && Now() >= deadline) EndAfterLastWrites();
    if (Clock::now() >= nextWrite) {
      gWriteSaves(false);
      nextWrite = Clock::now() + kSaveInterval;
    }
  }
}

}  // namespace

void Sys_StartShutdownGuard(bool (*writeSaves)(bool last)) {
  gWriteSaves = writeSaves;
  const sigset_t signals = EndSignals();
  // Blocked here, inherited by every thread started later: the signals wait
  // for the guard alone instead of interrupting whichever thread they hit.
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  // A closed pipe on stderr (the reader of `game | tee log` ended first by
  // the same Ctrl-C) must not end the game before it saved.
  signal(SIGPIPE, SIG_IGN);
  std::thread(GuardLoop, signals).detach();
}

void Sys_BeginShutdown() { gDeadline = kDeadlineHeld; }

void Sys_EndShutdownWithin(uint32_t milliseconds) {
  gDeadline = Now() + Clock::duration(std::chrono::milliseconds(milliseconds)).count();
}

bool TakeSystemQuitRequest() { return gSystemQuitAsked.exchange(false); }

void WatchWindowForDestruction(uint32_t xWindow) { gWatchedWindow = xWindow; }

void AskToEndFromDisplay() { AskFromOutside(); }

void EndAfterLastWrites() {
  // Touches nothing the main thread may hold (GL, the display, sound, stdio
  // streams): only the save files, which stay locked to the end so that no
  // save begins to be cut off.
  // Without a guard (a test's own window) nothing was kept: a failure, as
  // Xlib's own end would be.
  const bool saved = gWriteSaves && gWriteSaves(true);
  std::_Exit(saved ? 0 : kExitSavesFailed);
}
