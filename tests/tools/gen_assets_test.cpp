// What the generator writes for fonts, part models, the water volume and
// the effects: files the game's own readers accept, with the qualities the
// drawing needs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework/font.h"
#include "framework/model.h"
#include "framework/settings.h"
#include "framework/texture.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"
#include "tools/gen_fonts.h"
#include "tools/gen_models.h"
#include "tools/gen_tables.h"
#include "ui/options.h"

namespace {

const char* const kPartModels[] = {
    "base/cars/wheels/support.sbm",     "base/cars/wheels/brake_disk.sbm",
    "base/cars/wheels/suspension0.sbm", "base/cars/wheels/suspension1.sbm",
    "base/cars/wheels/suspension2.sbm", "base/cars/wheels/suspension3.sbm",
    "base/cars/wheels/suspension4.sbm", "base/cars/parts/big_vint.sbm",
    "base/cars/parts/small_vint.sbm",   "base/cars/parts/turbo_vint.sbm",
};

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

}  // namespace

TEST(GeneratedParts, MeshesHaveUnitNormalsAndUsableTextureCoordinates) {
  for (const char* path : kPartModels) {
    MilkshapeModel model;
    ASSERT_TRUE(model.LoadFromFile(path)) << path;
    EXPECT_GE(model.triangleCount, 24) << path;
    EXPECT_LE(model.triangleCount, 6000) << path << ": low-poly";
    for (int i = 0; i < model.triangleCount; ++i) {
      const ModelTriangle& tri = model.triangles[i];
      for (int k = 0; k < 3; ++k) {
        const float* n = tri.normals[k];
        ASSERT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-4f) << path << " triangle " << i;
      }
      const float du1 = tri.texCoords[1][0] - tri.texCoords[0][0];
      const float dv1 = tri.texCoords[1][1] - tri.texCoords[0][1];
      const float du2 = tri.texCoords[2][0] - tri.texCoords[0][0];
      const float dv2 = tri.texCoords[2][1] - tri.texCoords[0][1];
      ASSERT_GT(std::fabs(du1 * dv2 - dv1 * du2), 1e-7f) << path << " triangle " << i;
    }
    model.BuildTangentSpace();
    for (int c = 0; c < model.CornerCount() * 3; ++c) {
      ASSERT_TRUE(std::isfinite(model.tangents[c])) << path << " corner value " << c;
      ASSERT_TRUE(std::isfinite(model.binormals[c])) << path;
    }
  }
}

TEST(GeneratedParts, EachNamesALowerCaseTextureAndNormalMapBesideIt) {
  for (const char* path : kPartModels) {
    MilkshapeModel model;
    ASSERT_TRUE(model.LoadFromFile(path));
    ASSERT_EQ(model.materialCount, 1) << path;
    ASSERT_EQ(model.groupCount, 1) << path;
    EXPECT_EQ(model.groups[0].materialIndex, 0);
    for (const char* name : {model.materials[0].textureName, model.materials[0].alphaMapName}) {
      const std::string file = name;
      EXPECT_EQ(file.substr(file.size() - 4), ".tga") << path;
      for (char c : file) EXPECT_FALSE(c >= 'A' && c <= 'Z') << file;
      DecodedImage image;
      EXPECT_TRUE(ReadTgaImage((FolderOf(path) + file).c_str(), &image)) << file;
      EXPECT_EQ(image.components, 3) << file;
    }
  }
  EXPECT_EQ(MakePartModel("no_such_part").vertices.size(), 0u);
}

TEST(GeneratedParts, ModelsOfTheSameKindDiffer) {
  const Ms3dFile small = MakePartModel("suspension0");
  const Ms3dFile large = MakePartModel("suspension4");
  EXPECT_NE(small.triangles.size(), large.triangles.size());
  float top0 = 0, top4 = 0;
  for (const auto& v : small.vertices) top0 = std::max(top0, v.position[1]);
  for (const auto& v : large.vertices) top4 = std::max(top4, v.position[1]);
  EXPECT_GT(top4, top0 + 0.1f) << "longer travel";
}

TEST(GeneratedFonts, WidthsCoverTextAndCyrillicAndTheTabIsFourSpaces) {
  for (int font : {1, 2}) {
    float widths[kGlyphCount];
    char* text = LoadTextFile(font == 1 ? "base/font1.ini" : "base/font2.ini");
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(ParseFontWidths(text, widths), kGlyphCount);
    delete[] text;
    for (int c = 32; c < 127; ++c) EXPECT_GT(widths[c], 0.05f) << "font " << font << " byte " << c;
    for (int c = 192; c < 256; ++c) EXPECT_GT(widths[c], 0.05f) << "font " << font << " byte " << c;
    EXPECT_GT(widths[168], 0.05f);  // Ё
    EXPECT_GT(widths[184], 0.05f);  // ё
    EXPECT_NEAR(widths[9], 4 * widths[' '], 1e-3f);
    EXPECT_GT(widths['W'], widths['i'] * 2) << "proportional";
    EXPECT_EQ(widths[0], 0.0f);
  }
}

TEST(GeneratedFonts, SheetsAreWhiteWithTheShapeInAlpha) {
  for (const char* path : {"base/textures/tex08.tga", "base/textures/tex00.tga"}) {
    DecodedImage sheet;
    ASSERT_TRUE(ReadTgaImage(path, &sheet)) << path;
    ASSERT_EQ(sheet.components, 4);
    ASSERT_EQ(sheet.width, sheet.height);
    ASSERT_EQ(sheet.width % 16, 0);
    const int cell = sheet.width / 16;
    // Ink of a cell, counted from the top of the sheet.
    auto ink = [&](int c) {
      const int column = c % 16, row = c / 16;
      int total = 0;
      for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
          const int sheetY = sheet.height - 1 - (row * cell + y);  // rows are bottom-up
          const uint8_t* p = &sheet.pixels[(size_t(sheetY) * sheet.width + column * cell + x) * 4];
          EXPECT_EQ(p[0], 255);
          total += p[3];
        }
      return total;
    };
    EXPECT_GT(ink('A'), 0) << path;
    EXPECT_GT(ink(0xC6), ink('-')) << "Ж is heavier than a hyphen";
    EXPECT_EQ(ink(' '), 0);
    EXPECT_EQ(ink(9), 0);
    EXPECT_EQ(ink(0x98), 0) << "unassigned in code page 1251";
  }
}

TEST(GeneratedFonts, CodePage1251Letters) {
  EXPECT_EQ(CodePage1251ToUnicode(0xC0), 0x0410u);
  EXPECT_EQ(CodePage1251ToUnicode(0xFF), 0x044Fu);
  EXPECT_EQ(CodePage1251ToUnicode(0xA8), 0x0401u);
  EXPECT_EQ(CodePage1251ToUnicode(0xB8), 0x0451u);
  EXPECT_EQ(CodePage1251ToUnicode('A'), unsigned('A'));
  EXPECT_EQ(CodePage1251ToUnicode(7), 0u);
}

// Font 1 at scale 1: every GRAPHICS value (centred at x 525, its shadow 1)
// clears the hovered right arrow's plate (x 586, 20 each side, grown 1.2);
// the long lines centred at x 400 stay on the page (150..650).
TEST(GeneratedFonts, OptionValuesMissTheirArrowsAndLongLinesStayOnThePage) {
  ASSERT_TRUE(LoadFontWidths("base/font1.ini", 1));
  int32_t* const settings[] = {&gPendingResolutionIndex, &gAntiAliasingChoice, &gSightRange,
                               &gShadowDetail, &gMotionBlur, &gSoftParticles, &gTextureFiltering};
  for (int row = 0; row < 7; ++row) {
    const int32_t kept = *settings[row];
    for (*settings[row] = 0; *settings[row] <= 9; ++*settings[row])
      EXPECT_LT(525 + TextAdvance(1, 1, GraphicsValueText(row)) / 2 + 1, 586 - 1.2f * 20) << GraphicsValueText(row);
    *settings[row] = kept;
  }
  EXPECT_LT(TextAdvance(1, 1, "Attention! Do you wish to overwrite previously saved career?") / 2, 250);
  EXPECT_LT(TextAdvance(1, 1.25f, "Changes will be applied after reload the game!") / 2 + 1, 250);
}

TEST(GeneratedImages, WaterVolumeImageHoldsThe64CubedVolume) {
  DecodedImage image;
  ASSERT_TRUE(ReadTgaImage("base/textures/tex65.tga", &image));
  EXPECT_EQ(image.components, 3);
  EXPECT_GE(size_t(image.width) * image.height, size_t(64) * 64 * 64);
  // Normals point up: blue stays high everywhere.
  for (size_t i = 2; i < image.pixels.size(); i += 3) ASSERT_GT(image.pixels[i], 200);
}

TEST(Generator, SameOutputEveryRun) {
  ScratchFolder a, b;
  ASSERT_TRUE(GenerateModels(a.Path()));
  ASSERT_TRUE(GenerateModels(b.Path()));
  ASSERT_TRUE(GenerateFonts(a.Path()));
  ASSERT_TRUE(GenerateFonts(b.Path()));
  ASSERT_TRUE(WriteGameTables(a.Path()));
  ASSERT_TRUE(WriteGameTables(b.Path()));
  for (const char* file : {"/cars/wheels/support.sbm", "/cars/parts/turbo_vint_n.tga",
                           "/textures/tex00.tga", "/font1.ini", "/menu.inf", "/cars.ini",
                           "/optica.ini", "/career.inf", "/world/races/17.ai"}) {
    EXPECT_EQ(ReadFileBytes(a.Path() + file), ReadFileBytes(b.Path() + file)) << file;
    EXPECT_FALSE(ReadFileBytes(a.Path() + file).empty()) << file;
  }
}
