// The menu art of the generator: the textures the splash, the menu
// backdrop, the buttons, the drum list and the option widgets draw with,
// painted from shapes and DejaVu lettering into base/textures/texNN.tga.
#pragma once

#include <string>
#include <vector>

#include "tools/tga_writer.h"

// Paints the picture of one menu texture slot; an empty image for a slot
// that holds no menu art.
RasterImage MakeMenuArt(int slot);

// The slots that hold menu art, in increasing order.
std::vector<int> MenuArtSlots();

// Writes the menu art below tex09; the texture list's generator writes the
// higher slots through MakeMenuArt, at the sizes of its table.
bool GenerateMenuArt(const std::string& base);
