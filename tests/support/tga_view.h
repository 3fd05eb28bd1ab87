// A TGA picture as two kinds of image viewer show it: one that reads the
// header's origin flag, and one that ignores it and takes the first stored
// row for the top. A picture for a person must look the same in both.
#pragma once

#include "tests/support/png_image.h"

#include <cstdint>
#include <vector>

// The picture a viewer shows (rows top to bottom); empty when the file is
// not an uncompressed 24- or 32-bit TGA.
RgbImage ViewTga(const std::vector<uint8_t>& file, bool readsOriginFlag);
