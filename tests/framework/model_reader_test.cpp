// The MilkShape reader fed files from our writer and broken files by hand,
// and the tangent space built on a known quad.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "framework/model.h"
#include "tests/support/quad_model.h"
#include "tests/support/scratch_folder.h"
#include "tools/binary_writer.h"
#include "tools/ms3d_writer.h"

namespace {

// A unit quad in the x-y plane facing +z: s runs with x, GL's t with y.
Ms3dFile Quad() {
  Ms3dFile file = QuadModelFile(0, 0, 1, 1);
  file.materials[0].texture = "quad.tga";
  file.materials[0].alphaMap = "quad_n.tga";
  file.materials[0].transparency = 0.5f;
  return file;
}

bool Load(MilkshapeModel& model, const std::vector<uint8_t>& bytes) {
  return model.LoadFromBytes(bytes.data(), bytes.size());
}

void ExpectEmpty(const Model& model) {
  EXPECT_EQ(model.vertexCount, 0);
  EXPECT_EQ(model.triangleCount, 0);
  EXPECT_EQ(model.groupCount, 0);
  EXPECT_EQ(model.materialCount, 0);
  EXPECT_EQ(model.vertices, nullptr);
  EXPECT_EQ(model.groups, nullptr);
}

// Offsets in the quad's file: header 14, vertex count 2, 4 vertices of 15,
// triangle count 2, triangles of 70, group count 2, then the group.
constexpr size_t kFirstVertex = 16;
constexpr size_t kTriangleCount = kFirstVertex + 4 * 15;
constexpr size_t kFirstTriangle = kTriangleCount + 2;
constexpr size_t kGroupCount = kFirstTriangle + 2 * 70;
constexpr size_t kGroupTriangleCount = kGroupCount + 2 + 1 + 32;
constexpr size_t kGroupMaterial = kGroupTriangleCount + 2 + 2 * 2;
constexpr size_t kMaterialCount = kGroupMaterial + 1;

}  // namespace

TEST(ModelReader, ReadsVersionsThreeAndFourAlike) {
  for (int version : {3, 4}) {
    Ms3dFile file = Quad();
    file.version = version;
    MilkshapeModel model;
    ASSERT_TRUE(Load(model, EncodeMs3d(file))) << version;
    EXPECT_EQ(model.vertexCount, 4);
    EXPECT_EQ(model.triangleCount, 2);
    ASSERT_EQ(model.groupCount, 1);
    EXPECT_EQ(model.groups[0].triangleCount, 2);
    EXPECT_EQ(model.groups[0].materialIndex, 0);
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_STREQ(model.materials[0].textureName, "quad.tga");
    EXPECT_STREQ(model.materials[0].alphaMapName, "quad_n.tga");
    EXPECT_FLOAT_EQ(model.materials[0].transparency, 0.5f);
    EXPECT_EQ(model.materials[0].textureId, 0u);
    EXPECT_FLOAT_EQ(model.vertices[2].position[0], 1);
    EXPECT_FLOAT_EQ(model.vertices[2].position[1], 1);
    EXPECT_EQ(model.triangles[1].vertexIndices[2], 3);
  }
}

TEST(ModelReader, RefusesOtherVersionsAndIds) {
  for (int version : {2, 5}) {
    Ms3dFile file = Quad();
    file.version = version;
    MilkshapeModel model;
    EXPECT_FALSE(Load(model, EncodeMs3d(file))) << version;
    ExpectEmpty(model);
  }
  std::vector<uint8_t> bytes = EncodeMs3d(Quad());
  bytes[4] = 'X';
  MilkshapeModel model;
  EXPECT_FALSE(Load(model, bytes));
}

TEST(ModelReader, StoresTextureTAsOneMinusTheFilesT) {
  Ms3dFile file = Quad();
  file.triangles[0].t[1] = 0.25f;
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(file)));
  EXPECT_FLOAT_EQ(model.triangles[0].texCoords[1][1], 0.75f);
  EXPECT_FLOAT_EQ(model.triangles[0].texCoords[1][0], 1.0f);
}

TEST(ModelReader, KeepsGroupsWithoutMaterialAndRepeatedTriangles) {
  Ms3dFile file = Quad();
  file.groups[0].material = -1;
  file.groups[0].triangles = {1, 1, 0};
  file.materials.clear();
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(file)));
  EXPECT_EQ(model.groups[0].materialIndex, -1);
  EXPECT_FALSE(model.GroupHasMaterial(model.groups[0]));
  EXPECT_EQ(model.groups[0].triangleCount, 3);
  EXPECT_EQ(model.groups[0].triangleIndices[1], 1);
}

TEST(ModelReader, EveryTruncationIsRefusedAndLeavesTheModelEmpty) {
  const std::vector<uint8_t> bytes = EncodeMs3d(Quad());
  // The file ends with the animation section, which the reader skips.
  const size_t needed = bytes.size() - (4 + 4 + 4 + 2);
  for (size_t length = 0; length < needed; ++length) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(length));
    MilkshapeModel model;
    EXPECT_FALSE(Load(model, cut)) << "length " << length;
    ExpectEmpty(model);
  }
}

TEST(ModelReader, RefusesIndicesOutsideTheirArraysAndPositionsThatAreNoNumber) {
  const std::vector<uint8_t> good = EncodeMs3d(Quad());
  auto refused = [&](size_t offset, std::vector<uint8_t> patch) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(&bytes[offset], patch.data(), patch.size());
    MilkshapeModel model;
    const bool loaded = Load(model, bytes);
    if (!loaded) ExpectEmpty(model);
    return !loaded;
  };
  EXPECT_TRUE(refused(kFirstTriangle + 2, {4, 0})) << "vertex index 4 of 4";
  EXPECT_TRUE(refused(kGroupTriangleCount + 2, {2, 0})) << "triangle index 2 of 2";
  EXPECT_TRUE(refused(kGroupMaterial, {1})) << "material 1 of 1";
  EXPECT_TRUE(refused(kGroupMaterial, {0xFE})) << "material -2";
  EXPECT_TRUE(refused(kGroupTriangleCount, {0xFF, 0xFF})) << "65535 triangles in a group";
  EXPECT_TRUE(refused(kTriangleCount, {0xFF, 0xFF})) << "65535 triangles";
  EXPECT_TRUE(refused(kFirstVertex - 2, {0xFF, 0xFF})) << "65535 vertices";
  EXPECT_TRUE(refused(kGroupCount, {0xFF, 0xFF})) << "65535 groups";
  EXPECT_TRUE(refused(kMaterialCount, {0xFF, 0xFF})) << "65535 materials";
  EXPECT_TRUE(refused(kFirstVertex + 1, {0, 0, 0xC0, 0x7F})) << "a NaN x";
  EXPECT_TRUE(refused(kFirstVertex + 15 + 9, {0, 0, 0x80, 0xFF})) << "an infinite z";
  EXPECT_FALSE(refused(kGroupMaterial, {0xFF})) << "material -1 is allowed";
}

TEST(ModelReader, NamesFillingTheirFieldAreEndedThere) {
  Ms3dFile file = Quad();
  file.materials[0].texture = std::string(128, 'a');
  file.materials[0].alphaMap = std::string(200, 'b');
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(file)));
  EXPECT_EQ(std::strlen(model.materials[0].textureName), 128u);
  EXPECT_EQ(std::strlen(model.materials[0].alphaMapName), 128u);
}

TEST(ModelReader, ReadsAFileWrittenToDiskAndRefusesAMissingOne) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteMs3d(folder.File("quad.sbm"), Quad()));
  MilkshapeModel model;
  ASSERT_TRUE(model.LoadFromFile(folder.File("quad.sbm").c_str()));
  EXPECT_EQ(model.triangleCount, 2);
  MilkshapeModel missing;
  EXPECT_FALSE(missing.LoadFromFile(folder.File("no-such-model.sbm").c_str()));
  ExpectEmpty(missing);
}

TEST(TangentSpace, QuadInTheXyPlaneHasTangentXAndBinormalY) {
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(Quad())));
  model.BuildTangentSpace();
  ASSERT_EQ(model.CornerCount(), 6);
  for (int corner = 0; corner < 6; ++corner) {
    EXPECT_NEAR(model.tangents[corner * 3 + 0], 1, 1e-5) << corner;
    EXPECT_NEAR(model.tangents[corner * 3 + 1], 0, 1e-5);
    EXPECT_NEAR(model.tangents[corner * 3 + 2], 0, 1e-5);
    EXPECT_NEAR(model.binormals[corner * 3 + 0], 0, 1e-5);
    EXPECT_NEAR(model.binormals[corner * 3 + 1], 1, 1e-5);
    EXPECT_NEAR(model.binormals[corner * 3 + 2], 0, 1e-5);
  }
  EXPECT_NEAR(model.triangles[1].tangents[2][0], 1, 1e-5);
  EXPECT_NEAR(model.triangles[1].binormals[2][1], 1, 1e-5);
}

TEST(TangentSpace, TangentsAreMadeOrthogonalToTheCornerNormal) {
  Ms3dFile file = Quad();
  // Tilt the first corner's normal toward +x: its tangent loses that part.
  const float n = 1 / std::sqrt(2.0f);
  file.triangles[0].normals[0][0] = n;
  file.triangles[0].normals[0][2] = n;
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(file)));
  model.BuildTangentSpace();
  const float* t = model.triangles[0].tangents[0];
  EXPECT_NEAR(t[0] * n + t[2] * n, 0, 1e-5);
  EXPECT_NEAR(t[0] * t[0] + t[1] * t[1] + t[2] * t[2], 1, 1e-5);
  EXPECT_NEAR(t[0], n, 1e-5);
  EXPECT_NEAR(t[2], -n, 1e-5);
}

TEST(TangentSpace, SecondSetComesFromTheOtherModelsCoordinates) {
  MilkshapeModel model, other;
  ASSERT_TRUE(Load(model, EncodeMs3d(Quad())));
  Ms3dFile turned = Quad();
  // The other model's s runs with y and t with x: tangent y, binormal x.
  for (auto& tri : turned.triangles)
    for (int k = 0; k < 3; ++k) {
      const float* p = turned.vertices[tri.vertices[k]].position;
      tri.s[k] = p[1];
      tri.t[k] = 1 - p[0];
    }
  ASSERT_TRUE(Load(other, EncodeMs3d(turned)));
  model.CopySecondTexCoords(other);
  model.BuildSecondTangentSpace();
  EXPECT_NEAR(model.secondTangents[1], 1, 1e-5);
  EXPECT_NEAR(model.secondBinormals[0], 1, 1e-5);
  // The draws read the triangles' first-set fields: they now hold the second set.
  EXPECT_NEAR(model.triangles[0].tangents[0][1], 1, 1e-5);
}

TEST(TangentSpace, ModelWithoutGroupsGetsEmptyArrays) {
  Ms3dFile file = Quad();
  file.groups.clear();
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(file)));
  model.BuildTangentSpace();
  EXPECT_EQ(model.CornerCount(), 0);
  EXPECT_NE(model.tangents, nullptr);
}

TEST(ModelData, TransparencyClassesAndFlatArrays) {
  MilkshapeModel model;
  ASSERT_TRUE(Load(model, EncodeMs3d(Quad())));
  model.ClassifyTrianglesByTransparency();
  EXPECT_EQ(model.triangles[0].triangleClass, 2);  // transparency 0.5
  model.BuildVertexArrays();
  EXPECT_EQ(model.flatCount, 6);
  EXPECT_EQ(model.groupCount, 0);
  EXPECT_FLOAT_EQ(model.positions[2 * 3 + 0], 1);  // corner 2 of triangle 0 is (1, 1, 0)
  EXPECT_FLOAT_EQ(model.texCoords[2 * 2 + 1], 1);
}
