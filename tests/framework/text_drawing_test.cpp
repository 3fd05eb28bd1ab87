// Text printed in a real window with the generated fonts.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "framework/font.h"
#include "framework/texture.h"
#include "tests/framework/gl_test_helpers.h"
#include "tests/support/menu_art.h"

namespace {

constexpr uint8_t kBackground[3] = {51, 77, 204};  // (0.2, 0.3, 0.8)

class TextDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    window = GlWindow::Get();
    if (window == nullptr) GTEST_SKIP() << "no display for a GL window";
    ASSERT_TRUE(LoadMenuFontsAndArt({}));
    window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
  }

  GlWindow* window = nullptr;
};

// Window-pixel box of a text drawn by DrawFontText at (x, y).
PixelBox ExpectedTextBox(float x, float y, int font, float scale, int align, const char* text) {
  const float total = TextAdvance(font, scale, text);
  const float left = x - (align == kAlignCentre ? total / 2 : align == kAlignRight ? total : 0);
  const float half = scale * (font == 2 ? kFont2GlyphHalfSize : kFont1GlyphHalfSize);
  return {FrameToWindowX(left), FrameToWindowY(y - half), FrameToWindowX(left + total) + 1,
          FrameToWindowY(y + half) + 1};
}

void ExpectInkFillsBox(const PixelBox& ink, const PixelBox& box, const char* what) {
  ASSERT_FALSE(ink.Empty()) << what << ": nothing drawn";
  EXPECT_GE(ink.x0, box.x0 - 2) << what;
  EXPECT_LE(ink.x1, box.x1 + 2) << what;
  EXPECT_GE(ink.y0, box.y0 - 2) << what;
  EXPECT_LE(ink.y1, box.y1 + 2) << what;
  // Evenly spaced glyphs leave only half a letter gap at each end.
  EXPECT_LE(ink.x0 - box.x0, 6) << what;
  EXPECT_LE(box.x1 - ink.x1, 6) << what;
}

}  // namespace

TEST_F(TextDrawing, EachFontAndAlignmentInksOnlyItsBox) {
  const char* text = "Zarnok 123";
  for (int font : {1, 2}) {
    for (int align : {kAlignLeft, kAlignCentre, kAlignRight}) {
      window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
      DrawFontText(400, 300, 1, 1.0f, font, 1.5f, false, align, "%s", text);
      const PixelBox ink = InkBox(window, kBackground);
      const std::string what = "font " + std::to_string(font) + " align " + std::to_string(align);
      ExpectInkFillsBox(ink, ExpectedTextBox(400, 300, font, 1.5f, align, text), what.c_str());
    }
  }
}

TEST_F(TextDrawing, CyrillicBytesDrawTheirGlyphs) {
  DrawFontText(100, 300, 1, 1.0f, 1, 1.5f, false, kAlignLeft, "%s", "\xCA\xE0\xF0\xFC\xE5\xF0\xE0");
  const PixelBox ink = InkBox(window, kBackground);
  ExpectInkFillsBox(ink, ExpectedTextBox(100, 300, 1, 1.5f, kAlignLeft, "\xCA\xE0\xF0\xFC\xE5\xF0\xE0"),
                    "Карьера");
}

TEST_F(TextDrawing, TheFiveColoursComeOutAsTheirValues) {
  const float colours[5][3] = {
      {0, 0, 0}, {0.9f, 0.9f, 0.9f}, {1.0f, 0.44f, 0.022f}, {0.748f, 0.935f, 0.055f}, {0.6f, 0.6f, 0.6f}};
  for (int colour = 0; colour < 5; ++colour) {
    window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
    DrawFontText(400, 300, colour, 1.0f, 1, 4.0f, false, kAlignCentre, "H");
    const std::vector<int> pixel = MostDifferentPixel(window, kBackground);
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(pixel[c], colours[colour][c] * 255, 4) << "colour " << colour << " channel " << c;
  }
}

TEST_F(TextDrawing, ShadowFallsBelowRightOfTheText) {
  DrawFontText(400, 300, 1, 1.0f, 1, 3.0f, true, kAlignCentre, "I");
  const PixelBox ink = InkBox(window, kBackground);
  window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
  DrawFontText(400, 300, 1, 1.0f, 1, 3.0f, false, kAlignCentre, "I");
  const PixelBox plain = InkBox(window, kBackground);
  EXPECT_GT(ink.x1, plain.x1);
  EXPECT_LT(ink.y0, plain.y0);
}

TEST_F(TextDrawing, DrawFontTextLeavesBlendingOnDepthOffAndWhite) {
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  // A null format changes nothing; an empty text sets the state and draws nothing.
  DrawFontText(10, 10, 1, 1, 1, 1, false, 0, nullptr);
  PrintText1(10, 10, 1, 0, nullptr);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  DrawFontText(10, 10, 3, 0.5f, 2, 1.0f, true, kAlignLeft, "%s", "");
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(GLuint(bound), gTextures[kFont2SheetTexture].glId);
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1);
  EXPECT_EQ(colour[3], 1);
  EXPECT_TRUE(InkBox(window, kBackground).Empty());
}

TEST_F(TextDrawing, ListPrintersDrawAtTheirPlaceAndRestoreTheFrame) {
  gTextColour = 1;  // black
  gTextAlpha = 1;
  float projectionBefore[16], projectionAfter[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(50, 50, 0);  // the printers use their own frame
  PrintText1(200, 300, 1, 0, "Cash %d", 1500);
  const PixelBox ink = InkBox(window, kBackground);
  ASSERT_FALSE(ink.Empty());
  float listAdvance = 0;
  for (const char* p = "Cash 1500"; *p; ++p) listAdvance += gFont1Widths[static_cast<unsigned char>(*p)] * kFont1ListAdvance;
  EXPECT_GE(ink.x0, FrameToWindowX(200) - 1);
  EXPECT_LE(ink.x1, FrameToWindowX(200 + listAdvance + 17) + 1);
  EXPECT_GE(ink.y0, FrameToWindowY(300 - 6) - 1);
  EXPECT_LE(ink.y1, FrameToWindowY(300 + 17) + 1);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1);
  EXPECT_EQ(colour[3], 1);
  glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(projectionBefore[i], projectionAfter[i]);
  float modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  EXPECT_EQ(modelview[12], 50);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  const std::vector<int> pixel = MostDifferentPixel(window, kBackground);
  EXPECT_LT(pixel[0] + pixel[1] + pixel[2], 30) << "scheme 1 is black";
  gTextColour = 0;

  window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
  gTextColour = 0;  // orange for the second printer
  PrintText2(100, 200, 0, "RACE %d", 1);
  const PixelBox ink2 = InkBox(window, kBackground);
  ASSERT_FALSE(ink2.Empty());
  EXPECT_GE(ink2.x0, FrameToWindowX(100) - 1);
  EXPECT_GE(ink2.y0, FrameToWindowY(200) - 1);
  EXPECT_LE(ink2.y1, FrameToWindowY(260) + 1);
  const std::vector<int> orange = MostDifferentPixel(window, kBackground);
  EXPECT_NEAR(orange[0], 255, 4);
  EXPECT_NEAR(orange[1], 191, 4);
}

TEST_F(TextDrawing, ListPrintersTurnByBothAnglesAndFadeByTheAlpha) {
  gTextColour = 1;  // black
  // The second angle turns the text about its own start: it runs upward.
  gTextAngle2 = 90;
  PrintText1(400, 300, 1, 0, "WWWW");
  PixelBox ink = InkBox(window, kBackground);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GT(ink.y1 - ink.y0, 2 * (ink.x1 - ink.x0));
  EXPECT_NEAR((ink.x0 + ink.x1) / 2.0, FrameToWindowX(400 - 8), 16);
  EXPECT_GE(ink.y0, FrameToWindowY(297) - 2);

  // The first angle turns the position too: (300, -400) lands at (403, 300).
  window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
  gTextAngle = 90;
  gTextAngle2 = 0;
  PrintText1(300, -400, 1, 0, "WWWW");
  ink = InkBox(window, kBackground);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GT(ink.y1 - ink.y0, 2 * (ink.x1 - ink.x0));
  EXPECT_NEAR((ink.x0 + ink.x1) / 2.0, FrameToWindowX(403 - 8), 16);
  EXPECT_GE(ink.y0, FrameToWindowY(300) - 2);
  gTextAngle = 0;

  // Half alpha: black ink halves the background.
  window->BeginMenuFrame(0.2f, 0.3f, 0.8f);
  gTextAlpha = 0.5f;
  PrintText1(300, 300, 1, 0, "WWWW");
  const std::vector<int> pixel = MostDifferentPixel(window, kBackground);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(pixel[c], kBackground[c] / 2, 4) << c;
  gTextAlpha = 1;
  gTextColour = 0;
}

TEST_F(TextDrawing, OverlongTextIsCutNotOverrun) {
  const std::string longText(1000, 'W');
  DrawFontText(0, 300, 1, 1.0f, 1, 0.1f, false, kAlignLeft, "%s", longText.c_str());
  PrintText2(0, 100, 0, "%s", longText.c_str());
  const PixelBox ink = InkBox(window, kBackground);
  EXPECT_FALSE(ink.Empty());
}

// A frame of menu text for a person to look at: frames/text.tga in the
// build folder.
TEST_F(TextDrawing, WritesAFrameDumpOfPrintedText) {
  DrawFontText(740, 540, 3, 1.0f, 1, 2.25f, true, kAlignRight, "NEW CAREER");
  DrawFontText(400, 370, 0, 1.0f, 1, 1.0f, false, kAlignCentre,
               "Attention! Do you wish to overwrite previously saved career?");
  DrawFontText(400, 330, 1, 1.0f, 1, 1.0f, true, kAlignCentre, "Begin new career?");
  DrawFontText(70, 280, 0, 1.0f, 1, 0.75f, false, kAlignLeft, "%s",
               "\xCA\xEB\xE0\xF1\xF1 T2 \xE8\xEB\xE8 \xD1\xD1\xD1\xD0 \xD1\xF3\xEF\xE5\xF0\xEF\xF0\xEE\xE4\xE0\xEA\xF8\xED");
  DrawFontText(100, 220, 1, 1.0f, 2, 1.1f, true, kAlignLeft, "RACE %d", 1);
  DrawFontText(300, 220, 4, 1.0f, 2, 0.75f, true, kAlignLeft, "%1.2f \xCA\xCC", 12.34);
  DrawFontText(100, 180, 2, 1.0f, 2, 0.75f, false, kAlignLeft, "%2i:%02i.%02i", 1, 5, 9);
  gTextColour = 2;
  PrintText1(500, 140, 1, 0, "%2i \xF0\xF3\xE1\xEB\xE5\xE9", 1500);
  gTextColour = 1;
  PrintText2(100, 60, 0, "Zarnok Racing");
  gTextColour = 0;
  std::filesystem::create_directories("frames");
  EXPECT_TRUE(window->DumpFrame("frames/text.tga"));
}
