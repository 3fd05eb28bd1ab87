// Width files and whole text files, without a window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/font.h"
#include "tests/support/scratch_folder.h"
#include "tools/binary_writer.h"

TEST(TextFile, ReadsTheWholeFileZeroTerminated) {
  ScratchFolder folder;
  const std::string text = "void main() {\n  gl_FragColor = vec4(1.0);\n}\n" + std::string(600, 'x');
  ASSERT_TRUE(WriteTextFile(folder.File("a.glsl"), text));
  char* loaded = LoadTextFile(folder.File("a.glsl").c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(std::string(loaded), text);
  delete[] loaded;
}

TEST(TextFile, EmptyFileGivesAnEmptyStringAndMissingFileNone) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteTextFile(folder.File("empty.txt"), ""));
  char* loaded = LoadTextFile(folder.File("empty.txt").c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_STREQ(loaded, "");
  delete[] loaded;
  EXPECT_EQ(LoadTextFile(folder.File("missing.txt").c_str()), nullptr);
}

TEST(FontWidths, ReadsLabelAndWidthLinesInByteOrder) {
  std::string text;
  for (int c = 0; c < 256; ++c) text += "char " + std::to_string(c) + "\r\n" + std::to_string(c / 100.0) + "\r\n";
  float widths[kGlyphCount] = {};
  EXPECT_EQ(ParseFontWidths(text.c_str(), widths), 256);
  EXPECT_FLOAT_EQ(widths[65], 0.65f);
  EXPECT_FLOAT_EQ(widths[255], 2.55f);
}

TEST(FontWidths, ShortFileFillsWhatItHoldsAndMissingFileChangesNothing) {
  float widths[kGlyphCount];
  for (float& w : widths) w = 9;
  EXPECT_EQ(ParseFontWidths("a\n0.5\nb\n0.25", widths), 2);
  EXPECT_FLOAT_EQ(widths[1], 0.25f);
  EXPECT_FLOAT_EQ(widths[2], 9);
  gFont1Widths[3] = 7;
  EXPECT_FALSE(LoadFontWidths("no/such/font.ini", 1));
  EXPECT_FLOAT_EQ(gFont1Widths[3], 7);
}

TEST(FontWidths, OverlongLinesAreCut) {
  const std::string text = "label\n" + std::string(300, '1') + "\n";
  float widths[kGlyphCount] = {};
  EXPECT_EQ(ParseFontWidths(text.c_str(), widths), 1);
  EXPECT_GT(widths[0], 1e30f);
}

TEST(TextAdvance, SumsGlyphWidthsIncludingHighBytes) {
  for (float& w : gFont2Widths) w = 0;
  gFont2Widths[static_cast<unsigned char>('\xC0')] = 1.0f;  // Cyrillic А in code page 1251
  gFont2Widths['A'] = 0.5f;
  EXPECT_FLOAT_EQ(TextAdvance(2, 1.0f, "A\xC0"), 20 * 1.5f);
  EXPECT_FLOAT_EQ(TextAdvance(2, 2.0f, "\xC0\xC0"), 80);
}
