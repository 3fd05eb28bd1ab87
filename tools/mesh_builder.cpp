#include "tools/mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <utility>

void MeshBuilder::Triangle(const Vector3 p[3], const Vector3 n[3], const float st[3][2]) {
  Ms3dTriangle tri;
  for (int k = 0; k < 3; ++k) {
    const Vector3 q = placement_.TransformPoint(p[k].x, p[k].y, p[k].z);
    Vector3 m = placement_.TransformDirection(n[k].x, n[k].y, n[k].z);
    m.Normalize();
    tri.vertices[k] = uint16_t(file_->vertices.size());
    file_->vertices.push_back({{q.x, q.y, q.z}, -1});
    tri.normals[k][0] = m.x;
    tri.normals[k][1] = m.y;
    tri.normals[k][2] = m.z;
    tri.s[k] = st[k][0];
    tri.t[k] = 1.0f - st[k][1];  // the file counts t down from the top
  }
  tri.groupIndex = uint8_t(file_->groups.size() - 1);
  file_->groups.back().triangles.push_back(uint16_t(file_->triangles.size()));
  file_->triangles.push_back(tri);
}

void MeshBuilder::Quad(const Vector3 p[4], const Vector3 n[4], const float st[4][2]) {
  const Vector3 p0[3] = {p[0], p[1], p[2]}, n0[3] = {n[0], n[1], n[2]};
  const float s0[3][2] = {{st[0][0], st[0][1]}, {st[1][0], st[1][1]}, {st[2][0], st[2][1]}};
  Triangle(p0, n0, s0);
  const Vector3 p1[3] = {p[0], p[2], p[3]}, n1[3] = {n[0], n[2], n[3]};
  const float s1[3][2] = {{st[0][0], st[0][1]}, {st[2][0], st[2][1]}, {st[3][0], st[3][1]}};
  Triangle(p1, n1, s1);
}

void MeshBuilder::TubeSide(float radius, float z0, float z1, int segments, bool inward) {
  for (int i = 0; i < segments; ++i) {
    const float a0 = 2 * NE_PI * i / segments, a1 = 2 * NE_PI * (i + 1) / segments;
    const Vector3 r0(std::cos(a0), std::sin(a0), 0), r1(std::cos(a1), std::sin(a1), 0);
    const float s0 = float(i) / segments, s1 = float(i + 1) / segments;
    Vector3 p[4] = {r0 * radius + Vector3(0, 0, z0), r1 * radius + Vector3(0, 0, z0),
                    r1 * radius + Vector3(0, 0, z1), r0 * radius + Vector3(0, 0, z1)};
    Vector3 n[4] = {r0, r1, r1, r0};
    float st[4][2] = {{s0, 0}, {s1, 0}, {s1, 1}, {s0, 1}};
    if (inward) {
      std::swap(p[1], p[3]);
      n[0] = r0.Negate();
      n[1] = r0.Negate();
      n[2] = r1.Negate();
      n[3] = r1.Negate();
      st[1][0] = s0;
      st[1][1] = 1;
      st[3][0] = s1;
      st[3][1] = 0;
    }
    Quad(p, n, st);
  }
}

void MeshBuilder::Ring(float inner, float outer, float z, bool facesUp, int segments) {
  const Vector3 normal(0, 0, facesUp ? 1.0f : -1.0f);
  for (int i = 0; i < segments; ++i) {
    const float a0 = 2 * NE_PI * i / segments, a1 = 2 * NE_PI * (i + 1) / segments;
    const Vector3 r0(std::cos(a0), std::sin(a0), 0), r1(std::cos(a1), std::sin(a1), 0);
    auto st = [outer](const Vector3& p, float* out) {
      out[0] = 0.5f + 0.5f * p.x / outer;
      out[1] = 0.5f + 0.5f * p.y / outer;
    };
    const Vector3 z3(0, 0, z);
    if (inner <= 0) {
      Vector3 p[3] = {z3, r0 * outer + z3, r1 * outer + z3};
      if (!facesUp) std::swap(p[1], p[2]);
      const Vector3 n[3] = {normal, normal, normal};
      float uv[3][2];
      for (int k = 0; k < 3; ++k) st(p[k], uv[k]);
      Triangle(p, n, uv);
      continue;
    }
    Vector3 p[4] = {r0 * inner + z3, r0 * outer + z3, r1 * outer + z3, r1 * inner + z3};
    if (!facesUp) std::swap(p[1], p[3]);
    const Vector3 n[4] = {normal, normal, normal, normal};
    float uv[4][2];
    for (int k = 0; k < 4; ++k) st(p[k], uv[k]);
    Quad(p, n, uv);
  }
}

void MeshBuilder::Cylinder(float radius, float z0, float z1, int segments) {
  TubeSide(radius, z0, z1, segments);
  Ring(0, radius, z1, true, segments);
  Ring(0, radius, z0, false, segments);
}

void MeshBuilder::ThickRing(float inner, float outer, float z0, float z1, int segments) {
  TubeSide(outer, z0, z1, segments);
  TubeSide(inner, z0, z1, segments, true);
  Ring(inner, outer, z1, true, segments);
  Ring(inner, outer, z0, false, segments);
}

void MeshBuilder::Box(const Vector3& lo, const Vector3& hi) {
  const Vector3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                        {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                        {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
  const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                           {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
  const Vector3 normals[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
  const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int f = 0; f < 6; ++f) {
    const Vector3 p[4] = {c[faces[f][0]], c[faces[f][1]], c[faces[f][2]], c[faces[f][3]]};
    const Vector3 n[4] = {normals[f], normals[f], normals[f], normals[f]};
    Quad(p, n, st);
  }
}

// Ten steps a turn keep a spring round at the distances a truck is seen
// from; each of the four struts a truck carries is otherwise its heaviest
// model.
constexpr int kCoilStepsPerTurn = 10;

void MeshBuilder::Coil(float radius, float wire, float z0, float z1, float turns, int sides) {
  const int steps = int(turns * kCoilStepsPerTurn);
  auto frame = [&](int i, Vector3* centre, Vector3* out, Vector3* along) {
    const float f = float(i) / steps, a = 2 * NE_PI * turns * f;
    *centre = Vector3(radius * std::cos(a), radius * std::sin(a), z0 + (z1 - z0) * f);
    *out = Vector3(std::cos(a), std::sin(a), 0);
    *along = Vector3(0, 0, 1);
  };
  for (int i = 0; i < steps; ++i) {
    Vector3 c0, o0, z0v, c1, o1, z1v;
    frame(i, &c0, &o0, &z0v);
    frame(i + 1, &c1, &o1, &z1v);
    for (int j = 0; j < sides; ++j) {
      const float b0 = 2 * NE_PI * j / sides, b1 = 2 * NE_PI * (j + 1) / sides;
      const Vector3 d00 = o0 * std::cos(b0) + z0v * std::sin(b0);
      const Vector3 d01 = o0 * std::cos(b1) + z0v * std::sin(b1);
      const Vector3 d10 = o1 * std::cos(b0) + z1v * std::sin(b0);
      const Vector3 d11 = o1 * std::cos(b1) + z1v * std::sin(b1);
      const Vector3 p[4] = {c0 + d00 * wire, c1 + d10 * wire, c1 + d11 * wire, c0 + d01 * wire};
      const Vector3 n[4] = {d00, d10, d11, d01};
      const float s0 = float(i) / steps, s1 = float(i + 1) / steps;
      const float t0 = float(j) / sides, t1 = float(j + 1) / sides;
      const float st[4][2] = {{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}};
      Quad(p, n, st);
    }
  }
}

Matrix4 Place(const Vector3& at, float degreesAboutY, float degreesAboutX) {
  Matrix4 move, turnY, turnX;
  move.SetTranslation(at);
  turnY.SetRotationY(degreesAboutY);
  turnX.SetRotationX(degreesAboutX);
  return move * turnY * turnX;
}

void AtlasCoord(const AtlasLayout& atlas, int cell, float u, float v, float st[2]) {
  const int cellSide = atlas.side / atlas.cellsPerRow;
  const float inner = float(cellSide - 2 * atlas.margin) / float(atlas.side);
  st[0] = float((cell % atlas.cellsPerRow) * cellSide + atlas.margin) / float(atlas.side) + std::clamp(u, 0.0f, 1.0f) * inner;
  st[1] = float((cell / atlas.cellsPerRow) * cellSide + atlas.margin) / float(atlas.side) + std::clamp(v, 0.0f, 1.0f) * inner;
}

void MoveIntoCell(Ms3dFile* file, size_t first, const AtlasLayout& atlas, int cell) {
  for (size_t i = first; i < file->triangles.size(); ++i) {
    Ms3dTriangle& tri = file->triangles[i];
    for (int k = 0; k < 3; ++k) {
      float st[2];
      AtlasCoord(atlas, cell, tri.s[k], 1.0f - tri.t[k], st);  // the file counts t down
      tri.s[k] = st[0];
      tri.t[k] = 1.0f - st[1];
    }
  }
}
