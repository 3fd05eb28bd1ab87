#include "tests/support/gl_window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gl.h"

#include "tools/tga_writer.h"

namespace {

GlWindow* gWindow = nullptr;

// What a test may change in the main context and a later one would draw
// with: all that the attribute stacks keep (capabilities, blend and depth
// functions, each unit's bindings, enables and environment, the active unit,
// the current colour, the viewport, client arrays, pixel storage), and the
// matrix stacks that they do not. The program and the framebuffer are the
// game's to unbind, and its tests check that it does.
struct SavedGlState {
  bool forSuite;
  GLint attribDepth, clientAttribDepth;
  std::vector<std::pair<GLint, std::array<GLfloat, 16>>> stacks;  // each one's depth and top
};
std::vector<SavedGlState> gSaved;

GLint Integer(GLenum name) { GLint value = 0; glGetIntegerv(name, &value); return value; }

// Selects each matrix stack in turn, modelview, projection, then each
// unit's texture one, and gives `visit` its index and the names of its
// depth and top (GL numbers each of these three kinds of names in a row).
template <typename Visit>
void EachMatrixStack(Visit visit) {
  glPushAttrib(GL_TEXTURE_BIT | GL_TRANSFORM_BIT);  // the active unit and the matrix mode
  for (GLint i = 0; i < 2 + Integer(GL_MAX_TEXTURE_COORDS); ++i) {
    const GLenum kind = GLenum(std::min(i, 2));
    GlActiveTexture(GLenum(GL_TEXTURE0 + std::max(i - 2, 0)));
    glMatrixMode(GL_MODELVIEW + kind);
    visit(size_t(i), GL_MODELVIEW_STACK_DEPTH + kind, GL_MODELVIEW_MATRIX + kind);
  }
  glPopAttrib();
}

// Runs `work` with the window's main context current and drains the errors
// (an error left by a test would fail a later one's checks), then gives the
// thread back the context it had, or none.
template <typename Work>
void InMainContext(Work work) {
  if (gWindow == nullptr || SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  SDL_GLContext context = SDL_GL_GetCurrentContext();
  gWindow->MakeMainCurrent();
  work();
  while (glGetError() != GL_NO_ERROR) {
  }
  SDL_GL_MakeCurrent(context ? window : nullptr, context);
}

void SaveGlState(bool forSuite) {
  InMainContext([forSuite] {
    SavedGlState saved{forSuite, Integer(GL_ATTRIB_STACK_DEPTH),
                       Integer(GL_CLIENT_ATTRIB_STACK_DEPTH), {}};
    EachMatrixStack([&saved](size_t, GLenum depth, GLenum top) {
      saved.stacks.push_back({Integer(depth), {}});
      glGetFloatv(top, saved.stacks.back().second.data());
    });
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    gSaved.push_back(std::move(saved));
  });
}

// Gives back the states saved for the test that ends, or for the suite.
void RestoreSaved(bool suiteEnds) {
  for (; !gSaved.empty() && (suiteEnds || !gSaved.back().forSuite); gSaved.pop_back()) {
    InMainContext([&saved = gSaved.back()] {
      EachMatrixStack([&saved](size_t i, GLenum depth, GLenum) {
        while (Integer(depth) > saved.stacks[i].first) glPopMatrix();
        while (Integer(depth) < saved.stacks[i].first) glPushMatrix();
        glLoadMatrixf(saved.stacks[i].second.data());
      });
      // A test stopped between a push and its pop leaves its levels above ours.
      while (Integer(GL_ATTRIB_STACK_DEPTH) > saved.attribDepth) glPopAttrib();
      while (Integer(GL_CLIENT_ATTRIB_STACK_DEPTH) > saved.clientAttribDepth) glPopClientAttrib();
    });
  }
}

// Each test, and each suite, leaves the main context's state as it found
// it, so that every test draws what it expects in any order; the window's
// first test or suite leaves GL's defaults.
class GlStateKeeper : public ::testing::EmptyTestEventListener {
  void OnTestSuiteStart(const ::testing::TestSuite&) override { SaveGlState(true); }
  void OnTestStart(const ::testing::TestInfo&) override { SaveGlState(false); }
  void OnTestEnd(const ::testing::TestInfo&) override { RestoreSaved(false); }
  void OnTestSuiteEnd(const ::testing::TestSuite&) override { RestoreSaved(true); }
};

// No test starts, and no suite ends, with a GL context current on the
// tests' thread, as none is when ctest runs a test alone in its process:
// one left current by an earlier test or suite would turn this test's loads
// into draw lists where it expects triangles. A GL test makes its own
// current (GlWindow::Get does).
class ContextRelease : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { Release(); }
  void OnTestSuiteEnd(const ::testing::TestSuite&) override { Release(); }
  static void Release() { if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GL_MakeCurrent(nullptr, nullptr); }
};

}  // namespace

GlWindow* GlWindow::Get() {
  static std::unique_ptr<GlWindow> window;
  // Made again once SDL was shut down: a test that closes the game's own
  // window takes this one with it. Without a display every call tries anew.
  if (!window || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    static std::once_flag listening;
    std::call_once(listening, [] {
      ::testing::UnitTest::GetInstance()->listeners().Append(new GlStateKeeper);
      ::testing::UnitTest::GetInstance()->listeners().Append(new ContextRelease);
    });
    gSaved.clear();  // the states saved in the old window's context went with it
    window.reset(new GlWindow);
    if (!window->Create()) window.reset();
    gWindow = window.get();
    // Made inside a test, it leaves GL's defaults at that test's end; else at the suite's.
    if (gWindow) SaveGlState(::testing::UnitTest::GetInstance()->current_test_info() == nullptr);
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
