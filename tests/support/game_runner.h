// Runs the built game as a player would start it, under the test hooks:
// in the build folder (which holds base/) or another, with a temporary HOME, Mesa's
// software GL and OpenAL Soft's null output, non-interactive message boxes
// and no web page. Needs a display (the test script runs under Xvfb).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct GameRunOptions {
  std::string inputScript{};      // lines of the input script (see platform/platform.h)
  std::vector<int> dumpFrames{};  // frames whose picture is written as PNG
  int frameMilliseconds = 100;    // fixed frame time; 0 runs on the real clock
  int64_t seed = 1;               // fixed random seed; negative for none
  std::string home{};             // HOME for the game; empty for a fresh temporary one
  std::string workingFolder{};    // where the game runs (its base/ is read there); empty: the build folder
  int timeoutSeconds = 60;        // a guard against a hang, not a measure of speed
  // When set, the game is asked to end (by `endBy`) quitDelayMilliseconds
  // after its trace holds this line: for what the worker does in real time.
  std::string quitWhenTraced{};
  enum class EndBy { Sigterm, Sighup, Sigkill, DestroyingTheWindow, KillingTheConnection };
  EndBy endBy = EndBy::Sigterm;
  int quitDelayMilliseconds = 0;
  // When set, the game must end this many seconds after that signal, or it timed out.
  int quitTimeoutSeconds = 0;
  std::string stopThreadsBeforeQuit{};  // threads so named stopped (ptrace) 2 s after that line
  // More environment, set after the defaults above (so it may replace
  // them); an empty value removes the variable.
  std::vector<std::pair<std::string, std::string>> environment{};
};

struct GameRunResult {
  int exitCode = -1;        // the process's exit code; -1 when it did not exit normally
  bool timedOut = false;    // killed after timeoutSeconds
  std::string errorOutput;  // everything written on stderr
  std::vector<std::string> trace;  // lines of the trace file
  std::string dumpFolder;   // where frame-<n>.png files are
  int threadsStopped = 0;   // by stopThreadsBeforeQuit

  // The path of a dumped frame.
  std::string FramePath(int frame) const;
  // Whether the trace holds exactly this line.
  bool Traced(const std::string& line) const;
  // Every message box shown, as "caption: text".
  std::vector<std::string> MessageBoxes() const;
  // Every screen switched to, in order, as its number.
  std::vector<std::string> ScreensVisited() const;
  // The rest of every trace line that starts with `prefix`, in order.
  std::vector<std::string> TracedAfter(const std::string& prefix) const;
  // Copies a dumped frame to frames/<name> in the working folder, for a person.
  void KeepFrame(int frame, const std::string& name) const;
};

// Script lines of key taps {frame, virtual key}: down in the frame, up in the next.
std::string KeyTaps(std::initializer_list<std::pair<int, int>> taps);

// True when a display is there to open the game window on.
bool HasDisplay();

// Keeps one connection to the display open until the process ends. The X
// server resets when its last client leaves, and a window opened during the
// reset finds no display (SDL then falls back to drawing off screen): a test
// that closes the game's window, and with it SDL's connections, and opens it
// again holds the display across the gap.
void HoldDisplay();

// Runs the game to its end and collects what it left behind. The dump
// folder lives until the next run.
GameRunResult RunGame(const GameRunOptions& options);
