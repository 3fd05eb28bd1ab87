#include "tests/support/tga_view.h"

namespace {

constexpr size_t kHeaderBytes = 18;
constexpr uint8_t kTopLeftOrigin = 0x20;

}  // namespace

RgbImage ViewTga(const std::vector<uint8_t>& file, bool readsOriginFlag) {
  if (file.size() < kHeaderBytes || file[2] != 2) return {};
  const int width = file[12] | (file[13] << 8);
  const int height = file[14] | (file[15] << 8);
  const int bytesPerPixel = file[16] / 8;
  if (bytesPerPixel != 3 && bytesPerPixel != 4) return {};
  const size_t stride = size_t(width) * bytesPerPixel;
  if (file.size() < kHeaderBytes + stride * height) return {};
  const bool storedTopFirst = !readsOriginFlag || (file[17] & kTopLeftOrigin) != 0;
  RgbImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    const int storedRow = storedTopFirst ? y : height - 1 - y;
    const uint8_t* row = file.data() + kHeaderBytes + storedRow * stride;
    for (int x = 0; x < width; ++x) {
      const uint8_t* bgr = row + x * bytesPerPixel;
      image.rgb.insert(image.rgb.end(), {bgr[2], bgr[1], bgr[0]});
    }
  }
  return image;
}
