// The race and career art of the generator: the HUD's gauges, needles and
// lamp, the minimap's disc, route dot, truck markers and shine, and the
// career screens' profile card, hint badge, boards, place and lock stamps,
// bonus tiles and competition icons. The listed textures' writer takes
// these pictures for their numbers.
#pragma once

#include <string>
#include <vector>

#include "tools/tga_writer.h"

// Paints the picture of one race-art slot; an empty image for another slot.
RasterImage MakeRaceArt(int slot);

// The slots that hold race art, in increasing order.
std::vector<int> RaceArtSlots();
