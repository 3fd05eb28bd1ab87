// A real window with a GL 2.1 compatibility context for drawing tests, plus
// a second context sharing its names (the loader context of the worker).
// Runs under Xvfb with Mesa's software GL; without a display the tests
// that need it skip. Once it is made, every test and suite gives the main
// context's state back as it found it, and every test starts with no
// context current (Get makes the main one current).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class GlWindow {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;

  // The process's window, made on first use; null when no window can be
  // made (no display).
  static GlWindow* Get();

  void MakeMainCurrent();
  void MakeLoaderCurrent();
  // Clears colour and depth to the colour, resets the matrices and sets the
  // 800x600 orthographic frame the menus use, texturing on unit 0 on.
  void BeginMenuFrame(float r, float g, float b);
  // RGBA pixels of the back buffer, rows bottom-up, in window pixels.
  std::vector<uint8_t> ReadPixels(int x, int y, int width, int height);
  // Writes the back buffer as a 24-bit TGA for a person to look at, stored
  // top row first so that any viewer shows it upright.
  bool DumpFrame(const std::string& path);

 private:
  GlWindow() = default;
  bool Create();

  void* window_ = nullptr;
  void* mainContext_ = nullptr;
  void* loaderContext_ = nullptr;
};

// Skips the current test when there is no window.
#define REQUIRE_GL_WINDOW(window)                                   \
  GlWindow* window = GlWindow::Get();                               \
  if (window == nullptr) GTEST_SKIP() << "no display for a GL window"

// Window x and y of a point of the 800x600 menu frame.
inline int FrameToWindowX(float x) { return int(x * GlWindow::kWidth / 800.0f); }
inline int FrameToWindowY(float y) { return int(y * GlWindow::kHeight / 600.0f); }
