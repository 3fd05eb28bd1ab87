// STAND-IN until the graphics resources land (framebuffers and the scene
// textures): the route map is drawn on the processor into a buffer and
// uploaded into its own texture; the race scene is already on the window
// (the race frame draws straight into it), so the overlay adds nothing
// under the HUD. Replace this file with the framebuffer version.
#include "ui/race_targets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "framework/globals.h"

GLuint gRouteMapTexture;

namespace {

std::vector<float> gCanvas;  // RGBA, gRouteMapWidth x gRouteMapHeight

// The route dot's shape: full in the middle, soft at the rim.
float DotAlpha(float distance, float radius) {
  const float r = distance / radius;
  return r >= 1.0f ? 0.0f : 1.0f - r * r;
}

template <typename Blend>
void PaintDot(float x, float y, float size, Blend blend) {
  const float radius = size / 2;
  const int w = gRouteMapWidth, h = gRouteMapHeight;
  const int x0 = std::max(0, int(std::floor(x - radius))), x1 = std::min(w - 1, int(std::ceil(x + radius)));
  const int y0 = std::max(0, int(std::floor(y - radius))), y1 = std::min(h - 1, int(std::ceil(y + radius)));
  for (int py = y0; py <= y1; ++py) {
    for (int px = x0; px <= x1; ++px) {
      const float a = DotAlpha(std::hypot(float(px) + 0.5f - x, float(py) + 0.5f - y), radius);
      if (a > 0) blend(&gCanvas[(size_t(py) * size_t(w) + size_t(px)) * 4], a);
    }
  }
}

}  // namespace

void BeginRouteMapCanvas() {
  gCanvas.assign(size_t(gRouteMapWidth) * size_t(gRouteMapHeight) * 4, 0.0f);
}

void AddRouteDot(float x, float y, float size, float grey) {
  PaintDot(x, y, size, [grey](float* texel, float a) {
    for (int c = 0; c < 3; ++c) texel[c] = std::min(1.0f, texel[c] + grey * a);
    texel[3] = std::min(1.0f, texel[3] + a);
  });
}

void LayRouteDot(float x, float y, float size) {
  PaintDot(x, y, size, [](float* texel, float a) {
    for (int c = 0; c < 4; ++c) texel[c] = texel[c] * (1 - a) + a;
  });
}

void EndRouteMapCanvas() {
  std::vector<uint8_t> bytes(gCanvas.size());
  for (size_t i = 0; i < gCanvas.size(); ++i) bytes[i] = static_cast<uint8_t>(gCanvas[i] * 255.0f + 0.5f);
  if (gRouteMapTexture == 0) glGenTextures(1, &gRouteMapTexture);
  glBindTexture(GL_TEXTURE_2D, gRouteMapTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, gRouteMapWidth, gRouteMapHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
}

void DrawRaceScene(float) {}
