// Uncompressed 24-bit BMP files (BITMAPINFOHEADER), rows padded to four
// bytes; stored bottom-up as usual, or top-down (negative height) on request.
#pragma once

#include <string>
#include <vector>

#include "tools/tga_writer.h"

// The image must be 3 components, rows bottom-up.
std::vector<uint8_t> EncodeBmp(const RasterImage& image, bool topDown = false);
bool WriteBmp(const std::string& path, const RasterImage& image, bool topDown = false);
