// Clock, folders, message boxes, the web page and the trace file.
#include "platform/platform.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

// Test hooks are read once, here and nowhere else.
const char* TestEnv(const char* name) {
  const char* value = std::getenv(name);
  return (value && *value) ? value : nullptr;
}

bool NonInteractive() { return TestEnv("ZARNOK_NONINTERACTIVE") != nullptr; }

const std::chrono::steady_clock::time_point gClockStart = std::chrono::steady_clock::now();

}  // namespace

uint32_t Sys_Milliseconds() {
  auto elapsed = std::chrono::steady_clock::now() - gClockStart;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void Sys_Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t Sys_PerformanceCounter() {
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

uint64_t Sys_PerformanceFrequency() {
  using Period = std::chrono::steady_clock::period;
  return static_cast<uint64_t>(Period::den / Period::num);
}

std::string Sys_DocumentsFolder() {
  if (const char* xdg = std::getenv("XDG_DOCUMENTS_DIR"); xdg && *xdg) {
    std::string path = xdg;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
  }
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  std::string path = home;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path + "/Documents";
}

bool Sys_MakeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

void Sys_MessageBox(const char* caption, const char* text, MessageIcon icon) {
  if (NonInteractive()) {
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
  if (NonInteractive() || TestEnv("ZARNOK_NO_WEB_PAGE")) return;
  std::error_code error;
  auto full = std::filesystem::absolute(path, error);
  if (error || !std::filesystem::exists(full, error)) return;
  if (std::system("command -v xdg-open >/dev/null 2>&1") != 0) return;
  std::string command = "xdg-open '" + full.string() + "' >/dev/null 2>&1 &";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "Could not open %s\n", full.c_str());
  }
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

int64_t Sys_FixedSeed() {
  const char* seed = TestEnv("ZARNOK_SEED");
  return seed ? std::strtoll(seed, nullptr, 10) : -1;
}
