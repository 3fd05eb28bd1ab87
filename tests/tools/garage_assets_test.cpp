// The asset validator's checks of the generated garage showroom.
#include <gtest/gtest.h>

#include "framework/model.h"
#include "framework/texture.h"
#include "tests/tools/model_geometry.h"
#include "tools/gen_garage.h"
#include "tools/gen_trucks.h"

namespace {

const char* const kGarageFolder = "base/garage/";

// Height of the model's highest surface straight under (x, z), or -1e9.
float SurfaceUnder(const Model& model, float x, float z) {
  float best = -1e9f;
  for (int i = 0; i < model.triangleCount; ++i) {
    const ModelTriangle& tri = model.triangles[i];
    const float* a = model.vertices[tri.vertexIndices[0]].position;
    const float* b = model.vertices[tri.vertexIndices[1]].position;
    const float* c = model.vertices[tri.vertexIndices[2]].position;
    // Barycentric weights of (x, z) in the triangle's ground projection.
    const float d = (b[2] - c[2]) * (a[0] - c[0]) + (c[0] - b[0]) * (a[2] - c[2]);
    if (std::fabs(d) < 1e-9f) continue;
    const float wa = ((b[2] - c[2]) * (x - c[0]) + (c[0] - b[0]) * (z - c[2])) / d;
    const float wb = ((c[2] - a[2]) * (x - c[0]) + (a[0] - c[0]) * (z - c[2])) / d;
    const float wc = 1 - wa - wb;
    if (wa < 0 || wb < 0 || wc < 0) continue;
    best = std::max(best, wa * a[1] + wb * b[1] + wc * c[1]);
  }
  return best;
}

}  // namespace

TEST(Garage, EveryModelLoadsWithItsTexturesAndNormalMaps) {
  for (const char* file : {"garage.sbm", "special.sbm", "ground.sbm", "transparency.sbm"})
    EXPECT_EQ(CheckDrawnModel(kGarageFolder, file), "") << file;
}

TEST(Garage, TheTruckStandsOnTheFloorInsideTheHall) {
  MilkshapeModel ground, special, hall;
  ASSERT_TRUE(ground.LoadFromFile("base/garage/ground.sbm"));
  ASSERT_TRUE(special.LoadFromFile("base/garage/special.sbm"));
  ASSERT_TRUE(hall.LoadFromFile("base/garage/garage.sbm"));
  // Under the truck's wheels the floor (and the turntable flush with it)
  // is at the truck's ground height.
  for (float x : {-2.2f, 0.0f, 2.2f})
    for (float z : {-1.4f, 1.4f}) {
      const float floor = std::max(SurfaceUnder(ground, x, z), SurfaceUnder(special, x, z));
      EXPECT_NEAR(floor, kTruckGroundY, 0.02f) << x << ", " << z;
    }
  // The hall is all around the truck and the garage camera's orbit.
  const Bounds b = ModelBounds(hall);
  EXPECT_LT(b.lo.x, -16);
  EXPECT_GT(b.hi.x, 16);
  EXPECT_LT(b.lo.z, -16);
  EXPECT_GT(b.hi.z, 16);
  EXPECT_NEAR(b.lo.y, kGarageFloorY, 0.05f);
  EXPECT_GT(b.hi.y, 6);
}

TEST(Garage, AlphaCutSurfacesCarryAlphaOnBothSidesOfTheCut) {
  MilkshapeModel clear;
  ASSERT_TRUE(clear.LoadFromFile("base/garage/transparency.sbm"));
  ASSERT_GT(clear.materialCount, 0);
  for (int m = 0; m < clear.materialCount; ++m) {
    DecodedImage image;
    ASSERT_TRUE(ReadTgaImage((std::string(kGarageFolder) + clear.materials[m].textureName).c_str(), &image));
    ASSERT_EQ(image.components, 4) << clear.materials[m].textureName;
    int cut = 0, kept = 0;
    for (size_t i = 3; i < image.pixels.size(); i += 4) (image.pixels[i] < 128 ? cut : kept)++;
    EXPECT_GT(cut, 0) << clear.materials[m].textureName;
    EXPECT_GT(kept, 0) << clear.materials[m].textureName;
  }
}
