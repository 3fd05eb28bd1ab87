#include "tests/support/game_runner.h"

#include "tests/support/temp_home.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zarnok-run-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The folder of the previous run, removed when the next one starts.
std::string& LastRunFolder() {
  static std::string folder;
  return folder;
}

// Seizes and stops every thread of `process` named `name` until it dies.
std::vector<pid_t> StopThreadsNamed(pid_t process, const std::string& name) {
  std::vector<pid_t> stopped;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/task")) {
    const pid_t thread = std::stoi(task.path().filename().string());
    if (ReadText(task.path() / "comm") == name + "\n" && ptrace(PTRACE_SEIZE, thread, nullptr, nullptr) == 0 &&
        ptrace(PTRACE_INTERRUPT, thread, nullptr, nullptr) == 0 && waitpid(thread, nullptr, __WALL) == thread)
      stopped.push_back(thread);
  }
  return stopped;
}

// Destroys the top-level windows named `title` as a tool that does not ask
// would, or kills their display connections as a desktop's force quit does.
void EndWindowsNamed(const std::string& title, bool killTheConnection) {
  Display* display = XOpenDisplay(nullptr);
  // The windows of a killed client go while we walk them.
  const XErrorHandler handler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (char* name = nullptr; count > 0; XFree(name), name = nullptr)
    if (XFetchName(display, children[--count], &name) && name == title)
      (killTheConnection ? XKillClient : XDestroyWindow)(display, children[count]);
  XFree(children);
  XSync(display, False);
  XSetErrorHandler(handler);
  XCloseDisplay(display);
}

void AskToEnd(pid_t game, GameRunOptions::EndBy endBy) {
  using EndBy = GameRunOptions::EndBy;
  if (endBy == EndBy::DestroyingTheWindow || endBy == EndBy::KillingTheConnection)
    EndWindowsNamed("Zarnok Racing", endBy == EndBy::KillingTheConnection);
  else kill(game, endBy == EndBy::Sighup ? SIGHUP : endBy == EndBy::Sigkill ? SIGKILL : SIGTERM);
}

// A traced thread's death is told to its tracer, and the process's own end waits until it is taken.
void ReapStoppedThreads(const std::vector<pid_t>& threads, int flags) {
  for (pid_t thread : threads) waitpid(thread, nullptr, flags | __WALL);
}

}  // namespace

std::string GameRunResult::FramePath(int frame) const {
  return dumpFolder + "/frame-" + std::to_string(frame) + ".png";
}

bool GameRunResult::Traced(const std::string& line) const {
  for (const std::string& traced : trace) {
    if (traced == line) return true;
  }
  return false;
}

std::vector<std::string> GameRunResult::TracedAfter(const std::string& prefix) const {
  std::vector<std::string> values;
  for (const std::string& line : trace) {
    if (line.rfind(prefix, 0) == 0) values.push_back(line.substr(prefix.size()));
  }
  return values;
}

std::vector<std::string> GameRunResult::MessageBoxes() const { return TracedAfter("message "); }

std::vector<std::string> GameRunResult::ScreensVisited() const { return TracedAfter("screen "); }

void GameRunResult::KeepFrame(int frame, const std::string& name) const {
  std::filesystem::create_directories("frames");  // a failure throws, and the test reports it
  std::filesystem::copy_file(FramePath(frame), "frames/" + name, std::filesystem::copy_options::overwrite_existing);
}

std::string KeyTaps(std::initializer_list<std::pair<int, int>> taps) {
  std::string script;
  for (auto [frame, key] : taps) {
    script += std::to_string(frame) + " key-down " + std::to_string(key) + "\n" + std::to_string(frame + 1) +
              " key-up " + std::to_string(key) + "\n";
  }
  return script;
}

bool HasDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

void HoldDisplay() {
  static Display* held = nullptr;
  if (!held) held = XOpenDisplay(nullptr);
}

GameRunResult RunGame(const GameRunOptions& options) {
  std::error_code ignored;
  if (!LastRunFolder().empty()) std::filesystem::remove_all(LastRunFolder(), ignored);
  std::string folder = MakeTempFolder();
  LastRunFolder() = folder;
  std::string home = options.home;
  if (home.empty()) {
    home = folder + "/home";
    std::filesystem::create_directories(home);
  }
  std::ofstream(folder + "/input.txt") << options.inputScript;

  std::map<std::string, std::string> env;
  for (char** entry = environ; *entry; ++entry) {
    std::string text = *entry;
    size_t equals = text.find('=');
    if (equals != std::string::npos) env[text.substr(0, equals)] = text.substr(equals + 1);
  }
  env.erase("XDG_CONFIG_HOME");
  env["HOME"] = home;
  env["ALSOFT_DRIVERS"] = "null";
  env["LIBGL_ALWAYS_SOFTWARE"] = "1";
  env["ZARNOK_NONINTERACTIVE"] = "1";
  env["ZARNOK_NO_WEB_PAGE"] = "1";
  env["ZARNOK_TRACE"] = folder + "/trace.txt";
  env["ZARNOK_INPUT"] = folder + "/input.txt";
  env.erase("ZARNOK_FRAME_MS");
  if (options.frameMilliseconds > 0) env["ZARNOK_FRAME_MS"] = std::to_string(options.frameMilliseconds);
  env.erase("ZARNOK_SEED");
  if (options.seed >= 0) env["ZARNOK_SEED"] = std::to_string(options.seed);
  if (!options.dumpFrames.empty()) {
    std::string frames;
    for (int frame : options.dumpFrames) frames += (frames.empty() ? "" : ",") + std::to_string(frame);
    env["ZARNOK_DUMP_FRAMES"] = frames;
    env["ZARNOK_DUMP_DIR"] = folder;
  }
  for (const auto& [name, value] : options.environment) {
    if (value.empty()) env.erase(name);
    else env[name] = value;
  }
  std::vector<std::string> envText;
  for (const auto& [name, value] : env) envText.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& text : envText) envp.push_back(text.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  std::string errorPath = folder + "/stderr.txt";
  posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, STDERR_FILENO, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const std::string workingFolder = options.workingFolder.empty() ? ZARNOK_BUILD_DIR : options.workingFolder;
  posix_spawn_file_actions_addchdir_np(&files, workingFolder.c_str());
  std::string program = ZARNOK_GAME_EXE;
  char* argv[] = {program.data(), nullptr};
  pid_t child;
  int spawnError = posix_spawn(&child, program.c_str(), &files, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&files);

  GameRunResult result;
  result.dumpFolder = folder;
  if (spawnError != 0) {
    result.errorOutput = "cannot start " + program;
    return result;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  int status = 0;
  bool quitAsked = false;
  std::vector<pid_t> stopped;
  while (ReapStoppedThreads(stopped, WNOHANG), waitpid(child, &status, WNOHANG) == 0) {
    if (!options.quitWhenTraced.empty() && !quitAsked &&
        ("\n" + ReadText(folder + "/trace.txt")).find("\n" + options.quitWhenTraced + "\n") != std::string::npos) {
      if (!options.stopThreadsBeforeQuit.empty()) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        stopped = StopThreadsNamed(child, options.stopThreadsBeforeQuit);
        result.threadsStopped = static_cast<int>(stopped.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(options.quitDelayMilliseconds));
      AskToEnd(child, options.endBy);
      quitAsked = true;
      if (options.quitTimeoutSeconds > 0) {
        deadline = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::seconds(options.quitTimeoutSeconds));
      }
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      ReapStoppedThreads(stopped, 0);
      waitpid(child, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.errorOutput = ReadText(errorPath);
  result.trace = Lines(ReadText(folder + "/trace.txt"));
  return result;
}
