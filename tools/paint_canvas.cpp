#include "tools/paint_canvas.h"

#include <algorithm>
#include <cmath>

Rgb Mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, float s) { return {c.r * s, c.g * s, c.b * s}; }

float Hash01(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFFu) / float(0xFFFFFF);
}

float TileNoise(float x, float y, int period, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const float tx = x - fx, ty = y - fy;
  const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  auto at = [&](int i, int j) {
    const int p = std::max(period, 1);
    return Hash01(((i % p) + p) % p, ((j % p) + p) % p, seed);
  };
  const int ix = int(fx), iy = int(fy);
  const float a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
  const float b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
  return a + (b - a) * sy;
}

float TileFractal(float x, float y, int period, int octaves, uint32_t seed) {
  float sum = 0, weight = 0, amplitude = 1;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * TileNoise(x, y, period, seed + uint32_t(o) * 101u);
    weight += amplitude;
    amplitude *= 0.5f;
    x *= 2;
    y *= 2;
    period *= 2;
  }
  return sum / weight;
}

PaintCanvas::PaintCanvas(int width, int height)
    : width_(width), height_(height), texels_(size_t(width) * height) {}

void PaintCanvas::Paint(int x0, int y0, int x1, int y1,
                        const std::function<void(float, float, Texel&)>& paint) {
  x0 = std::clamp(x0, 0, width_);
  x1 = std::clamp(x1, 0, width_);
  y0 = std::clamp(y0, 0, height_);
  y1 = std::clamp(y1, 0, height_);
  const float w = float(std::max(x1 - x0, 1)), h = float(std::max(y1 - y0, 1));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) paint((float(x - x0) + 0.5f) / w, (float(y - y0) + 0.5f) / h, At(x, y));
}

namespace {

uint8_t ToByte(float v) { return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

}  // namespace

RasterImage PaintCanvas::ColourImage(int components) const {
  RasterImage image(width_, height_, components);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Texel& t = texels_[size_t(y) * width_ + x];
      uint8_t* p = image.At(x, y);
      p[0] = ToByte(t.colour.r);
      p[1] = ToByte(t.colour.g);
      p[2] = ToByte(t.colour.b);
      if (components == 4) p[3] = ToByte(t.alpha);
    }
  return image;
}

RasterImage PaintCanvas::NormalMap(float strength) const {
  RasterImage image(width_, height_, 3);
  auto height = [&](int x, int y) {
    x = (x + width_) % width_;
    y = (y + height_) % height_;
    return texels_[size_t(y) * width_ + x].height;
  };
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const float dx = (height(x + 1, y) - height(x - 1, y)) * 0.5f * strength;
      const float dy = (height(x, y + 1) - height(x, y - 1)) * 0.5f * strength;
      const float length = std::sqrt(dx * dx + dy * dy + 1);
      uint8_t* p = image.At(x, y);
      p[0] = ToByte((-dx / length) * 0.5f + 0.5f);
      p[1] = ToByte((-dy / length) * 0.5f + 0.5f);
      p[2] = ToByte((1 / length) * 0.5f + 0.5f);
    }
  return image;
}
