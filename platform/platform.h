// Services of the operating system that the game needs, in one place.
//
// Everything here is implemented once in platform/ on SDL2 and the C++
// standard library; no other folder sees an SDL type or calls the OS for
// these. Environment variables are read only here, and only for tests
// (see the test hooks at the end): with none set the game behaves as it
// would without them.
#pragma once

#include <cstdint>
#include <string>

// ---- Clock -------------------------------------------------------------

// Milliseconds since an arbitrary start, 32 bits, wrapping after ~49 days.
// The frame clock takes differences of two readings, so the wrap is harmless.
// Under the fixed-frame-time hook it advances by exactly that time per
// swapped frame instead.
uint32_t Sys_Milliseconds();

// Suspends the calling thread for at least the given milliseconds.
void Sys_Sleep(uint32_t milliseconds);

// Names the calling thread for profilers and the benchmark's per-thread
// processor times (at most 15 characters are kept).
void Sys_NameThisThread(const char* name);

// High-resolution counter and its ticks per second, for profiling only.
uint64_t Sys_PerformanceCounter();
uint64_t Sys_PerformanceFrequency();

// ---- Files and folders -------------------------------------------------

// The user's documents folder: the XDG documents folder (as xdg-user-dir
// reports it from ~/.config/user-dirs.dirs), else $HOME/Documents; an
// entry that is relative, holds a NUL byte or is the home folder itself
// counts as unset. Always absolute, never ends with a slash. Empty when no
// absolute home folder is known.
std::string Sys_DocumentsFolder();

// Creates a folder and any missing parents. True when it exists afterwards.
bool Sys_MakeFolder(const std::string& path);

// ---- Messages to the player --------------------------------------------

enum class MessageIcon { Information, Exclamation, Stop };

// Shows a modal message box and returns when the player dismissed it. In a
// non-interactive run (tests) it prints "caption: text" on stderr instead.
void Sys_MessageBox(const char* caption, const char* text, MessageIcon icon);

// Opens a local web page (path relative to the working folder) in the
// default browser, through xdg-open where it exists; returns at once.
// Never in a test run.
void Sys_OpenWebPage(const char* path);

// ---- Ending the program -------------------------------------------------

// Exit code of a shutdown whose saves could not all be written.
inline constexpr int kExitSavesFailed = 1;

// Starts the shutdown guard, a thread of its own. Call it first, before any
// other thread exists: SIGTERM, SIGINT and SIGHUP are blocked in the calling
// thread and so in every thread started after it, and wait for the guard
// alone; SIGPIPE is ignored.
// - About once a second it calls `writeSaves(false)`, which writes what the
//   player did that is not on disk yet.
// - A signal, the game window destroyed by another program or an X error on
//   the display becomes a QuitRequest message. When the main thread has not
//   begun its shutdown 1 s later (Sys_BeginShutdown), the guard calls
//   `writeSaves(true)` (which keeps the files locked: no save begins after
//   it) and ends the process with exit code 0, or kExitSavesFailed when
//   `writeSaves` returned false. It touches neither the window, GL nor sound:
//   the main thread may be stuck inside any of them.
// - A lost display connection ends the process in the same way at once.
void Sys_StartShutdownGuard(bool (*writeSaves)(bool last));

// The main thread has begun to end the program (the loop has ended) and
// saves: the guard does not end the process while it does, whatever a
// signal asked, since it could write no sooner.
void Sys_BeginShutdown();

// The main thread has saved, and ends the process itself within
// `milliseconds` (its own forced end included): the guard ends it after
// that, as the last resort.
void Sys_EndShutdownWithin(uint32_t milliseconds);

// ---- Window and GL contexts ----------------------------------------------

enum class WindowResult {
  Ok,
  DisplayModeFailed,  // the full-screen display mode could not be set
  WindowFailed,       // the window could not be created
  ContextFailed,      // no GL context of the asked format
  ActivateFailed,     // the context could not be made current
};

// Opens the one game window at (0, 0) with a double-buffered RGBA GL
// compatibility context (colourBits colour, 24 bits depth) and makes that
// context current on the calling thread, which from then on is the main
// thread. Full screen uses the display mode of exactly width x height;
// where the display has no such mode the window fills the desktop at the
// desktop's size instead (said on stderr), and Sys_WindowSize tells which.
// The cursor is hidden in full screen.
WindowResult Sys_CreateWindow(const char* title, int width, int height, int colourBits,
                              bool fullScreen);

// Size of the window's drawable in pixels (0 x 0 without a window).
void Sys_WindowSize(int* width, int* height);

// Creates the loader context: a second GL context that shares textures and
// display lists with the main one, drawing into a hidden 1x1 window. Called
// on the main thread after Sys_CreateWindow; the main context stays current.
bool Sys_CreateLoaderContext();

// Makes the loader context current on the calling thread (the worker).
bool Sys_MakeLoaderContextCurrent();

// True when a GL context is current on the calling thread.
bool Sys_IsContextCurrent();

// Makes no context current on the calling thread.
void Sys_ReleaseCurrentContext();

// Destroys the contexts and windows and gives the display back its desktop
// mode and cursor. The worker must have released the loader context.
void Sys_DestroyWindow();

// Ends the process at once with the exit code, for a shutdown that cannot
// wait for another thread's work to end: the window goes and the display
// gets its desktop mode back, but the GL contexts, the sound device and the
// other threads are left to the system, which frees them.
[[noreturn]] void Sys_EndProcessNow(int exitCode);

// Shows the back buffer. Counts the frame for the test hooks (scripted
// input, fixed frame time, frame dumps).
void Sys_SwapBuffers();

// True when the display lists a mode of exactly that size (any depth and rate).
bool Sys_IsDisplayModeSupported(int width, int height);

// Puts the full-screen window back at width x height, as on re-activation.
void Sys_EnterFullScreen(int width, int height);

// Address of a GL entry point, or null. Declared with the GL types in platform/gl.h.

// ---- Window messages -----------------------------------------------------

enum class EventKind {
  Quit,         // the message loop's quit message (posted by Sys_PostQuit)
  QuitRequest,  // the system asks the program to end (session end, SIGTERM)
  Close,        // the player closed the window
  Activate,     // the window gained the focus
  Deactivate,   // the window lost the focus or was minimised
  KeyDown,      // code: virtual-key code
  KeyUp,        // code: virtual-key code
  Char,         // code: typed character, code page 1251
  Size,         // x, y: new drawable size
  MouseMove,    // x, y: cursor in window pixels
  ButtonDown,   // code: 0 left, 1 right; x, y: cursor
  ButtonUp,     // code: 0 left, 1 right; x, y: cursor
  TestFinish,   // scripted only: the player's race ends at the finish line now
};

struct Event {
  EventKind kind;
  int code = 0;
  int x = 0;
  int y = 0;
};

// Takes the next waiting message without blocking; false when none waits.
// Scripted test input is delivered here, each at its frame.
bool Sys_NextEvent(Event* event);

// Queues the quit message for the loop.
void Sys_PostQuit();

// Virtual-key codes. Keys outside this set are not reported; Alt and F10
// are system keys and never reach the game.
namespace vk {
inline constexpr int kBackspace = 8, kTab = 9, kEnter = 13, kShift = 16, kControl = 17;
inline constexpr int kEscape = 27, kSpace = 32;
inline constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
inline constexpr int kF1 = 112;  // F2..F12 follow (F10 excepted)
inline constexpr int kSemicolon = 0xBA, kEquals = 0xBB, kComma = 0xBC, kMinus = 0xBD;
inline constexpr int kPeriod = 0xBE, kSlash = 0xBF, kBackquote = 0xC0;
inline constexpr int kLeftBracket = 0xDB, kBackslash = 0xDC, kRightBracket = 0xDD;
inline constexpr int kQuote = 0xDE;
}  // namespace vk

// The code-page-1251 byte of a Unicode character: ASCII as it is, the
// Cyrillic letters and Yo; 0 for anything else.
uint8_t Sys_Cp1251FromUnicode(uint32_t codePoint);

// Typed text as the system delivers it (UTF-8) in code page 1251; control
// characters and characters the code page lacks are dropped.
std::string Sys_Cp1251FromUtf8(const char* utf8);

// ---- Test hooks ----------------------------------------------------------
//
// Environment variables, read here only, each switching on one hook:
//   ZARNOK_NONINTERACTIVE=1   message boxes print "caption: text" on stderr
//                             and return at once
//   ZARNOK_NO_WEB_PAGE=1      the statistics page is never opened (also
//                             implied by ZARNOK_NONINTERACTIVE)
//   ZARNOK_TRACE=<file>       lines "<kind> <detail>" appended by Sys_Trace:
//                             "screen <n>", "loader <n>", "sound <file>",
//                             "model <file>" for each start-up model read,
//                             "message <caption>: <text>" for each message box,
//                             "startup first frame shown" after the first
//                             swap and "startup resources made" once the GL
//                             resources that waited for it are there
//   ZARNOK_SEED=<n>           fixed seed of the random generator
//   ZARNOK_FRAME_MS=<n>       fixed frame time: the clock advances by n
//                             milliseconds per swapped frame and not otherwise
//   ZARNOK_INPUT=<file>       scripted input, one event a line:
//                               <frame> key-down <virtual-key code>
//                               <frame> key-up <virtual-key code>
//                               <frame> char <code-page-1251 code>
//                               <frame> mouse-move <x> <y>
//                               <frame> mouse-down left|right
//                               <frame> mouse-up left|right
//                               <frame> close        (the player closes the window)
//                               <frame> quit         (the system asks the program to end)
//                               <frame> finish       (the player crosses the finish
//                                                     line now, if a race runs)
//                             '#' starts a comment; an event is delivered
//                             before frame <frame> is drawn (frames count the
//                             swaps from 0), the lines of one frame in their
//                             order; lines must be in frame order;
//                             the display's focus loss is not delivered, so
//                             that other windows cannot pause a scripted run
//   ZARNOK_RACE=<n>           once the start-up load is done, race n (1..30)
//                             is loaded as a quick race and started, as the
//                             race selection will do; any other value is
//                             ignored
//   ZARNOK_HIDE_GL_EXTENSIONS=<name,name,...>
//                             the GL extension check (Sys_HasGLExtension)
//                             finds none of the listed extensions
//   ZARNOK_DUMP_FRAMES=<n,n,...> and ZARNOK_DUMP_DIR=<folder>
//                             the back buffer of each listed frame is written
//                             to <folder>/frame-<n>.png (RGB) before the swap

// Appends one line "<kind> <detail>" to the trace file named by the test
// environment. Does nothing when no trace was asked for. Safe to call from
// either thread.
void Sys_Trace(const char* kind, const char* detail);

// The race a test asks to start at once (ZARNOK_RACE), 1..30, or 0 when
// none was asked for.
inline constexpr int kTestRaceLastTrack = 30;
int Sys_TestRaceTrack();

// The fixed random seed asked for by a test, or -1 when none was asked for.
int64_t Sys_FixedSeed();

// While held, swapped frames are not counted: a scripted run's frame
// numbers, its frame dumps and the fixed clock skip them, so that a script
// does not depend on how long a load takes. Call before each swap; outside
// a test it changes nothing that the player sees.
void Sys_HoldScriptFrames(bool held);
