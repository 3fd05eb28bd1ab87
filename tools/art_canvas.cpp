#include "tools/art_canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>

void Canvas::Text(const char* text, double cx, double baseline, int size, Colour colour, double alpha) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return;
  FT_Face face;
  if (FT_New_Face(library, kLetteringFont, 0, &face) != 0) {
    std::fprintf(stderr, "cannot open font %s\n", kLetteringFont);
    FT_Done_FreeType(library);
    return;
  }
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(size));
  double advance = 0;
  for (const char* c = text; *c; ++c) {
    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_DEFAULT) == 0) {
      advance += face->glyph->advance.x / 64.0;
    }
  }
  double penX = cx - advance / 2;
  for (const char* c = text; *c; ++c) {
    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    for (unsigned row = 0; row < glyph->bitmap.rows; ++row)
      for (unsigned column = 0; column < glyph->bitmap.width; ++column) {
        const double coverage = glyph->bitmap.buffer[row * glyph->bitmap.pitch + column] / 255.0;
        const int x = int(penX) + glyph->bitmap_left + int(column);
        const int y = int(baseline) + glyph->bitmap_top - 1 - int(row);
        Blend(x, y, colour, coverage * alpha);
      }
    penX += glyph->advance.x / 64.0;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
