// The asset validator's checks of the 18 generated trucks, through the
// game's own model and image readers: what the racer-car loader reads from
// the marker model, how the body fits the collision box, where the wheels
// stand, and what each model's textures are.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "framework/model.h"
#include "framework/texture.h"
#include "tests/tools/model_geometry.h"
#include "tools/gen_tables.h"
#include "tools/gen_trucks.h"
#include "world/catalogue.h"
#include "world/racer.h"
#include "world/truck_tuning.h"

namespace {

const char* const kTruckModels[] = {"car.sbm", "glass_car.sbm", "optika.sbm", "wheel.sbm", "splasher.sbm"};

std::string Folder(int truck) { return "base/cars/" + std::to_string(truck) + "/"; }

class Trucks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitCarTables(); }
};

}  // namespace

TEST_F(Trucks, EveryModelLoadsWithItsTexturesAndNormalMaps) {
  for (int truck = 0; truck < kCatalogueSize; ++truck)
    for (const char* file : kTruckModels) EXPECT_EQ(CheckDrawnModel(Folder(truck), file), "") << Folder(truck) << file;
}

TEST_F(Trucks, MarkerGroupsHoldTheirPointsWithTheRightSigns) {
  for (int truck = 0; truck < kCatalogueSize; ++truck) {
    MilkshapeModel markers;
    ASSERT_TRUE(markers.LoadFromFile((Folder(truck) + "points.sbm").c_str())) << truck;
    ASSERT_EQ(markers.groupCount, kMarkerGroupCount) << truck;
    EXPECT_EQ(MarkerCount(markers, kMarkerAxle), 1) << truck;
    EXPECT_EQ(MarkerCount(markers, kMarkerLamps), 4) << truck;
    EXPECT_EQ(MarkerCount(markers, kMarkerExhaust1), 1) << truck;
    EXPECT_EQ(MarkerCount(markers, kMarkerExhaust2), 1) << truck;
    const Vector3 axle = MarkerCorner(markers, kMarkerAxle, 0, 1);
    EXPECT_GT(axle.x, 1.5f) << truck;
    EXPECT_GT(axle.z, 1.0f) << truck;
    // Lamp 0 looks forward from the front, lamps 1-3 back from the rear;
    // all on the +z side (the drawing mirrors them).
    for (int lamp = 0; lamp < 4; ++lamp) {
      const Vector3 p = MarkerCorner(markers, kMarkerLamps, lamp, 1);
      EXPECT_EQ(p.x > 2.5f, lamp == 0) << truck << " lamp " << lamp;
      EXPECT_EQ(p.x < -2.5f, lamp > 0) << truck << " lamp " << lamp;
      EXPECT_GT(p.z, 0.0f) << truck << " lamp " << lamp;
    }
    for (int group : {kMarkerExhaust1, kMarkerExhaust2}) EXPECT_LT(MarkerCorner(markers, group, 0, 1).x, -3.0f);
    for (int group = kMarkerBigVint; group <= kMarkerTurboVint; ++group) {
      const int count = MarkerCount(markers, group);
      EXPECT_GE(count, 1) << truck << " group " << group;
      EXPECT_LE(count, kMaxVintMarkers) << truck << " group " << group;
      for (int t = 0; t < count; ++t) {
        const Vector3 p1 = MarkerCorner(markers, group, t, 1);
        const Vector3 x = MarkerCorner(markers, group, t, 0) - p1, y = MarkerCorner(markers, group, t, 2) - p1;
        EXPECT_NEAR(DotProduct(x, y), 0.0f, 1e-5f) << truck << " group " << group << ": not right-angled";
        EXPECT_GT(x.Length(), 0.01f);
        EXPECT_GT(y.Length(), 0.01f);
      }
    }
  }
}

TEST_F(Trucks, BodiesFitTheCollisionBoxAndWheelsStandOnTheGround) {
  const float boxSize[3] = {kTruckTuning.boxSize.x, kTruckTuning.boxSize.y, kTruckTuning.boxSize.z};
  const neV3& boxOffset = kTruckTuning.boxOffset;
  const Vector3 boxLo(boxOffset.x - boxSize[0] / 2, boxOffset.y - boxSize[1] / 2, boxOffset.z - boxSize[2] / 2);
  const Vector3 boxHi(boxOffset.x + boxSize[0] / 2, boxOffset.y + boxSize[1] / 2, boxOffset.z + boxSize[2] / 2);
  for (int truck = 0; truck < kCatalogueSize; ++truck) {
    MilkshapeModel body, wheel;
    ASSERT_TRUE(body.LoadFromFile((Folder(truck) + "car.sbm").c_str()));
    ASSERT_TRUE(wheel.LoadFromFile((Folder(truck) + "wheel.sbm").c_str()));
    const Bounds b = ModelBounds(body);
    const float lo[3] = {b.lo.x, b.lo.y, b.lo.z}, hi[3] = {b.hi.x, b.hi.y, b.hi.z};
    const float wantLo[3] = {boxLo.x, boxLo.y, boxLo.z}, wantHi[3] = {boxHi.x, boxHi.y, boxHi.z};
    for (int axis = 0; axis < 3; ++axis) {
      EXPECT_NEAR(lo[axis], wantLo[axis], 0.1f * boxSize[axis]) << "truck " << truck << " axis " << axis;
      EXPECT_NEAR(hi[axis], wantHi[axis], 0.1f * boxSize[axis]) << "truck " << truck << " axis " << axis;
    }
    // The wheel: unit diameter about its centre, axle along z.
    const Bounds w = ModelBounds(wheel);
    EXPECT_NEAR(w.Size().y, 1.0f, 0.02f) << truck;
    EXPECT_NEAR(w.Size().x, 1.0f, 0.02f) << truck;
    EXPECT_LT(w.Size().z, 0.6f) << truck;
    EXPECT_NEAR(w.lo.y + w.hi.y, 0.0f, 0.01f) << truck;
    // At rest the showroom drops the wheel centre to (scale - 1) / 2 - 0.49.
    const float scale = gWheelSizes[truck][4];
    const float bottom = (scale - 1) / 2 - kRestWheelDrop + scale * w.lo.y;
    EXPECT_NEAR(bottom, kTruckGroundY, 0.05f) << "truck " << truck;
    // The body clears the ground.
    EXPECT_GT(b.lo.y, kTruckGroundY + 0.3f) << truck;
  }
}

TEST_F(Trucks, LampModelHasTheThreeLitGroupsOnOneMaterial) {
  for (int truck = 0; truck < kCatalogueSize; ++truck) {
    MilkshapeModel lamps;
    ASSERT_TRUE(lamps.LoadFromFile((Folder(truck) + "optika.sbm").c_str()));
    ASSERT_EQ(lamps.groupCount, kLampGroupCount) << truck;
    for (int g = 0; g < lamps.groupCount; ++g) {
      EXPECT_EQ(lamps.groups[g].materialIndex, 0) << truck;
      EXPECT_GT(lamps.groups[g].triangleCount, 0) << truck;
    }
  }
}

TEST_F(Trucks, SixStylesInThreeClassesEachInItsCataloguePaint) {
  std::set<int> styles;
  std::set<int> triangleCounts;
  MakeShippedCatalogue();
  for (int truck = 0; truck < kCatalogueSize; ++truck) {
    styles.insert(int(StyleOfTruck(truck)));
    MilkshapeModel body;
    ASSERT_TRUE(body.LoadFromFile((Folder(truck) + "car.sbm").c_str()));
    triangleCounts.insert(body.triangleCount);
    // A good share of the body texture is the catalogue's body colour.
    DecodedImage image;
    ASSERT_TRUE(ReadTgaImage((Folder(truck) + "car.tga").c_str(), &image));
    const float* paint = gCarCatalogue[truck].zoneColour[0];
    size_t close = 0;
    for (size_t i = 0; i < image.pixels.size(); i += size_t(image.components)) {
      float d = 0;
      for (int c = 0; c < 3; ++c) d += std::fabs(image.pixels[i + c] / 255.0f - paint[c]);
      close += d < 0.2f;
    }
    EXPECT_GT(close, image.pixels.size() / size_t(image.components) / 20) << "truck " << truck;
  }
  EXPECT_EQ(styles.size(), size_t(kTruckStyleCount));
  EXPECT_GE(triangleCounts.size(), size_t(kTruckStyleCount)) << "styles and classes share one body";
  // The three classes of a style are the same model name.
  EXPECT_EQ(StyleOfTruck(0), StyleOfTruck(7));
  EXPECT_EQ(StyleOfTruck(7), StyleOfTruck(10));
}

TEST_F(Trucks, GenerationIsDeterministic) {
  MakeShippedCatalogue();
  const TruckModels a = MakeTruckModels(13), b = MakeTruckModels(13);
  EXPECT_EQ(EncodeMs3d(a.body), EncodeMs3d(b.body));
  EXPECT_EQ(EncodeMs3d(a.markers), EncodeMs3d(b.markers));
}

TEST_F(Trucks, SpinningPartsAreFlatAcrossTheAxisTheyTurnAbout) {
  // The drawing turns them about their y axis, which the markers point
  // along the spin axis: each is a flat fan lying across y.
  for (const char* file : {"big_vint.sbm", "small_vint.sbm", "turbo_vint.sbm"}) {
    MilkshapeModel part;
    ASSERT_TRUE(part.LoadFromFile((std::string("base/cars/parts/") + file).c_str()));
    const Bounds b = ModelBounds(part);
    EXPECT_LT(b.Size().y, 0.5f * b.Size().x) << file;
    EXPECT_LT(b.Size().y, 0.5f * b.Size().z) << file;
  }
}
