#include "tools/gen_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>

#include "framework/font.h"
#include "tools/binary_writer.h"
#include "tools/tga_writer.h"

namespace {

constexpr char kFontFolder[] = "/usr/share/fonts/truetype/dejavu/";
constexpr int kCellsPerSide = 16;
constexpr int kCellPixels = 64;  // sheet of 1024 × 1024
constexpr int kSheetPixels = kCellsPerSide * kCellPixels;
// The baseline sits so that capitals are centred on the cell's middle and
// descenders still fit.
constexpr float kCapHeightPerEm = 0.73f;
constexpr int kTabSpaces = 4;
constexpr unsigned char kTab = 9;

// Code page 1251, bytes 0x80..0xBF (0 = unassigned).
constexpr unsigned kUpperHalf1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// One font of the game: the glyph sheet drawn from a DejaVu face and its
// width table.
struct FontSheet {
  const char* fontFile;
  const char* texturePath;  // under base/
  const char* widthsPath;   // under base/
  float glyphQuadUnits;   // side of a glyph quad in DrawFontText at scale 1
  float advanceUnits;     // DrawFontText's advance per unit of width
  float emPerCell;        // the em square's side per cell side
  float narrowing;        // horizontal scale of the face's outlines
  float letterGapPerEm;   // space left between the ink of two neighbouring glyphs
};

// Copies a rendered glyph into its cell, ink centred horizontally, with the
// baseline at `baseline` pixels below the cell's top. White, shape in alpha.
void PlaceGlyph(const FT_GlyphSlot glyph, int cellX, int cellY, int baseline, RasterImage* sheet) {
  const FT_Bitmap& bitmap = glyph->bitmap;
  const int left = (kCellPixels - int(bitmap.width)) / 2;
  const int top = baseline - glyph->bitmap_top;
  for (int row = 0; row < int(bitmap.rows); ++row) {
    const int yInCell = top + row;
    if (yInCell < 0 || yInCell >= kCellPixels) continue;
    for (int column = 0; column < int(bitmap.width); ++column) {
      const int xInCell = left + column;
      if (xInCell < 0 || xInCell >= kCellPixels) continue;
      const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
      // Sheet rows are stored bottom-up; cell row 0 is at the sheet's top.
      const int x = cellX * kCellPixels + xInCell;
      const int y = kSheetPixels - 1 - (cellY * kCellPixels + yInCell);
      uint8_t* p = sheet->At(x, y);
      p[3] = std::max(p[3], coverage);
    }
  }
}

bool GenerateFont(FT_Library library, const std::string& base, const FontSheet& sheet) {
  FT_Face face;
  const std::string fontPath = std::string(kFontFolder) + sheet.fontFile;
  if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "cannot open font %s\n", fontPath.c_str());
    return false;
  }
  const int em = int(kCellPixels * sheet.emPerCell);
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(em));
  FT_Matrix narrowing = {FT_Fixed(sheet.narrowing * 0x10000), 0, 0, 0x10000};
  FT_Set_Transform(face, &narrowing, nullptr);
  const int baseline = int(kCellPixels / 2 + em * kCapHeightPerEm / 2);
  const float unitsPerPixel = sheet.glyphQuadUnits / kCellPixels;

  RasterImage image(kSheetPixels, kSheetPixels, 4);
  for (size_t i = 0; i < image.pixels.size(); i += 4) {
    image.pixels[i] = image.pixels[i + 1] = image.pixels[i + 2] = 255;
    image.pixels[i + 3] = 0;
  }
  float widths[kGlyphCount] = {};
  float spaceUnits = 0;
  bool ok = true;
  for (int c = 0; c < kGlyphCount; ++c) {
    const unsigned code = CodePage1251ToUnicode(static_cast<unsigned char>(c));
    if (code == 0) continue;
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) {
      std::fprintf(stderr, "no glyph for U+%04X in %s\n", code, sheet.fontFile);
      ok = false;
      continue;
    }
    const FT_GlyphSlot glyph = face->glyph;
    const float inkUnits = float(glyph->bitmap.width) * unitsPerPixel;
    const float gapUnits = sheet.letterGapPerEm * float(em) * unitsPerPixel;
    if (glyph->bitmap.width == 0) {
      // Blank glyphs (space, no-break space) advance as the font says.
      widths[c] = float(glyph->advance.x) / 64.0f * unitsPerPixel / sheet.advanceUnits;
      if (c == ' ') spaceUnits = float(glyph->advance.x) / 64.0f * unitsPerPixel;
      continue;
    }
    PlaceGlyph(glyph, c % kCellsPerSide, c / kCellsPerSide, baseline, &image);
    widths[c] = (inkUnits + gapUnits) / sheet.advanceUnits;
  }
  widths[kTab] = kTabSpaces * spaceUnits / sheet.advanceUnits;
  FT_Done_Face(face);

  std::string text;
  char line[64];
  for (int c = 0; c < kGlyphCount; ++c) {
    std::snprintf(line, sizeof line, "[%d]\n%.5f\n", c, double(widths[c]));
    text += line;
  }
  ok &= WriteTga(base + "/" + sheet.texturePath, image);
  ok &= WriteTextFile(base + "/" + sheet.widthsPath, text);
  return ok;
}

}  // namespace

unsigned CodePage1251ToUnicode(unsigned char byte) {
  if (byte == kTab) return ' ';  // a blank cell; its width is set apart
  if (byte < 32 || byte == 127) return 0;
  if (byte < 128) return byte;
  if (byte < 192) return kUpperHalf1251[byte - 128];
  return 0x0410 + (byte - 192u);  // А..я
}

bool GenerateFonts(const std::string& base) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return false;
  // Font 1 sets the menus' long lines and the option values between their
  // arrows: a condensed bold face, smaller and narrowed further, keeps
  // them inside the page at the scales the screens use. Font 2's condensed
  // face keeps the results' header on the page and the turning list's
  // captions inside the frame.
  const FontSheet font1 = {"DejaVuSansCondensed-Bold.ttf", "textures/tex08.tga", "font1.ini",
                           2 * kFont1GlyphHalfSize, kFont1TextAdvance, 0.68f, 0.82f, 0.05f};
  const FontSheet font2 = {"DejaVuSansCondensed.ttf", "textures/tex00.tga", "font2.ini",
                           2 * kFont2GlyphHalfSize, kFont2TextAdvance, 0.75f, 1.0f, 0.07f};
  bool ok = GenerateFont(library, base, font1);
  ok &= GenerateFont(library, base, font2);
  FT_Done_FreeType(library);
  return ok;
}
