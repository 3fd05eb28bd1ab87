// Clock, folders, message boxes, the web page and the trace file.
#include "platform/platform.h"
#include "platform/test_hooks.h"

#include <SDL2/SDL.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <mutex>
#include <thread>

extern char** environ;

namespace {

const std::chrono::steady_clock::time_point gClockStart = std::chrono::steady_clock::now();

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// A path the file calls can take as it stands: absolute and without a NUL.
bool IsAbsoluteFolder(const std::string& path) {
  return !path.empty() && path.front() == '/' && path.find('\0') == std::string::npos;
}

// The first bytes of a small text file, read with plain system calls: the
// shutdown guard finds the save folder through here while a stuck thread
// may hold stdio's locks. Empty when the file cannot be read.
std::string ReadSmallTextFile(const std::string& path) {
  constexpr size_t kMaxBytes = 64 * 1024;  // a user-dirs.dirs is a few hundred bytes
  const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return {};
  std::string text;
  char chunk[4096];
  ssize_t got;
  while (text.size() < kMaxBytes && ((got = ::read(file, chunk, sizeof chunk)) > 0 || (got < 0 && errno == EINTR))) {
    if (got > 0) text.append(chunk, size_t(got));
  }
  ::close(file);
  return text;
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file, with a leading
// $HOME expanded, as xdg-user-dir reads it; empty when the file lacks it.
std::string XdgDocumentsFromFile(const std::string& file, const std::string& home) {
  std::istringstream in(ReadSmallTextFile(file));
  std::string line, found;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DOCUMENTS_DIR=";
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    found = value;  // the last assignment wins, as in the shell
  }
  return found;
}

}  // namespace

uint32_t Sys_Milliseconds() {
  if (uint32_t frame = FixedFrameMilliseconds()) return SwappedFrames() * frame;
  auto elapsed = std::chrono::steady_clock::now() - gClockStart;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void Sys_Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void Sys_NameThisThread(const char* name) {
  char kept[16] = {};
  std::strncpy(kept, name, sizeof kept - 1);
  pthread_setname_np(pthread_self(), kept);
}

uint64_t Sys_PerformanceCounter() {
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

uint64_t Sys_PerformanceFrequency() {
  using Period = std::chrono::steady_clock::period;
  return static_cast<uint64_t>(Period::den / Period::num);
}

std::string Sys_DocumentsFolder() {
  const char* homeVariable = std::getenv("HOME");
  if (!homeVariable || !IsAbsoluteFolder(homeVariable)) return {};
  std::string home = WithoutTrailingSlashes(homeVariable);
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::string config = (configHome && *configHome) ? std::string(configHome) : home + "/.config";
  std::string documents = WithoutTrailingSlashes(XdgDocumentsFromFile(config + "/user-dirs.dirs", home));
  // An entry that is relative, names the home folder itself or holds a NUL
  // (which every later use of the path would cut it at) means "not set".
  if (!IsAbsoluteFolder(documents) || documents == home) return home + "/Documents";
  return documents;
}

bool Sys_MakeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

void Sys_MessageBox(const char* caption, const char* text, MessageIcon icon) {
  Sys_Trace("message", (std::string(caption) + ": " + text).c_str());
  if (NonInteractiveRun()) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return;
  }
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if (icon == MessageIcon::Exclamation) flags = SDL_MESSAGEBOX_WARNING;
  if (icon == MessageIcon::Stop) flags = SDL_MESSAGEBOX_ERROR;
  if (SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) != 0) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }
}

void Sys_OpenWebPage(const char* path) {
  if (NonInteractiveRun() || TestEnv("ZARNOK_NO_WEB_PAGE")) return;
  std::error_code error;
  auto full = std::filesystem::absolute(path, error);
  if (error || !std::filesystem::exists(full, error)) return;
  std::string target = full.string();
  char program[] = "xdg-open";
  char* arguments[] = {program, target.data(), nullptr};
  // No shell: the path goes to xdg-open as one argument, whatever it holds.
  // The browser outlives us; a missing xdg-open just means no page.
  // The browser gets the signals our shutdown guard keeps blocked here, and
  // SIGPIPE, which the game ignores, back at its default.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, pipe;
  sigemptyset(&none);
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipe);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t child;
  posix_spawnp(&child, program, nullptr, &attributes, arguments, environ);
  posix_spawnattr_destroy(&attributes);
}

void Sys_Trace(const char* kind, const char* detail) {
  static const char* path = TestEnv("ZARNOK_TRACE");
  if (!path) return;
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);
  static FILE* file = std::fopen(path, "a");
  if (!file) return;
  std::fprintf(file, "%s %s\n", kind, detail);
  std::fflush(file);
}

int Sys_TestRaceTrack() {
  const char* race = TestEnv("ZARNOK_RACE");
  if (!race) return 0;
  const long track = std::strtol(race, nullptr, 10);
  return track >= 1 && track <= kTestRaceLastTrack ? int(track) : 0;
}

int64_t Sys_FixedSeed() {
  const char* seed = TestEnv("ZARNOK_SEED");
  return seed ? std::strtoll(seed, nullptr, 10) : -1;
}
