// A float canvas for the generator's procedural textures: colour, alpha
// and a relief height per pixel, painted by per-pixel functions over
// rectangles, then written as a colour image and the normal map of its
// relief. Pixel rows run bottom-up like RasterImage, so a texture
// coordinate (s, t) in GL's orientation is pixel (s × width, t × height).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/tga_writer.h"

struct Rgb {
  float r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb c, float s);

// One pixel as the painting functions see it.
struct Texel {
  Rgb colour;
  float alpha = 1;
  float height = 0;  // relief, in pixels of the canvas
};

// Smooth value noise in 0..1 with a period of `period` lattice cells in x
// and y (so it tiles), and a sum of octaves of it.
float TileNoise(float x, float y, int period, uint32_t seed);
float TileFractal(float x, float y, int period, int octaves, uint32_t seed);
// A hash of integers in 0..1.
float Hash01(int x, int y, uint32_t seed);

class PaintCanvas {
 public:
  PaintCanvas(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  Texel& At(int x, int y) { return texels_[size_t(y) * width_ + x]; }

  // Calls paint(u, v, texel) for every pixel of the rectangle [x0, x1) ×
  // [y0, y1), with u and v the pixel centre's position in the rectangle
  // from 0 to 1.
  void Paint(int x0, int y0, int x1, int y1, const std::function<void(float u, float v, Texel&)>& paint);
  void PaintAll(const std::function<void(float u, float v, Texel&)>& paint) {
    Paint(0, 0, width_, height_, paint);
  }

  // The colour (and alpha with 4 components) as an image.
  RasterImage ColourImage(int components) const;
  // The relief as a tangent-space normal map (blue up); `strength` scales
  // the slopes. Neighbours wrap around the edges.
  RasterImage NormalMap(float strength) const;

 private:
  int width_;
  int height_;
  std::vector<Texel> texels_;
};
