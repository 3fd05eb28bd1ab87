// The pictures of a truck's models: the body atlas in its paint zones'
// colours, the glass, the lamps, the wheel and the mud flaps, each written
// as a colour texture and its normal map (name.tga and name_n.tga).
#pragma once

#include <string>

// Needs the paint of the catalogue (MakeShippedCatalogue). False when a
// file cannot be written.
bool WriteTruckTextures(const std::string& folder, int catalogueIndex);
