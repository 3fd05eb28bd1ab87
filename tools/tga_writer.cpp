#include "tools/tga_writer.h"

#include "tools/binary_writer.h"

namespace {

constexpr uint8_t kTopLeftOrigin = 0x20;  // image descriptor bit 5

}  // namespace

std::vector<uint8_t> EncodeTga(const RasterImage& image, TgaRows rows) {
  ByteBuffer out;
  const uint8_t header[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  out.Bytes(header, sizeof header);
  out.U16(uint16_t(image.width));
  out.U16(uint16_t(image.height));
  out.U8(uint8_t(image.components * 8));
  const uint8_t alphaBits = image.components == 4 ? 8 : 0;
  out.U8(rows == TgaRows::TopDown ? alphaBits | kTopLeftOrigin : alphaBits);
  out.bytes.reserve(out.bytes.size() + image.pixels.size());
  for (int row = 0; row < image.height; ++row) {
    const int y = rows == TgaRows::TopDown ? image.height - 1 - row : row;
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      out.U8(p[2]);
      out.U8(p[1]);
      out.U8(p[0]);
      if (image.components == 4) out.U8(p[3]);
    }
  }
  return out.bytes;
}

bool WriteTga(const std::string& path, const RasterImage& image, TgaRows rows) {
  return WriteFileBytes(path, EncodeTga(image, rows));
}
