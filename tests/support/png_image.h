// Reads the PNG files that the game's frame dumps write (8-bit RGB, zlib
// stored blocks), so tests can look at the pixels a player would see.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel

  bool Empty() const { return rgb.empty(); }
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Decodes a PNG file image; an empty image when it is not one of ours.
RgbImage DecodeStoredPng(const std::vector<uint8_t>& file);

// Reads and decodes a PNG file; an empty image when that fails.
RgbImage ReadPngFile(const std::string& path);

// Pixels of the box (x0..x1, y0..y1, top-down, pixels) whose three channels
// differ between the two images by more than 90 in sum: text that changed,
// a view that moved.
int PixelsThatDiffer(const RgbImage& a, const RgbImage& b, int x0, int y0, int x1, int y1);
