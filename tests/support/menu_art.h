// Loads what the menu drawing tests draw with into the current GL context:
// both fonts (sheets, widths, display lists) once, and the menu textures
// of the given slots from the generated base/textures/.
#pragma once

#include <initializer_list>

// False when a file cannot be read; slots already loaded are kept.
bool LoadMenuFontsAndArt(std::initializer_list<int> slots);
