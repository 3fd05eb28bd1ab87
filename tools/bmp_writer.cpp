#include "tools/bmp_writer.h"

#include "tools/binary_writer.h"

std::vector<uint8_t> EncodeBmp(const RasterImage& image, bool topDown) {
  constexpr uint32_t kHeadersSize = 14 + 40;
  const uint32_t rowBytes = uint32_t(image.width) * 3;
  const uint32_t stride = (rowBytes + 3) & ~3u;
  const uint32_t pixelBytes = stride * uint32_t(image.height);
  ByteBuffer out;
  out.U8('B');
  out.U8('M');
  out.U32(kHeadersSize + pixelBytes);
  out.U32(0);  // reserved
  out.U32(kHeadersSize);
  out.U32(40);  // info header size
  out.I32(image.width);
  out.I32(topDown ? -image.height : image.height);
  out.U16(1);   // planes
  out.U16(24);  // bits per pixel
  out.U32(0);   // no compression
  out.U32(pixelBytes);
  out.I32(2835);  // 72 dpi
  out.I32(2835);
  out.U32(0);
  out.U32(0);
  for (int i = 0; i < image.height; ++i) {
    const int row = topDown ? image.height - 1 - i : i;
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, row);
      out.U8(p[2]);
      out.U8(p[1]);
      out.U8(p[0]);
    }
    for (uint32_t pad = rowBytes; pad < stride; ++pad) out.U8(0);
  }
  return out.bytes;
}

bool WriteBmp(const std::string& path, const RasterImage& image, bool topDown) {
  return WriteFileBytes(path, EncodeBmp(image, topDown));
}
