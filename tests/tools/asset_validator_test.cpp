// The asset validator: every file the build puts in base/ is read by the
// game's own reader for its kind, so a generator change that the game cannot
// read fails here rather than on a player's screen. A file of a kind with no
// reader check below fails too, so that new kinds get one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/font.h"
#include "framework/model.h"
#include "framework/particle_effect.h"
#include "framework/settings.h"
#include "framework/texture.h"
#include "tests/support/temp_home.h"
#include "tests/support/wave_file.h"
#include "world/catalogue.h"
#include "world/quadtree.h"
#include "world/race_path.h"

namespace {

namespace fs = std::filesystem;

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The folder the game loads a model's material textures from: the world's
// models take theirs from base/world/textures/, every other model from its
// own folder.
fs::path TextureFolder(const fs::path& model) {
  if (model.parent_path().filename() == "models" && model.parent_path().parent_path().filename() == "world")
    return model.parent_path().parent_path() / "textures";
  return model.parent_path();
}

bool AllFinite(const float* values, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (!std::isfinite(values[i])) return false;
  return true;
}

// Empty when the file is acceptable, otherwise what is wrong with it. The
// reader itself refuses files past the format's limits and bad indices.
std::string CheckModel(const fs::path& path) {
  std::vector<uint8_t> bytes = ReadFileBytes(path.string());
  MilkshapeModel model;
  if (!model.LoadFromBytes(bytes.data(), bytes.size())) return "refused by the model reader";
  if (model.triangleCount == 0) return "no triangles";
  for (int i = 0; i < model.vertexCount; ++i)
    if (!AllFinite(model.vertices[i].position, 3)) return "a vertex position is not a number";
  for (int i = 0; i < model.triangleCount; ++i) {
    const ModelTriangle& t = model.triangles[i];
    if (!AllFinite(&t.normals[0][0], 9) || !AllFinite(&t.texCoords[0][0], 6)) return "a normal or texture coordinate is not a number";
  }
  for (int i = 0; i < model.materialCount; ++i) {
    for (const char* name : {model.materials[i].textureName, model.materials[i].alphaMapName}) {
      if (!name || !*name) continue;
      const fs::path texture = TextureFolder(path) / name;
      if (!fs::exists(texture)) return std::string("names a missing texture ") + name;
      if (texture.extension() != ".tga") continue;
      DecodedImage image;
      if (!ReadTgaImage(texture.c_str(), &image)) return std::string("names an unreadable texture ") + name;
      if (!PowerOfTwo(image.width) || !PowerOfTwo(image.height)) return std::string("names a texture not a power of two ") + name;
    }
  }
  return {};
}

// The world's quadtree, read against the world models as the loader has them.
std::string CheckQuadTree(const fs::path& path) {
  const fs::path models = path.parent_path();
  const char* stems[kSectionCount] = {"main_road", "main_map", "main_transparency", "add_map", "add_transparency", "add_transparency2"};
  MilkshapeModel sections[kSectionCount];
  QuadTreeSources sources;
  for (int s = 0; s < kSectionCount; ++s) {
    if (!sections[s].LoadFromFile((models / (std::string(stems[s]) + ".sbm")).c_str())) return "a section model is missing";
    sources.sections[s] = &sections[s];
  }
  const bool read = CreateWorldQuadTree(sources, path.c_str());
  DestroyWorldQuadTree();
  return read ? "" : "refused by the quadtree reader";
}

std::string CheckImage(const fs::path& path) {
  DecodedImage image;
  if (!ReadTgaImage(path.c_str(), &image)) return "refused by the TGA reader";
  if (image.width <= 0 || image.height <= 0) return "empty image";
  return {};
}

std::string CheckSound(const fs::path& path) {
  WaveFile wave = ReadWaveFile(path.string());
  if (wave.format != 1 || wave.bits != 16) return "not 16-bit PCM";
  if (wave.samples.empty()) return "no samples";
  if (wave.Rms() < 1e-3) return "silent";
  return {};
}

std::string CheckEffect(const fs::path& path) {
  std::vector<uint8_t> bytes = ReadFileBytes(path.string());
  EffectParameters parameters;
  if (!DecodeEffectParameters(bytes.data(), bytes.size(), &parameters)) return "refused by the effect reader";
  return {};
}

std::string CheckRacePath(const fs::path& path) {
  std::vector<Waypoint> points(kRacePathCapacity);
  int32_t last = 0;
  if (!ReadRacePathFile(path.string(), points.data(), last)) return "refused by the race-path reader";
  return {};
}

std::string CheckTable(const fs::path& path) {
  const std::string name = path.filename().string();
  if (name == "font1.ini" || name == "font2.ini") {
    std::vector<uint8_t> bytes = ReadFileBytes(path.string());
    std::string text(bytes.begin(), bytes.end());
    float widths[kGlyphCount] = {};
    if (ParseFontWidths(text.c_str(), widths) != kGlyphCount) return "does not hold 256 widths";
    return {};
  }
  if (name == "cars.ini") {
    if (fs::file_size(path) != kCarsIniSize) return "not the catalogue's size";
    return LoadCarCatalogueFrom(path.string()) ? "" : "refused by the catalogue reader";
  }
  if (name == "optica.ini") {
    if (fs::file_size(path) != kOpticaFloatCount * sizeof(float)) return "not the lamp table's size";
    return LoadOpticaTableFrom(path.string()) ? "" : "refused by the lamp-table reader";
  }
  return "no reader check for this table";
}

std::string CheckSaveFile(const fs::path& path) {
  const std::string name = path.filename().string();
  if (name == "menu.inf") return fs::file_size(path) == kSettingsFileSize ? "" : "not 25 words";
  if (name == "career.inf") return fs::file_size(path) == kCareerFileSize ? "" : "not one career record";
  return "no reader check for this save file";
}

// Shader sources: a vertex or fragment file for GLSL 1.20 that the text
// reader returns whole; that they compile is the renderer's test.
std::string CheckShader(const fs::path& path) {
  const std::string name = path.filename().string();
  if (!name.ends_with("VS.glsl") && !name.ends_with("PS.glsl")) return "neither a VS nor a PS source";
  char* text = LoadTextFile(path.c_str());
  if (text == nullptr) return "refused by the text reader";
  const bool versioned = std::string(text).find("\n#version 120\n") != std::string::npos;
  delete[] text;
  return versioned ? "" : "no #version 120 line";
}

std::string CheckAsset(const fs::path& path) {
  const std::string kind = path.extension().string();
  if (kind == ".sbm") return CheckModel(path);
  if (kind == ".tga") return CheckImage(path);
  if (kind == ".wav") return CheckSound(path);
  if (kind == ".eff") return CheckEffect(path);
  if (kind == ".ai") return CheckRacePath(path);
  if (kind == ".ini") return CheckTable(path);
  if (kind == ".inf") return CheckSaveFile(path);
  if (kind == ".glsl") return CheckShader(path);
  if (kind == ".qt") return CheckQuadTree(path);
  return "no reader check for files of this kind";
}

}  // namespace

TEST(AssetValidator, EveryShippedFileIsReadByTheGamesReaderForItsKind) {
  int checked = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator("base")) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(CheckAsset(entry.path()), "") << entry.path();
    ++checked;
  }
  EXPECT_GT(checked, 100) << "base/ looks incomplete";
}
