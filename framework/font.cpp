#include "framework/font.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "framework/binary_file.h"
#include "framework/overlay_frame.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"

float gFont1Widths[kGlyphCount];
float gFont2Widths[kGlyphCount];
GLuint gFont1ListBase = 0;
GLuint gFont2ListBase = 0;
int gTextColour = 0;
float gTextAlpha = 1.0f;
float gTextAngle = 0.0f;
float gTextAngle2 = 0.0f;

namespace {

constexpr int kSheetCells = 16;  // cells per row and per column
constexpr float kCellSize = 1.0f / kSheetCells;
// Lines of a width file are at most this long; longer ones are cut.
constexpr size_t kMaxWidthLine = 127;

struct Rgb {
  float r, g, b;
};

// Colour schemes by number; a number outside the table keeps the current colour.
constexpr Rgb kDrawFontTextColours[] = {
    {0.0f, 0.0f, 0.0f}, {0.9f, 0.9f, 0.9f}, {1.012f, 0.44f, 0.022f}, {0.748f, 0.935f, 0.055f},
    {0.6f, 0.6f, 0.6f}};
constexpr Rgb kPrintText1Colours[] = {
    {0.85f, 0.85f, 0.85f}, {0.0f, 0.0f, 0.0f}, {1.0f, 0.75f, 0.0f}, {0.22f, 0.89f, 1.0f}};
constexpr Rgb kPrintText2Colours[] = {
    {1.0f, 0.75f, 0.0f}, {0.22f, 0.89f, 1.0f}, {0.95f, 0.95f, 0.95f}};

template <size_t N>
void SetSchemeColour(const Rgb (&table)[N], int scheme, float alpha) {
  if (scheme >= 0 && size_t(scheme) < N) glColor4f(table[scheme].r, table[scheme].g, table[scheme].b, alpha);
}

// A printf-formatted text in a bounded buffer; cut at kMaxTextLength bytes.
struct FormattedText {
  char text[kMaxTextLength + 1];
  size_t length;
};

void Format(FormattedText* out, const char* format, va_list args) {
  const int written = std::vsnprintf(out->text, sizeof out->text, format, args);
  out->length = written < 0 ? 0 : std::strlen(out->text);
  if (written < 0) out->text[0] = '\0';
}

const float* FontWidths(int font) { return font == 2 ? gFont2Widths : gFont1Widths; }

GLuint SheetTexture(int index) {
  const uint32_t id = gTextures[index].glId;
  return id == kNoTexture ? 0 : id;
}

// Texture coordinates of byte c's cell: left, right, bottom, top.
struct Cell {
  float s0, s1, t0, t1;
};

Cell GlyphCell(unsigned char c) {
  const int column = c % kSheetCells;
  const int row = c / kSheetCells;
  const float top = 1.0f - row * kCellSize;
  return {column * kCellSize, column * kCellSize + kCellSize, top - kCellSize, top};
}

void GlyphQuad(const Cell& cell, float x0, float y0, float x1, float y1) {
  glTexCoord2f(cell.s0, cell.t0);
  glVertex2f(x0, y0);
  glTexCoord2f(cell.s1, cell.t0);
  glVertex2f(x1, y0);
  glTexCoord2f(cell.s1, cell.t1);
  glVertex2f(x1, y1);
  glTexCoord2f(cell.s0, cell.t1);
  glVertex2f(x0, y1);
}

// One pass of DrawFontText: every glyph's quad centred on the middle of
// its advance, starting at (x, y).
void DrawGlyphRun(const unsigned char* text, size_t length, const float* widths, float advance,
                  float halfSize, float x, float y) {
  glBegin(GL_QUADS);
  for (size_t i = 0; i < length; ++i) {
    const float step = advance * widths[text[i]];
    const float centre = x + step / 2;
    GlyphQuad(GlyphCell(text[i]), centre - halfSize, y - halfSize, centre + halfSize, y + halfSize);
    x += step;
  }
  glEnd();
}

GLuint MakeFontLists(float advance, float quadX0, float quadY0, float quadX1, float quadY1,
                     const float* widths) {
  const GLuint base = glGenLists(kGlyphCount);
  for (int c = 0; c < kGlyphCount; ++c) {
    const float half = widths[c] * advance / 2;
    glNewList(base + GLuint(c), GL_COMPILE);
    glTranslatef(half, 0, 0);
    glBegin(GL_QUADS);
    GlyphQuad(GlyphCell(static_cast<unsigned char>(c)), quadX0, quadY0, quadX1, quadY1);
    glEnd();
    glTranslatef(half, 0, 0);
    glEndList();
  }
  return base;
}

void PrintWithLists(float x, float y, GLuint listBase, GLuint sheet, const FormattedText& text,
                    int scheme, const Rgb* colours, size_t colourCount) {
  PushOverlayFrame();
  glRotatef(gTextAngle, 0, 0, 1);
  glTranslatef(x, y, 0);
  glRotatef(gTextAngle2, 0, 0, 1);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  if (scheme >= 0 && size_t(scheme) < colourCount)
    glColor4f(colours[scheme].r, colours[scheme].g, colours[scheme].b, gTextAlpha);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glBindTexture(GL_TEXTURE_2D, sheet);
  glListBase(listBase);
  glCallLists(GLsizei(text.length), GL_UNSIGNED_BYTE, text.text);
  glListBase(0);
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
  PopOverlayFrame();
}

}  // namespace

int ParseFontWidths(const char* text, float widths[kGlyphCount]) {
  int filled = 0;
  const char* p = text;
  while (filled < kGlyphCount && *p != '\0') {
    // A label line, then the width line.
    const char* labelEnd = std::strchr(p, '\n');
    if (labelEnd == nullptr) break;
    p = labelEnd + 1;
    const char* lineEnd = std::strchr(p, '\n');
    size_t length = lineEnd ? size_t(lineEnd - p) : std::strlen(p);
    if (length == 0 && lineEnd == nullptr) break;
    char line[kMaxWidthLine + 1];
    if (length > kMaxWidthLine) length = kMaxWidthLine;
    std::memcpy(line, p, length);
    line[length] = '\0';
    widths[filled++] = std::strtof(line, nullptr);
    p = lineEnd ? lineEnd + 1 : p + std::strlen(p);
  }
  return filled;
}

bool LoadFontWidths(const char* path, int font) {
  char* text = LoadTextFile(path);
  if (text == nullptr) return false;
  ParseFontWidths(text, font == 2 ? gFont2Widths : gFont1Widths);
  delete[] text;
  return true;
}

void MakeFont1DisplayLists() {
  gFont1ListBase = MakeFontLists(kFont1ListAdvance, 0, -3, 17, 20, gFont1Widths);
}

void MakeFont2DisplayLists() {
  gFont2ListBase = MakeFontLists(kFont2ListAdvance, 0, 0, 60, 60, gFont2Widths);
}

void FreeFont1DisplayLists() {
  if (gFont1ListBase != 0) glDeleteLists(gFont1ListBase, kGlyphCount);
  gFont1ListBase = 0;
}

void FreeFont2DisplayLists() {
  if (gFont2ListBase != 0) glDeleteLists(gFont2ListBase, kGlyphCount);
  gFont2ListBase = 0;
}

float TextAdvance(int font, float scale, const char* text) {
  const float* widths = FontWidths(font);
  const float advance = scale * (font == 2 ? kFont2TextAdvance : kFont1TextAdvance);
  float total = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    total += advance * widths[*p];
  return total;
}

void DrawFontText(float x, float y, int colour, float alpha, int font, float scale, bool shadow,
                  int align, const char* format, ...) {
  if (format == nullptr) return;
  FormattedText text;
  va_list args;
  va_start(args, format);
  Format(&text, format, args);
  va_end(args);

  const bool second = font == 2;
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glBindTexture(GL_TEXTURE_2D, SheetTexture(second ? kFont2SheetTexture : kFont1SheetTexture));

  const float total = TextAdvance(font, scale, text.text);
  const float offset = align == kAlignCentre ? total / 2 : align == kAlignRight ? total : 0;
  const float advance = scale * (second ? kFont2TextAdvance : kFont1TextAdvance);
  const float halfSize = scale * (second ? kFont2GlyphHalfSize : kFont1GlyphHalfSize);
  const float* widths = FontWidths(font);
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.text);
  if (shadow) {
    const float drop = second ? 1.5f : 1.0f;  // down and to the right
    glColor4f(0, 0, 0, alpha);
    DrawGlyphRun(bytes, text.length, widths, advance, halfSize, x - offset + drop, y - drop);
  }
  SetSchemeColour(kDrawFontTextColours, colour, alpha);
  DrawGlyphRun(bytes, text.length, widths, advance, halfSize, x - offset, y);
  glColor4f(1, 1, 1, 1);
}

void PrintText1(float x, float y, float /*scale*/, int /*set*/, const char* format, ...) {
  if (format == nullptr) return;
  FormattedText text;
  va_list args;
  va_start(args, format);
  Format(&text, format, args);
  va_end(args);
  PrintWithLists(x, y - 3, gFont1ListBase, SheetTexture(kFont1SheetTexture), text, gTextColour,
                 kPrintText1Colours, std::size(kPrintText1Colours));
}

void PrintText2(float x, float y, int /*set*/, const char* format, ...) {
  if (format == nullptr) return;
  FormattedText text;
  va_list args;
  va_start(args, format);
  Format(&text, format, args);
  va_end(args);
  PrintWithLists(x, y, gFont2ListBase, SheetTexture(kFont2SheetTexture), text, gTextColour,
                 kPrintText2Colours, std::size(kPrintText2Colours));
}

char* LoadTextFile(const char* path) {
  std::vector<uint8_t> bytes;
  if (!ReadAssetFile(path, &bytes)) return nullptr;
  char* text = new char[bytes.size() + 1];
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}
