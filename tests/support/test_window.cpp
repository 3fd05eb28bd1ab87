#include "tests/support/test_window.h"

#include "framework/window.h"
#include "platform/gl.h"
#include "tests/support/game_runner.h"

#include <cstring>

TestWindow::TestWindow() {
  open_ = HasDisplay() && CreateMainWindow("Zarnok Racing", 1024, 768, 32, true);
}

TestWindow::~TestWindow() {
  if (open_) DestroyMainWindow();
}

RgbImage ReadBackBuffer() {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  RgbImage image;
  image.width = viewport[2];
  image.height = viewport[3];
  if (image.width <= 0 || image.height <= 0) return {};
  std::vector<uint8_t> bottomUp(static_cast<size_t>(image.width) * image.height * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  size_t stride = static_cast<size_t>(image.width) * 3;
  image.rgb.resize(bottomUp.size());
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(&image.rgb[y * stride], &bottomUp[(image.height - 1 - y) * stride], stride);
  }
  return image;
}
