// The two font sheets and their width files, rasterised with FreeType from
// Debian's DejaVu fonts (fonts-dejavu-core and fonts-dejavu-extra):
// base/textures/tex08.tga with base/font1.ini (font 1) and
// base/textures/tex00.tga with base/font2.ini (font 2).
#pragma once

#include <string>

// Unicode code point of a code-page-1251 byte; 0 for bytes with no glyph
// (control characters and the one unassigned byte). The tab is drawn as a
// blank cell four spaces wide.
unsigned CodePage1251ToUnicode(unsigned char byte);

bool GenerateFonts(const std::string& base);
