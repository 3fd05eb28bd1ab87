#include "tests/support/gl_window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>

#include "platform/gl.h"

#include "tools/tga_writer.h"

namespace {

// Each test and suite leaves no GL context current where it found none: a later
// test's loads would make draw lists where it expects triangles.
class ContextRelease : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { foundOne_ = SDL_GL_GetCurrentContext() != nullptr; }
  void OnTestEnd(const ::testing::TestInfo&) override { if (!foundOne_) Release(); }
  void OnTestSuiteEnd(const ::testing::TestSuite&) override { Release(); }
  static void Release() { if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GL_MakeCurrent(nullptr, nullptr); }
  bool foundOne_ = false;
};

}  // namespace

GlWindow* GlWindow::Get() {
  static std::unique_ptr<GlWindow> window;
  // Made again once SDL was shut down: a test that closes the game's own
  // window takes this one with it. Without a display every call tries anew.
  if (!window || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    static std::once_flag listening;
    std::call_once(listening, [] { ::testing::UnitTest::GetInstance()->listeners().Append(new ContextRelease); });
    window.reset(new GlWindow);
    if (!window->Create()) window.reset();
  }
  if (window) window->MakeMainCurrent();
  return window.get();
}

bool GlWindow::Create() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_Window* window = SDL_CreateWindow("Zarnok Racing test", SDL_WINDOWPOS_UNDEFINED,
                                        SDL_WINDOWPOS_UNDEFINED, kWidth, kHeight,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (window == nullptr) return false;
  window_ = window;
  SDL_GLContext main = SDL_GL_CreateContext(window);
  if (main == nullptr) return false;
  mainContext_ = main;
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
  SDL_GLContext loader = SDL_GL_CreateContext(window);
  if (loader == nullptr) return false;
  loaderContext_ = loader;
  SDL_GL_MakeCurrent(window, main);
  SetupMultitexture();
  FetchAssetGlEntryPoints();
  return true;
}

void GlWindow::MakeMainCurrent() {
  SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), mainContext_);
}

void GlWindow::MakeLoaderCurrent() {
  SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), loaderContext_);
}

void GlWindow::BeginMenuFrame(float r, float g, float b) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 0, 600, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  glColor4f(1, 1, 1, 1);
}

std::vector<uint8_t> GlWindow::ReadPixels(int x, int y, int width, int height) {
  std::vector<uint8_t> pixels(size_t(width) * height * 4);
  glFinish();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

bool GlWindow::DumpFrame(const std::string& path) {
  const std::vector<uint8_t> rgba = ReadPixels(0, 0, kWidth, kHeight);
  RasterImage image(kWidth, kHeight, 3);
  for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i)
    for (int c = 0; c < 3; ++c) image.pixels[i * 3 + c] = rgba[i * 4 + c];
  return WriteTga(path, image, TgaRows::TopDown);
}
