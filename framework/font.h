// The two proportional bitmap fonts and the text printers, and the reader
// of whole text files.
//
// A font is a glyph sheet of 16 x 16 cells, one per byte value (row 0 at
// the top of the sheet), plus 256 glyph widths from a width file. Texts are
// byte strings: Russian texts are code-page-1251 bytes, drawn byte by byte.
#pragma once

#include <cstdint>

#include "platform/gl.h"

inline constexpr int kGlyphCount = 256;
// Longest text a printer draws, in bytes; longer ones are cut there.
inline constexpr int kMaxTextLength = 255;

// Font 1: sheet gTextures[kFont1SheetTexture], widths from base/font1.ini.
// Font 2: sheet gTextures[kFont2SheetTexture], widths from base/font2.ini.
extern float gFont1Widths[kGlyphCount];
extern float gFont2Widths[kGlyphCount];
extern GLuint gFont1ListBase;
extern GLuint gFont2ListBase;

// Glyph advances, in 800x600 frame units per unit of width.
inline constexpr float kFont1TextAdvance = 18.0f;  // DrawFontText, times scale
inline constexpr float kFont2TextAdvance = 20.0f;
inline constexpr float kFont1ListAdvance = 15.0f;  // display lists
inline constexpr float kFont2ListAdvance = 27.0f;
// Half the side of a glyph quad in DrawFontText, times scale.
inline constexpr float kFont1GlyphHalfSize = 11.0f;
inline constexpr float kFont2GlyphHalfSize = 15.0f;

// Text style of the list printers, set by the screens before a text.
extern int gTextColour;    // colour scheme
extern float gTextAlpha;   // 1.0 at start
extern float gTextAngle;   // degrees, applied before moving to the text position
extern float gTextAngle2;  // degrees, applied after it

// Reads a width file into the table of font 1 or 2. A file that cannot be
// opened leaves the table unchanged; a short file fills what it holds.
bool LoadFontWidths(const char* path, int font);
// The same from the file's text: 256 entries of a label line and a width line.
int ParseFontWidths(const char* text, float widths[kGlyphCount]);

void MakeFont1DisplayLists();
void MakeFont2DisplayLists();
void FreeFont1DisplayLists();
void FreeFont2DisplayLists();

// Alignment of DrawFontText.
enum TextAlign { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// Formatted text in the current projection (callers set the 800x600 frame)
// at (x, y): the glyphs' vertical centre line is y and x is the left end,
// centre or right end by `align`. colour 0 black, 1 light grey, 2 orange,
// 3 yellow-green, 4 grey; another value keeps the current colour. Leaves
// depth testing off, blending on and the font's sheet bound; the colour
// ends opaque white. A null format draws nothing and changes nothing.
void DrawFontText(float x, float y, int colour, float alpha, int font, float scale, bool shadow,
                  int align, const char* format, ...) __attribute__((format(printf, 9, 10)));
// Width of a text as DrawFontText advances over it.
float TextAdvance(int font, float scale, const char* text);

// Formatted text through the display lists in their own 800x600 frame,
// with gTextColour, gTextAlpha, gTextAngle and gTextAngle2. `scale` and
// `set` are accepted and not used. Blending ends off, colour opaque white.
void PrintText1(float x, float y, float scale, int set, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
void PrintText2(float x, float y, int set, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// The whole file as a zero-terminated heap buffer the caller frees with
// delete[]; null when the file cannot be read. An empty file gives "".
char* LoadTextFile(const char* path);
