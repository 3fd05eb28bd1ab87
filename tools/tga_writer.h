// Uncompressed TGA files as the game reads them: the plain true-colour
// header, 24 or 32 bits, rows bottom-up, pixels stored blue, green, red
// (and alpha).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An image to write: rows bottom-up, pixels red, green, blue (and alpha).
struct RasterImage {
  int width = 0;
  int height = 0;
  int components = 3;  // 3 or 4
  std::vector<uint8_t> pixels;

  RasterImage() = default;
  RasterImage(int w, int h, int c) : width(w), height(h), components(c), pixels(size_t(w) * h * c) {}
  uint8_t* At(int x, int y) { return &pixels[(size_t(y) * width + x) * components]; }
  const uint8_t* At(int x, int y) const { return &pixels[(size_t(y) * width + x) * components]; }
};

// Row order of a written file. Game data is stored bottom-up with the
// header's origin at the bottom left, as the game's reader takes it.
// Pictures for a person are stored top row first with the header's top-left
// origin flag: a viewer shows them upright whether it reads the flag or
// ignores it (many ignore it, and show a bottom-up file upside down).
enum class TgaRows { BottomUp, TopDown };

std::vector<uint8_t> EncodeTga(const RasterImage& image, TgaRows rows = TgaRows::BottomUp);
bool WriteTga(const std::string& path, const RasterImage& image, TgaRows rows = TgaRows::BottomUp);
