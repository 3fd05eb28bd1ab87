#include "tools/tga_writer.h"

#include "tools/binary_writer.h"

std::vector<uint8_t> EncodeTga(const RasterImage& image) {
  ByteBuffer out;
  const uint8_t header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  out.Bytes(header, sizeof header);
  out.U16(uint16_t(image.width));
  out.U16(uint16_t(image.height));
  out.U8(uint8_t(image.components * 8));
  out.U8(image.components == 4 ? 8 : 0);  // alpha bits; origin bottom-left
  out.bytes.reserve(out.bytes.size() + image.pixels.size());
  for (size_t i = 0; i + size_t(image.components) <= image.pixels.size(); i += size_t(image.components)) {
    out.U8(image.pixels[i + 2]);
    out.U8(image.pixels[i + 1]);
    out.U8(image.pixels[i + 0]);
    if (image.components == 4) out.U8(image.pixels[i + 3]);
  }
  return out.bytes;
}

bool WriteTga(const std::string& path, const RasterImage& image) {
  return WriteFileBytes(path, EncodeTga(image));
}
