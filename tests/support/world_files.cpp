#include "tests/support/world_files.h"

#include "tests/support/quad_model.h"
#include "framework/model.h"
#include "world/quadtree_baker.h"
#include "world/race_path.h"

#include <memory>

#include <cmath>
#include <filesystem>

namespace {

constexpr int kTestPathLast = 149;
constexpr float kTestPathSpacing = 7.0f;
constexpr int kTestTruckCount = 18;

std::string Folder(const std::string& root, const std::string& folder) {
  const std::string path = root + "/" + folder;
  std::filesystem::create_directories(path);
  return path;
}

void Write(const std::string& path, const Ms3dFile& file) {
  if (!WriteMs3d(path, file)) throw std::runtime_error("cannot write " + path);
}

// qt.qt baked from the models just written, as the generator bakes the game's.
void BakeTestQuadTree(const std::string& models, int race) {
  const char* const sections[kSectionCount] = {"main_road",        "main_map",         "main_transparency",
                                               "add_map",          "add_transparency", "add_transparency2"};
  std::vector<std::unique_ptr<MilkshapeModel>> read;
  auto load = [&](const std::string& name) {
    read.push_back(std::make_unique<MilkshapeModel>());
    read.back()->LoadFromFile((models + "/" + name + ".sbm").c_str());
    return read.back().get();
  };
  QuadTreeSources sources;
  for (int s = 0; s < kSectionCount; ++s) sources.sections[s] = load(sections[s]);
  sources.objects = load("objects" + std::to_string(race));
  sources.grass = load("grass");
  sources.trees = load("trees");
  if (!BakeWorldQuadTree(sources, (models + "/qt.qt").c_str())) throw std::runtime_error("cannot bake qt.qt");
  DestroyWorldQuadTree();
}

}  // namespace

Ms3dFile GroundMesh(float x0, float x1, float z0, float z1, float cell, const HeightFunction& height) {
  const int nx = static_cast<int>(std::ceil((x1 - x0) / cell));
  const int nz = static_cast<int>(std::ceil((z1 - z0) / cell));
  Ms3dFile file;
  for (int j = 0; j <= nz; ++j)
    for (int i = 0; i <= nx; ++i) {
      const float x = x0 + i * cell, z = z0 + j * cell;
      file.vertices.push_back({{x, height(x, z), z}, -1});
    }
  Ms3dGroup group{"ground", {}, -1};
  auto at = [nx](int i, int j) { return static_cast<uint16_t>(j * (nx + 1) + i); };
  for (int j = 0; j < nz; ++j)
    for (int i = 0; i < nx; ++i) {
      const uint16_t quads[2][3] = {{at(i, j), at(i, j + 1), at(i + 1, j)},
                                    {at(i + 1, j), at(i, j + 1), at(i + 1, j + 1)}};
      for (const auto& corners : quads) {
        Ms3dTriangle triangle;
        for (int k = 0; k < 3; ++k) {
          triangle.vertices[k] = corners[k];
          triangle.normals[k][1] = 1.0f;
        }
        group.triangles.push_back(static_cast<uint16_t>(file.triangles.size()));
        file.triangles.push_back(triangle);
      }
    }
  file.groups.push_back(group);
  return file;
}

Ms3dFile MarkerMesh(const std::vector<MarkerTriangle>& triangles) {
  Ms3dFile file;
  for (const MarkerTriangle& marker : triangles) {
    if (marker.group >= static_cast<int>(file.groups.size())) file.groups.resize(marker.group + 1);
    Ms3dTriangle triangle;
    for (int k = 0; k < 3; ++k) {
      triangle.vertices[k] = static_cast<uint16_t>(file.vertices.size());
      const neV3& c = marker.corners[k];
      file.vertices.push_back({{c.x, c.y, c.z}, -1});
    }
    file.groups[marker.group].triangles.push_back(static_cast<uint16_t>(file.triangles.size()));
    file.triangles.push_back(triangle);
  }
  return file;
}

void WriteTestTrack(const std::string& root, int race) {
  const std::string races = Folder(root, "base/world/races");
  Waypoint path[kTestPathLast + 1];
  for (int k = 0; k <= kTestPathLast; ++k) path[k] = Waypoint{neMakeV3(k * kTestPathSpacing, 1.0f, 0.0f), 0};
  MarkCheckpoints(path, kTestPathLast);
  WriteRacePathFile(races + "/" + std::to_string(race) + ".ai", path, kTestPathLast);

  const std::string models = Folder(root, "base/world/models");
  const float reach = kTestPathLast * kTestPathSpacing + 100.0f;
  Write(models + "/physic.sbm", GroundMesh(-100.0f, reach, -100.0f, 100.0f, 10.0f, FlatGround));
  const Ms3dFile quad = QuadModelFile(0, 0, 1, 1);
  for (const char* name : {"main_road", "main_road_linear", "main_map", "main_transparency", "add_map", "add_transparency", "add_transparency2",
                           "grass", "trees", "water"})
    Write(models + "/" + name + ".sbm", quad);
  std::vector<MarkerTriangle> props;
  for (int i = 0; i < 3; ++i) {
    const neV3 at = neMakeV3(100.0f + 30.0f * i, 0.0f, 12.0f);
    props.push_back({i, {at + neMakeV3(1, 0, 0), at, at + neMakeV3(0, 1, 0)}});
  }
  Write(models + "/objects" + std::to_string(race) + ".sbm", MarkerMesh(props));
  BakeTestQuadTree(models, race);
}

void WriteTestTruck(const std::string& root, int index, const std::vector<MarkerTriangle>& points) {
  const std::string folder = Folder(root, "base/cars/" + std::to_string(index));
  const Ms3dFile quad = QuadModelFile(-1, -1, 1, 1);
  for (const char* name : {"car", "glass_car", "optika", "wheel", "splasher"}) Write(folder + "/" + name + ".sbm", quad);
  Write(folder + "/points.sbm", MarkerMesh(points));
}

void WriteTestTrucks(const std::string& root) {
  const neV3 axle = neMakeV3(2.2f, 0.0f, 1.4f);
  for (int i = 0; i < kTestTruckCount; ++i)
    WriteTestTruck(root, i, {{0, {axle + neMakeV3(0, 1, 0), axle, axle + neMakeV3(1, 0, 0)}}});
}

void WriteTestGarage(const std::string& root) {
  const std::string folder = Folder(root, "base/garage");
  const Ms3dFile quad = QuadModelFile(0, 0, 1, 1);
  for (const char* name : {"garage", "special", "ground", "transparency"}) Write(folder + "/" + name + ".sbm", quad);
}
