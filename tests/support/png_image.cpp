#include "tests/support/png_image.h"

#include "tests/support/temp_home.h"

#include <algorithm>
#include <cstdlib>

namespace {

uint32_t BigEndian32(const std::vector<uint8_t>& bytes, size_t at) {
  return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) |
         bytes[at + 3];
}

}  // namespace

RgbImage DecodeStoredPng(const std::vector<uint8_t>& file) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin())) return {};
  RgbImage image;
  std::vector<uint8_t> zlib;
  size_t at = 8;
  while (at + 12 <= file.size()) {
    uint32_t length = BigEndian32(file, at);
    if (length > file.size() - at - 12) return {};
    std::string type(file.begin() + at + 4, file.begin() + at + 8);
    size_t data = at + 8;
    if (type == "IHDR") {
      if (length != 13 || file[data + 8] != 8 || file[data + 9] != 2) return {};
      image.width = static_cast<int>(BigEndian32(file, data));
      image.height = static_cast<int>(BigEndian32(file, data + 4));
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), file.begin() + data, file.begin() + data + length);
    }
    at = data + length + 4;
  }
  // Stored deflate blocks only: header bit 0 final, bits 1-2 type 0.
  std::vector<uint8_t> raw;
  size_t in = 2;
  bool last = false;
  while (!last) {
    if (in + 5 > zlib.size() || (zlib[in] & 0x06) != 0) return {};
    last = zlib[in] & 1;
    size_t size = zlib[in + 1] | (zlib[in + 2] << 8);
    in += 5;
    if (in + size > zlib.size()) return {};
    raw.insert(raw.end(), zlib.begin() + in, zlib.begin() + in + size);
    in += size;
  }
  size_t stride = static_cast<size_t>(image.width) * 3;
  if (image.width <= 0 || image.height <= 0 || raw.size() != (stride + 1) * image.height) return {};
  for (int y = 0; y < image.height; ++y) {
    if (raw[y * (stride + 1)] != 0) return {};  // only the "none" filter is ours
    auto row = raw.begin() + y * (stride + 1) + 1;
    image.rgb.insert(image.rgb.end(), row, row + stride);
  }
  return image;
}

RgbImage ReadPngFile(const std::string& path) { return DecodeStoredPng(ReadFileBytes(path)); }

int PixelsThatDiffer(const RgbImage& a, const RgbImage& b, int x0, int y0, int x1, int y1) {
  if (a.width != b.width || a.height != b.height) return -1;
  int differ = 0;
  for (int y = std::max(y0, 0); y < std::min(y1, a.height); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, a.width); ++x) {
      int difference = 0;
      for (int c = 0; c < 3; ++c) difference += std::abs(int(a.At(x, y)[c]) - int(b.At(x, y)[c]));
      differ += difference > 90;
    }
  }
  return differ;
}
