// MilkShape 3D binary files (.sbm) as the game reads them: version 4 by
// default, with the empty animation section MilkShape itself writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Ms3dVertex {
  float position[3] = {0, 0, 0};
  int8_t boneId = -1;
};

struct Ms3dTriangle {
  uint16_t vertices[3] = {0, 0, 0};
  float normals[3][3] = {};
  // Texture coordinates as stored: t counts down from the image's top.
  float s[3] = {0, 0, 0};
  float t[3] = {0, 0, 0};
  uint8_t smoothingGroup = 1;
  uint8_t groupIndex = 0;
};

struct Ms3dGroup {
  std::string name;
  std::vector<uint16_t> triangles;
  int8_t material = -1;  // -1: none
};

struct Ms3dMaterial {
  std::string name;
  float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
  float specular[4] = {0, 0, 0, 1};
  float emissive[4] = {0, 0, 0, 1};
  float shininess = 0;
  float transparency = 1;
  std::string texture;   // file name beside the model, e.g. "support.tga"
  std::string alphaMap;  // the game's second texture: the normal map
};

struct Ms3dFile {
  int32_t version = 4;
  std::vector<Ms3dVertex> vertices;
  std::vector<Ms3dTriangle> triangles;
  std::vector<Ms3dGroup> groups;
  std::vector<Ms3dMaterial> materials;
};

std::vector<uint8_t> EncodeMs3d(const Ms3dFile& file);
bool WriteMs3d(const std::string& path, const Ms3dFile& file);
