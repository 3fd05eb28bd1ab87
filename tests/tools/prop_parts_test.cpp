// The asset validator's checks of the 28 prop part models: present for
// every part of every type, centred on and filling their part's box, and
// drawn with the shared prop atlas only.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "framework/model.h"
#include "tests/tools/model_geometry.h"
#include "tools/gen_props.h"

namespace {

std::string PartPath(int type, int part) {
  return "base/objects/object" + std::to_string(type) + "part" + std::to_string(part) + ".sbm";
}

}  // namespace

TEST(PropParts, TwentyEightPartsFillTheirBoxesAboutTheirCentres) {
  int parts = 0;
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < PropPartCount(type); ++part, ++parts) {
      MilkshapeModel model;
      ASSERT_TRUE(model.LoadFromFile(PartPath(type, part).c_str())) << PartPath(type, part);
      const Bounds b = ModelBounds(model);
      const Vector3 box = PropPartBox(type, part);
      const float size[3] = {b.Size().x, b.Size().y, b.Size().z}, want[3] = {box.x, box.y, box.z};
      const float centre[3] = {b.lo.x + b.hi.x, b.lo.y + b.hi.y, b.lo.z + b.hi.z};
      for (int axis = 0; axis < 3; ++axis) {
        EXPECT_LE(size[axis], want[axis] * 1.03f) << PartPath(type, part) << " axis " << axis;
        EXPECT_GE(size[axis], want[axis] * 0.85f) << PartPath(type, part) << " axis " << axis;
        EXPECT_NEAR(centre[axis] / 2, 0.0f, 0.05f * want[axis]) << PartPath(type, part) << " axis " << axis;
      }
    }
  EXPECT_EQ(parts, 28);
  EXPECT_FALSE(std::ifstream(PartPath(18, 0)).good()) << "types 18 and above have no parts";
}

TEST(PropParts, PartsBindNoTextureAndAddressTheAtlasWithinItsBounds) {
  for (int type = 0; type < kPropTypesWithParts; ++type)
    for (int part = 0; part < PropPartCount(type); ++part) {
      MilkshapeModel model;
      ASSERT_TRUE(model.LoadFromFile(PartPath(type, part).c_str()));
      EXPECT_EQ(model.materialCount, 0) << PartPath(type, part);
      for (int g = 0; g < model.groupCount; ++g) EXPECT_EQ(model.groups[g].materialIndex, -1);
      model.BuildTangentSpace();
      for (int i = 0; i < model.triangleCount; ++i)
        for (int k = 0; k < 3; ++k)
          for (float st : model.triangles[i].texCoords[k]) {
            ASSERT_GE(st, 0.0f) << PartPath(type, part);
            ASSERT_LE(st, 1.0f) << PartPath(type, part);
          }
      for (int c = 0; c < model.CornerCount() * 3; ++c) ASSERT_TRUE(std::isfinite(model.tangents[c])) << PartPath(type, part);
    }
}
