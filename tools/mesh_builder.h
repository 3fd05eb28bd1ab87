// Builds the triangles of a MilkShape model from solids (boxes, tubes,
// rings, coils) and free quads, for the generator's models. Every corner
// gets its own vertex, so normals and texture coordinates can differ per
// corner. Units are the game's; texture coordinates are given in GL's
// orientation (t up) and stored as the file wants them.
#pragma once

#include "framework/vector_math.h"
#include "tools/ms3d_writer.h"


class MeshBuilder {
 public:
  // Adds to the last group of `file`, which must have one.
  explicit MeshBuilder(Ms3dFile* file) : file_(file) {}

  // Transform applied to what is added next (positions and normals).
  void SetPlacement(const Matrix4& placement) { placement_ = placement; }

  // One triangle; normals need not be unit.
  void Triangle(const Vector3 p[3], const Vector3 n[3], const float st[3][2]);
  // A quad a-b-c-d (counter-clockwise seen from outside) as two triangles.
  void Quad(const Vector3 p[4], const Vector3 n[4], const float st[4][2]);
  // Side of a tube about the z axis from z0 to z1; outward normals, or
  // inward ones for the inside of a ring.
  void TubeSide(float radius, float z0, float z1, int segments, bool inward = false);
  // A flat ring (or a disc when inner is 0) at height z facing +z or -z.
  void Ring(float inner, float outer, float z, bool facesUp, int segments);
  // A closed cylinder about z.
  void Cylinder(float radius, float z0, float z1, int segments);
  // A ring-shaped solid: outer and inner sides, both faces.
  void ThickRing(float inner, float outer, float z0, float z1, int segments);
  // An axis-aligned box between two corners.
  void Box(const Vector3& lo, const Vector3& hi);
  // A coil: a tube of radius `wire` swept along a helix about z.
  void Coil(float radius, float wire, float z0, float z1, float turns, int sides);

 private:
  Ms3dFile* file_;
  Matrix4 placement_;
};

// A placement: move to `at`, turn about y, then about x (degrees).
Matrix4 Place(const Vector3& at, float degreesAboutY = 0, float degreesAboutX = 0);

// An atlas of square cells, cellsPerRow × cellsPerRow, each picture kept
// `margin` pixels inside its cell.
struct AtlasLayout {
  int side;         // pixels
  int cellsPerRow;
  int margin;       // pixels
};

// Texture coordinate (GL orientation) of the fraction (u, v) of a cell's picture.
void AtlasCoord(const AtlasLayout& atlas, int cell, float u, float v, float st[2]);
// Remaps the texture coordinates of the triangles added since `first`
// (made by the solid builders over the whole 0..1 square) into one cell.
void MoveIntoCell(Ms3dFile* file, size_t first, const AtlasLayout& atlas, int cell);

// A part built by build(MeshBuilder&) over the whole 0..1 square of its
// texture, under `placement`, then moved into one cell of the atlas.
template <typename Build>
void BuildInCell(Ms3dFile* file, const AtlasLayout& atlas, int cell, const Matrix4& placement, Build build) {
  MeshBuilder mesh(file);
  const size_t first = file->triangles.size();
  mesh.SetPlacement(placement);
  build(mesh);
  MoveIntoCell(file, first, atlas, cell);
}
