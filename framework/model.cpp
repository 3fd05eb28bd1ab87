#include "framework/model.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gl.h"

#include "framework/binary_file.h"
#include "framework/texture.h"

namespace {

// MilkShape 3D binary layout, as stored (packed, little-endian).
constexpr char kMs3dId[10] = {'M', 'S', '3', 'D', '0', '0', '0', '0', '0', '0'};
constexpr size_t kVertexRecordSize = 15;     // flags, x y z, bone, references
constexpr size_t kTriangleRecordSize = 70;   // flags, 3 indices, normals, s, t, smoothing, group
constexpr size_t kMaterialRecordSize = 361;  // name, 4 colours, shininess, transparency, mode, 2 names
constexpr size_t kGroupNameSize = 32;
constexpr size_t kMinGroupRecordSize = 1 + kGroupNameSize + 2 + 1;  // no triangles
constexpr size_t kMaterialNameSize = 32;
constexpr size_t kMaterialFileNameSize = 128;

char* CopyName(const std::string& name) {
  char* copy = new char[name.size() + 1];
  std::memcpy(copy, name.c_str(), name.size() + 1);
  return copy;
}

bool ReadVertices(ByteCursor& in, Model& model) {
  const int count = in.U16();
  if (!in.Has(size_t(count) * kVertexRecordSize)) return false;
  model.vertices = new ModelVertex[count];
  model.vertexCount = count;
  for (int i = 0; i < count; ++i) {
    in.Skip(1);  // editor flags
    for (float& p : model.vertices[i].position) p = in.F32();
    model.vertices[i].boneId = in.I8();
    in.Skip(1);  // reference count
  }
  return in.Ok();
}

bool ReadTriangles(ByteCursor& in, Model& model) {
  const int count = in.U16();
  if (!in.Has(size_t(count) * kTriangleRecordSize)) return false;
  model.triangles = new ModelTriangle[count]();
  model.triangleCount = count;
  for (int i = 0; i < count; ++i) {
    ModelTriangle& tri = model.triangles[i];
    in.Skip(2);  // editor flags
    for (int32_t& index : tri.vertexIndices) {
      index = in.U16();
      if (index >= model.vertexCount) return false;
    }
    for (auto& normal : tri.normals)
      for (float& n : normal) n = in.F32();
    for (auto& st : tri.texCoords) st[0] = in.F32();
    for (auto& st : tri.texCoords) st[1] = 1.0f - in.F32();
    in.Skip(2);  // smoothing group, group index
  }
  return in.Ok();
}

bool ReadGroups(ByteCursor& in, Model& model) {
  const int count = in.U16();
  if (!in.Has(size_t(count) * kMinGroupRecordSize)) return false;
  model.groups = new ModelGroup[count];
  model.groupCount = count;
  for (int i = 0; i < count; ++i) {
    ModelGroup& group = model.groups[i];
    in.Skip(1 + kGroupNameSize);  // flags, name
    const int triangles = in.U16();
    if (!in.Has(size_t(triangles) * 2 + 1)) return false;
    group.triangleIndices = new int32_t[triangles];
    group.triangleCount = triangles;
    for (int k = 0; k < triangles; ++k) {
      group.triangleIndices[k] = in.U16();
      if (group.triangleIndices[k] >= model.triangleCount) return false;
    }
    group.materialIndex = in.I8();
  }
  return in.Ok();
}

bool ReadMaterials(ByteCursor& in, Model& model) {
  const int count = in.U16();
  if (!in.Has(size_t(count) * kMaterialRecordSize)) return false;
  model.materials = new ModelMaterial[count]();
  model.materialCount = count;
  for (int i = 0; i < count; ++i) {
    ModelMaterial& material = model.materials[i];
    in.Skip(kMaterialNameSize);
    for (float& v : material.ambient) v = in.F32();
    for (float& v : material.diffuse) v = in.F32();
    for (float& v : material.specular) v = in.F32();
    for (float& v : material.emissive) v = in.F32();
    material.shininess = in.F32();
    material.transparency = in.F32();
    in.Skip(1);  // mode
    material.textureName = CopyName(in.FixedString(kMaterialFileNameSize));
    material.alphaMapName = CopyName(in.FixedString(kMaterialFileNameSize));
  }
  return in.Ok();
}

// Positions become bodies, the physics ground and placements, where a
// value that is not a finite number would spread: none may be one.
bool PositionsFinite(const Model& model) {
  for (int i = 0; i < model.vertexCount; ++i)
    if (!AllFinite(model.vertices[i].position, 3)) return false;
  return true;
}

// Every group's material index is -1 (none) or names a material.
bool GroupMaterialsValid(const Model& model) {
  for (int i = 0; i < model.groupCount; ++i) {
    const int index = model.groups[i].materialIndex;
    if (index < -1 || index >= model.materialCount) return false;
  }
  return true;
}

uint32_t LoadMaterialTexture(const std::string& folder, const char* name) {
  if (name == nullptr || name[0] == '\0') return 0;
  const std::string path = folder + name;
  const bool compress = gTextureCompression != 0;
  if (std::strstr(name, ".tga") != nullptr) return CreateTextureFromTGA(path.c_str(), compress);
  return CreateTextureFromBMP(path.c_str(), compress);
}

Vector3 Corner(const float v[3]) { return {v[0], v[1], v[2]}; }

void StoreCorner(float out[3], const Vector3& v) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

}  // namespace

Model::~Model() { Clear(); }

void Model::FreeDrawLists() {
  if (drawLists != 0) glDeleteLists(drawLists, kDrawListsPerGroup * groupCount);
  drawLists = 0;
}

void Model::FreeGeometry() {
  FreeDrawLists();
  for (int i = 0; i < groupCount; ++i) delete[] groups[i].triangleIndices;
  delete[] groups;
  delete[] triangles;
  delete[] vertices;
  groups = nullptr;
  triangles = nullptr;
  vertices = nullptr;
  groupCount = triangleCount = vertexCount = 0;
}

void Model::FreeCornerArrays() {
  for (float** array : {&positions, &normals, &texCoords, &tangents, &binormals, &secondTangents,
                        &secondBinormals}) {
    delete[] *array;
    *array = nullptr;
  }
  flatCount = 0;
}

void Model::ReleaseTriangles() {
  delete[] triangles;
  delete[] vertices;
  triangles = nullptr;
  vertices = nullptr;
  triangleCount = vertexCount = 0;
  FreeCornerArrays();
}

void Model::Clear() {
  bool deletedTextures = false;
  for (int i = 0; i < materialCount; ++i) {
    ModelMaterial& material = materials[i];
    if (material.textureId != 0) glDeleteTextures(1, &material.textureId);
    if (material.alphaMapId != 0) glDeleteTextures(1, &material.alphaMapId);
    deletedTextures |= material.textureId != 0 || material.alphaMapId != 0;
    delete[] material.textureName;
    delete[] material.alphaMapName;
  }
  if (deletedTextures) glFinish();
  delete[] materials;
  materials = nullptr;
  materialCount = 0;
  FreeGeometry();
  FreeCornerArrays();
}

int Model::CornerCount() const {
  int corners = 0;
  for (int g = 0; g < groupCount; ++g) corners += 3 * groups[g].triangleCount;
  return corners;
}

bool MilkshapeModel::LoadFromFile(const char* path) {
  Clear();
  std::vector<uint8_t> file;
  if (!ReadAssetFile(path, &file)) return false;
  const char* fault = nullptr;
  if (LoadFromBytes(file.data(), file.size(), &fault)) return true;
  std::fprintf(stderr, "%s: %s; the model stays empty\n", path, fault);
  return false;
}

bool MilkshapeModel::LoadFromBytes(const uint8_t* data, size_t size, const char** fault) {
  Clear();
  ByteCursor in(data, size);
  char id[sizeof kMs3dId];
  in.Bytes(id, sizeof id);
  const int32_t version = in.I32();
  const char* why = nullptr;
  if (!in.Ok() || std::memcmp(id, kMs3dId, sizeof id) != 0 || (version != 3 && version != 4))
    why = "not a MilkShape 3D file of version 3 or 4";
  else if (!(ReadVertices(in, *this) && ReadTriangles(in, *this) && ReadGroups(in, *this) &&
             ReadMaterials(in, *this) && GroupMaterialsValid(*this)))
    why = "a count or an index runs past the file or its table";
  else if (!PositionsFinite(*this))
    why = "a vertex position is not a finite number";
  if (why) Clear();
  if (fault) *fault = why;
  return why == nullptr;
}

void Model::LoadMaterialTextures(const char* folder) {
  const std::string base = folder ? folder : "";
  for (int i = 0; i < materialCount; ++i) {
    materials[i].textureId = LoadMaterialTexture(base, materials[i].textureName);
    materials[i].alphaMapId = LoadMaterialTexture(base, materials[i].alphaMapName);
  }
}

Vector3 ClosestPointOnSegment(Vector3 a, Vector3 b, Vector3 p) {
  Vector3 d = b - a;
  const float length = d.Length();
  d.Normalize();
  const float u = DotProduct(d, p - a);
  if (u < 0) return a;
  if (u > length) return b;
  return a + d * u;
}

Vector3 OrthogonalDirection(Vector3 a, Vector3 b) {
  Vector3 r = b - ClosestPointOnSegment(a, a.Negate(), b);
  r.Normalize();
  return r;
}

void Model::BuildTangentsFrom(bool secondSet) {
  const int corners = CornerCount();
  float*& outTangents = secondSet ? secondTangents : tangents;
  float*& outBinormals = secondSet ? secondBinormals : binormals;
  delete[] outTangents;
  delete[] outBinormals;
  outTangents = new float[size_t(corners) * 3]();
  outBinormals = new float[size_t(corners) * 3]();

  // First pass: one tangent and binormal per triangle from its positions
  // and texture coordinates, solved axis by axis.
  int corner = 0;
  for (int g = 0; g < groupCount; ++g) {
    for (int i = 0; i < groups[g].triangleCount; ++i) {
      ModelTriangle& tri = triangles[groups[g].triangleIndices[i]];
      const float(*st)[2] = secondSet ? tri.secondTexCoords : tri.texCoords;
      const float* p0 = vertices[tri.vertexIndices[0]].position;
      const float* p1 = vertices[tri.vertexIndices[1]].position;
      const float* p2 = vertices[tri.vertexIndices[2]].position;
      float tangent[3], binormal[3];
      for (int a = 0; a < 3; ++a) {
        const Vector3 e1(p1[a] - p0[a], st[1][0] - st[0][0], st[1][1] - st[0][1]);
        const Vector3 e2(p2[a] - p0[a], st[2][0] - st[0][0], st[2][1] - st[0][1]);
        const Vector3 q = CrossProduct(e1, e2);
        tangent[a] = -q.y / q.x;
        binormal[a] = -q.z / q.x;
      }
      Vector3 t = Corner(tangent), b = Corner(binormal);
      t.Normalize();
      b.Normalize();
      float(*triTangents)[3] = secondSet ? tri.secondTangents : tri.tangents;
      float(*triBinormals)[3] = secondSet ? tri.secondBinormals : tri.binormals;
      for (int k = 0; k < 3; ++k, ++corner) {
        StoreCorner(triTangents[k], t);
        StoreCorner(triBinormals[k], b);
        StoreCorner(&outTangents[corner * 3], t);
        StoreCorner(&outBinormals[corner * 3], b);
      }
    }
  }

  // Second pass: per corner, remove the part along the corner's normal. The
  // results go where the draws read them: the triangles' first-set fields.
  corner = 0;
  for (int g = 0; g < groupCount; ++g) {
    for (int i = 0; i < groups[g].triangleCount; ++i) {
      ModelTriangle& tri = triangles[groups[g].triangleIndices[i]];
      float(*triTangents)[3] = secondSet ? tri.secondTangents : tri.tangents;
      float(*triBinormals)[3] = secondSet ? tri.secondBinormals : tri.binormals;
      for (int k = 0; k < 3; ++k, ++corner) {
        const Vector3 n = Corner(tri.normals[k]);
        Vector3 t = OrthogonalDirection(n, Corner(triTangents[k]));
        Vector3 b = OrthogonalDirection(n, Corner(triBinormals[k]));
        t.Normalize();
        b.Normalize();
        StoreCorner(tri.tangents[k], t);
        StoreCorner(tri.binormals[k], b);
        StoreCorner(&outTangents[corner * 3], t);
        StoreCorner(&outBinormals[corner * 3], b);
      }
    }
  }
}

void Model::BuildTangentSpace() { BuildTangentsFrom(false); }

void Model::BuildSecondTangentSpace() { BuildTangentsFrom(true); }

void Model::CopySecondTexCoords(const Model& other) {
  for (int g = 0; g < groupCount; ++g) {
    for (int i = 0; i < groups[g].triangleCount; ++i) {
      const int j = groups[g].triangleIndices[i];
      if (j >= other.triangleCount) continue;  // the other model is shorter: keep what is there
      std::memcpy(triangles[j].secondTexCoords, other.triangles[j].texCoords,
                  sizeof triangles[j].secondTexCoords);
    }
  }
}

void Model::ClassifyTrianglesByTransparency() {
  for (int g = 0; g < groupCount; ++g) {
    if (!GroupHasMaterial(groups[g])) continue;
    const float t = materials[groups[g].materialIndex].transparency;
    int triangleClass = 0;
    if (t >= 0.1f && t < 0.333f) triangleClass = 1;
    else if (t >= 0.333f && t < 0.666f) triangleClass = 2;
    else if (t >= 0.666f && t <= 1.0f) triangleClass = 3;
    for (int i = 0; i < groups[g].triangleCount; ++i)
      triangles[groups[g].triangleIndices[i]].triangleClass = triangleClass;
  }
}

void Model::BuildVertexArrays() {
  const int corners = CornerCount();
  delete[] positions;
  delete[] normals;
  delete[] texCoords;
  positions = new float[size_t(corners) * 3];
  normals = new float[size_t(corners) * 3];
  texCoords = new float[size_t(corners) * 2];
  int corner = 0;
  for (int g = 0; g < groupCount; ++g) {
    for (int i = 0; i < groups[g].triangleCount; ++i) {
      const ModelTriangle& tri = triangles[groups[g].triangleIndices[i]];
      for (int k = 0; k < 3; ++k, ++corner) {
        std::memcpy(&positions[corner * 3], vertices[tri.vertexIndices[k]].position, 3 * sizeof(float));
        std::memcpy(&normals[corner * 3], tri.normals[k], 3 * sizeof(float));
        std::memcpy(&texCoords[corner * 2], tri.texCoords[k], 2 * sizeof(float));
      }
    }
  }
  flatCount = corner;
  FreeGeometry();
}
