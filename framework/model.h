// Triangle models read from MilkShape 3D binary files (.sbm): groups of
// triangles with materials, the tangent space for normal mapping, and the
// immediate-mode draws the renderer chooses from.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/vector_math.h"

struct ModelVertex {
  int8_t boneId = -1;
  float position[3] = {0, 0, 0};
};

struct ModelTriangle {
  float normals[3][3];          // one per corner, from the file
  float texCoords[3][2];        // (s, t) per corner; t is 1 - the file's t (GL's orientation)
  float secondTexCoords[3][2];  // copied from another model (CopySecondTexCoords)
  int32_t vertexIndices[3];     // < vertexCount, checked by the reader
  int32_t triangleClass;        // transparency class 0..3
  float tangents[3][3];         // per corner; what the tangent draws send
  float binormals[3][3];
  float secondTangents[3][3];   // first-pass results of the second set
  float secondBinormals[3][3];
};

struct ModelGroup {
  int32_t materialIndex = -1;  // -1: none; else < materialCount
  int32_t triangleCount = 0;
  int32_t* triangleIndices = nullptr;  // owned; each < triangleCount of the model
};

struct ModelMaterial {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float emissive[4];  // red selects the landscape pair of the terrain pass
  float shininess;
  float transparency;
  uint32_t textureId;   // GL name, 0 = none
  uint32_t alphaMapId;  // GL name of the second (normal-map) texture, 0 = none
  char* textureName;    // owned, zero-terminated, may be empty
  char* alphaMapName;   // owned, zero-terminated, may be empty
};

// Display lists a model holds per group once BuildDrawLists ran: the plain
// corners, then the tangent corners.
inline constexpr int kDrawListsPerGroup = 2;

// Uniform locations of the program in use that a group draw sets per
// group; -1 sets nothing.
struct GroupLightUniforms {
  int lightNow = -1;    // how brightly the group glows
  int refInt = -1;      // the share of the reflection
  int glassAlpha = -1;  // the glass pass's alpha
};

class Model {
 public:
  Model() = default;
  virtual ~Model();
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;

  // Reads the file into this model; on failure the model is left empty.
  virtual bool LoadFromFile(const char* path) = 0;

  // GL textures for every material: folder (ending in '/') + file name; a
  // name containing ".tga" (case-sensitive) is read as TGA, any other as BMP.
  void LoadMaterialTextures(const char* folder);
  // Tangents and binormals per corner from the first texture set.
  void BuildTangentSpace();
  // The first texture set of `other` (same triangles) as this model's second set.
  void CopySecondTexCoords(const Model& other);
  // Tangents and binormals from the second set (into the triangles' draw fields).
  void BuildSecondTangentSpace();
  void ClassifyTrianglesByTransparency();
  // Flattens the grouped triangles into positions/normals/texCoords and
  // frees the groups, triangles and vertices (and the draw lists).
  void BuildVertexArrays();
  // Compiles every group's batch into GL display lists, once with the plain
  // and once with the tangent corners, so that a drawn frame calls a list
  // where it would send each corner. For a model drawn every frame, once its
  // tangent space is built, with a context current that shares its lists
  // with the drawing one (the loader's). Without a current context it makes
  // none and the draws keep sending the corners.
  void BuildDrawLists();
  // Gives the draw lists back (the draws send the corners again).
  void FreeDrawLists();
  // BuildDrawLists for a model drawn from nothing but its lists: once they
  // are made, its triangles and vertices are given back (ReleaseTriangles).
  // Without lists it keeps them for the draws to send.
  void BuildDrawListsAndReleaseTriangles();

  // Frees the triangles, the vertices and the per-corner arrays made from
  // them but keeps the groups (with their triangle counts) and the
  // materials with their textures: for a model drawn from copies of its
  // triangles held elsewhere or from its lists. Without lists such a model
  // draws nothing.
  void ReleaseTriangles();

  // Draws, group by group, one GL_TRIANGLES batch each (from the draw lists when built).
  void Draw() const;
  void DrawWithTexture(uint32_t textureId) const;
  void DrawNormalMapped() const;
  // textureId -1 (or kNoTexture) keeps each material's own texture.
  void DrawNormalMappedOverride(int textureId) const;
  void DrawTangentGeometry() const;
  // Each group with its light in the given uniforms of the program in use:
  // a, b and c for groups 0..2 (the lamp groups), then 0 in the lit form and
  // 1 in the map form.
  void DrawNormalMappedGroupUniform(float a, float b, float c, const GroupLightUniforms& uniforms) const;
  void DrawGroupUniform(float a, float b, float c, int lightNowUniform) const;
  void DrawVertexArrays(int textureId) const;

  // True when the group's material index names a material of this model.
  bool GroupHasMaterial(const ModelGroup& group) const {
    return group.materialIndex >= 0 && group.materialIndex < materialCount;
  }
  // Corners of all grouped triangles: the length of the per-corner arrays.
  int CornerCount() const;

  float* positions = nullptr;  // 3 floats per corner (BuildVertexArrays)
  float* normals = nullptr;
  float* texCoords = nullptr;  // 2 floats per corner
  float* tangents = nullptr;   // 3 floats per corner, in group-by-group order
  float* binormals = nullptr;
  float* secondTangents = nullptr;
  float* secondBinormals = nullptr;
  int32_t flatCount = 0;
  uint32_t drawLists = 0;  // first of kDrawListsPerGroup x groupCount lists, set by set; 0: none
  int32_t groupCount = 0;
  ModelGroup* groups = nullptr;
  int32_t materialCount = 0;
  ModelMaterial* materials = nullptr;
  int32_t triangleCount = 0;
  ModelTriangle* triangles = nullptr;
  int32_t vertexCount = 0;
  ModelVertex* vertices = nullptr;

 protected:
  // Frees everything the model holds, GL textures included.
  void Clear();

 private:
  void FreeGeometry();
  void FreeCornerArrays();
  void BuildTangentsFrom(bool secondSet);
};

// The MilkShape 3D binary reader (versions 3 and 4).
class MilkshapeModel : public Model {
 public:
  bool LoadFromFile(const char* path) override;
  // The same from bytes in memory (the tests feed it broken files). A file
  // that is not a model, whose counts or indices run past the file or their
  // tables, or with a vertex position that is not a finite number, is
  // refused: the model is left empty and `fault`, when given, says why
  // (LoadFromFile prints it after the file's name).
  bool LoadFromBytes(const uint8_t* data, size_t size, const char** fault = nullptr);
};

// b with its component along the unit vector a removed, normalised.
Vector3 OrthogonalDirection(Vector3 a, Vector3 b);
// The point of the segment a..b nearest to p.
Vector3 ClosestPointOnSegment(Vector3 a, Vector3 b, Vector3 p);
