// The painting canvas of the generator's menu and race art: straight RGBA
// pixels in 0..1, shapes given by signed distances with one pixel of soft
// edge, and DejaVu lettering; turned into a raster image for the writers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "math/ne_math.h"
#include "tools/tga_writer.h"

inline constexpr char kLetteringFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct Colour {
  double r, g, b;
};
inline constexpr Colour kWhite{1, 1, 1};
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kSignalRed{0.82, 0.08, 0.06};
inline constexpr Colour kRust{0.55, 0.22, 0.08};
inline constexpr Colour kSteel{0.30, 0.32, 0.34};
inline constexpr Colour kDarkSteel{0.12, 0.13, 0.14};

// A picture being painted: pixels kept as straight (not premultiplied)
// colour in 0..1, rows bottom-up like the texture (y grows upwards, so
// texture t = y / height). Shapes are given by a signed distance in pixels
// (negative inside) and get one pixel of soft edge.
class Canvas {
 public:
  Canvas(int width, int height, bool alpha)
      : width_(width), height_(height), alpha_(alpha), rgba_(size_t(width) * height * 4, 0.0) {
    if (!alpha) Fill(kBlack);
  }

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Paints `colour` over pixel (x, y) with coverage a (source-over).
  void Blend(int x, int y, Colour colour, double a) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || a <= 0) return;
    a = std::min(a, 1.0);
    double* p = &rgba_[(size_t(y) * width_ + x) * 4];
    const double outA = a + p[3] * (1 - a);
    const double c[3] = {colour.r, colour.g, colour.b};
    for (int k = 0; k < 3; ++k) {
      p[k] = outA > 0 ? (c[k] * a + p[k] * p[3] * (1 - a)) / outA : c[k];
    }
    p[3] = outA;
  }

  void Fill(Colour colour) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) Blend(x, y, colour, 1.0);
  }

  // Paints every pixel whose centre the shape covers; `shade` gives the
  // colour at a pixel centre, `distance` the signed distance to the edge.
  template <typename Distance, typename Shade>
  void Paint(Distance distance, Shade shade, double alpha = 1.0) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        const double coverage = std::clamp(0.5 - distance(px, py), 0.0, 1.0);
        if (coverage > 0) Blend(x, y, shade(px, py), coverage * alpha);
      }
  }

  template <typename Distance>
  void Paint(Distance distance, Colour colour, double alpha = 1.0) {
    Paint(distance, [colour](double, double) { return colour; }, alpha);
  }

  // Lettering in DejaVu Sans Bold, `size` pixels to the em, its baseline
  // centred on (cx, baseline).
  void Text(const char* text, double cx, double baseline, int size, Colour colour, double alpha = 1.0);

  RasterImage ToImage() const {
    RasterImage image(width_, height_, alpha_ ? 4 : 3);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const double* p = &rgba_[(size_t(y) * width_ + x) * 4];
        uint8_t* out = image.At(x, y);
        for (int k = 0; k < image.components; ++k) {
          out[k] = uint8_t(std::clamp(p[k], 0.0, 1.0) * 255 + 0.5);
        }
      }
    return image;
  }

 private:
  int width_, height_;
  bool alpha_;
  std::vector<double> rgba_;
};

// ---- Signed distances (pixels, negative inside) ----

inline auto Box(double cx, double cy, double halfW, double halfH, double radius = 0) {
  return [=](double x, double y) {
    const double qx = std::abs(x - cx) - halfW + radius, qy = std::abs(y - cy) - halfH + radius;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
  };
}

inline auto Disc(double cx, double cy, double radius) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - radius; };
}

inline auto Ring(double cx, double cy, double inner, double outer) {
  return [=](double x, double y) {
    const double d = std::hypot(x - cx, y - cy);
    return std::max(inner - d, d - outer);
  };
}

// A convex polygon, corners counter-clockwise.
inline auto Convex(std::vector<std::pair<double, double>> corners) {
  return [corners](double x, double y) {
    double worst = -1e9;
    for (size_t i = 0; i < corners.size(); ++i) {
      const auto [ax, ay] = corners[i];
      const auto [bx, by] = corners[(i + 1) % corners.size()];
      const double ex = bx - ax, ey = by - ay, length = std::hypot(ex, ey);
      // Outward normal of a counter-clockwise edge is (ey, -ex).
      worst = std::max(worst, ((x - ax) * ey - (y - ay) * ex) / length);
    }
    return worst;
  };
}

// A thick line segment with round ends.
inline auto Stroke(double ax, double ay, double bx, double by, double halfWidth) {
  return [=](double x, double y) {
    const double ex = bx - ax, ey = by - ay;
    const double t = std::clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
    return std::hypot(x - ax - t * ex, y - ay - t * ey) - halfWidth;
  };
}

inline Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A small fixed hash for grain, so the art never depends on a random sequence.
inline double Grain(int x, int y) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return double(h >> 8) / double(1u << 24) - 0.5;
}
