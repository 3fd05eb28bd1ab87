// Image and pixel helpers shared by the window tests of this folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gl.h"
#include "tests/support/gl_window.h"
#include "tools/tga_writer.h"

// An image of one colour, for our writers to turn into a texture file.
inline RasterImage SolidImage(int width, int height, int components, uint8_t r, uint8_t g, uint8_t b,
                              uint8_t a = 255) {
  RasterImage image(width, height, components);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.At(x, y);
      p[0] = r;
      p[1] = g;
      p[2] = b;
      if (components == 4) p[3] = a;
    }
  return image;
}

// A box in window pixels, inclusive-exclusive.
struct PixelBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// The box of every pixel that differs from the background by more than a
// little, over the whole window.
inline PixelBox InkBox(GlWindow* window, const uint8_t background[3], int tolerance = 24) {
  const std::vector<uint8_t> pixels = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  PixelBox box{GlWindow::kWidth, GlWindow::kHeight, 0, 0};
  for (int y = 0; y < GlWindow::kHeight; ++y)
    for (int x = 0; x < GlWindow::kWidth; ++x) {
      const uint8_t* p = &pixels[(size_t(y) * GlWindow::kWidth + x) * 4];
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference += std::abs(int(p[c]) - int(background[c]));
      if (difference > tolerance) {
        if (x < box.x0) box.x0 = x;
        if (y < box.y0) box.y0 = y;
        if (x + 1 > box.x1) box.x1 = x + 1;
        if (y + 1 > box.y1) box.y1 = y + 1;
      }
    }
  return box;
}

// The pixel of the window that differs most from the background.
inline std::vector<int> MostDifferentPixel(GlWindow* window, const uint8_t background[3]) {
  const std::vector<uint8_t> pixels = window->ReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight);
  int best = -1;
  std::vector<int> colour(3, 0);
  for (size_t i = 0; i < pixels.size(); i += 4) {
    int difference = 0;
    for (int c = 0; c < 3; ++c) difference += std::abs(int(pixels[i + c]) - int(background[c]));
    if (difference > best) {
      best = difference;
      for (int c = 0; c < 3; ++c) colour[c] = pixels[i + c];
    }
  }
  return colour;
}

inline std::vector<int> PixelAt(GlWindow* window, int x, int y) {
  const std::vector<uint8_t> p = window->ReadPixels(x, y, 1, 1);
  return {p[0], p[1], p[2]};
}
