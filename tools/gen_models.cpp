#include "tools/gen_models.h"

#include <cmath>
#include <vector>

#include "framework/vector_math.h"
#include "tools/gen_images.h"

namespace {

constexpr int kPartTextureSide = 128;

// Builds one group of triangles; every corner gets its own vertex, so
// normals and texture coordinates can differ per corner.
class MeshBuilder {
 public:
  explicit MeshBuilder(Ms3dFile* file) : file_(file) {}

  // Transform applied to what is added next (positions and normals).
  void SetPlacement(const Matrix4& placement) { placement_ = placement; }

  // One triangle; st in GL's orientation (t up), normals need not be unit.
  void Triangle(const Vector3 p[3], const Vector3 n[3], const float st[3][2]) {
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

  // A quad a-b-c-d (counter-clockwise seen from outside) as two triangles.
  void Quad(const Vector3 p[4], const Vector3 n[4], const float st[4][2]) {
    const Vector3 p0[3] = {p[0], p[1], p[2]}, n0[3] = {n[0], n[1], n[2]};
    const float s0[3][2] = {{st[0][0], st[0][1]}, {st[1][0], st[1][1]}, {st[2][0], st[2][1]}};
    Triangle(p0, n0, s0);
    const Vector3 p1[3] = {p[0], p[2], p[3]}, n1[3] = {n[0], n[2], n[3]};
    const float s1[3][2] = {{st[0][0], st[0][1]}, {st[2][0], st[2][1]}, {st[3][0], st[3][1]}};
    Triangle(p1, n1, s1);
  }

  // Side of a tube about the z axis from z0 to z1; outward normals, or
  // inward ones for the inside of a ring.
  void TubeSide(float radius, float z0, float z1, int segments, bool inward = false) {
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

  // A flat ring (or a disc when inner is 0) at height z facing +z or -z.
  void Ring(float inner, float outer, float z, bool facesUp, int segments) {
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

  // A closed cylinder about z.
  void Cylinder(float radius, float z0, float z1, int segments) {
    TubeSide(radius, z0, z1, segments);
    Ring(0, radius, z1, true, segments);
    Ring(0, radius, z0, false, segments);
  }

  // A ring-shaped solid: outer and inner sides, both faces.
  void ThickRing(float inner, float outer, float z0, float z1, int segments) {
    TubeSide(outer, z0, z1, segments);
    TubeSide(inner, z0, z1, segments, true);
    Ring(inner, outer, z1, true, segments);
    Ring(inner, outer, z0, false, segments);
  }

  // An axis-aligned box between two corners.
  void Box(const Vector3& lo, const Vector3& hi) {
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

  // A coil: a tube of radius `wire` swept along a helix about z.
  void Coil(float radius, float wire, float z0, float z1, float turns, int sides) {
    const int steps = int(turns * 16);
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

 private:
  Ms3dFile* file_;
  Matrix4 placement_;
};

void StartModel(Ms3dFile* file, const std::string& stem) {
  file->groups.push_back({stem, {}, 0});
  Ms3dMaterial material;
  material.name = stem;
  material.texture = stem + ".tga";
  material.alphaMap = stem + "_n.tga";
  material.shininess = 32;
  material.specular[0] = material.specular[1] = material.specular[2] = 0.5f;
  file->materials.push_back(material);
}

Matrix4 Place(const Vector3& at, float degreesAboutY = 0, float degreesAboutX = 0) {
  Matrix4 move, turnY, turnX;
  move.SetTranslation(at);
  turnY.SetRotationY(degreesAboutY);
  turnX.SetRotationX(degreesAboutX);
  return move * turnY * turnX;
}

// Wheel support: an upright with ball-joint bosses and the hub it carries.
void BuildSupport(MeshBuilder& mesh) {
  mesh.Box({-0.05f, -0.16f, -0.03f}, {0.05f, 0.16f, 0.03f});
  mesh.SetPlacement(Place({0, 0.17f, 0}, 0, 90));
  mesh.Cylinder(0.035f, -0.03f, 0.03f, 10);
  mesh.SetPlacement(Place({0, -0.17f, 0}, 0, 90));
  mesh.Cylinder(0.035f, -0.03f, 0.03f, 10);
  mesh.SetPlacement(Place({0, 0, 0}));
  mesh.Cylinder(0.07f, 0.03f, 0.12f, 16);   // hub
  mesh.ThickRing(0.07f, 0.1f, 0.03f, 0.05f, 16);  // hub flange
}

// Brake disc: a ventilated ring on a hat, with a calliper on top.
void BuildBrakeDisk(MeshBuilder& mesh) {
  mesh.ThickRing(0.09f, 0.17f, -0.012f, 0.012f, 24);
  mesh.ThickRing(0.05f, 0.09f, 0.0f, 0.04f, 16);  // hat
  mesh.SetPlacement(Place({0, 0.15f, 0}));
  mesh.Box({-0.06f, -0.03f, -0.035f}, {0.06f, 0.04f, 0.035f});
}

// Suspension strut: damper body, piston rod, mounting eyes and the coil
// spring around it. The variants differ in length, coils and thickness.
void BuildSuspension(MeshBuilder& mesh, int variant) {
  const float length = 0.45f + 0.05f * variant;
  const float coils = 5.0f + variant;
  const float springRadius = 0.055f + 0.004f * variant;
  const float wire = 0.008f + 0.001f * variant;
  // The strut runs along y: turn the builder's z axis up.
  mesh.SetPlacement(Place({0, 0, 0}, 0, -90));
  mesh.Cylinder(0.03f, 0.0f, length * 0.55f, 12);             // damper body
  mesh.Cylinder(0.012f, length * 0.55f, length, 8);           // piston rod
  mesh.ThickRing(0.03f, springRadius + wire, length * 0.12f, length * 0.14f, 16);  // lower seat
  mesh.ThickRing(0.012f, springRadius + wire, length * 0.9f, length * 0.92f, 16);  // upper seat
  mesh.Coil(springRadius, wire, length * 0.14f, length * 0.9f, coils, 6);
  mesh.SetPlacement(Place({0, 0, 0}));
  mesh.ThickRing(0.01f, 0.025f, -0.015f, 0.015f, 10);         // lower eye
  mesh.SetPlacement(Place({0, length, 0}));
  mesh.ThickRing(0.01f, 0.025f, -0.015f, 0.015f, 10);         // upper eye
}

// A fan: hub and pitched blades turning about z.
void BuildFan(MeshBuilder& mesh, int blades, float radius, float pitchDegrees) {
  mesh.Cylinder(radius * 0.2f, -0.03f, 0.03f, 16);
  for (int b = 0; b < blades; ++b) {
    Matrix4 turn, pitch, move;
    turn.SetRotationZ(360.0f * b / blades);
    move.SetTranslation({radius * 0.58f, 0, 0});
    pitch.SetRotationX(pitchDegrees);
    mesh.SetPlacement(turn * move * pitch);
    mesh.Box({-radius * 0.4f, -radius * 0.09f, -0.004f}, {radius * 0.4f, radius * 0.09f, 0.004f});
  }
  mesh.SetPlacement(Matrix4());
}

// Turbo impeller: a shroud ring around many narrow blades on a cone hub.
void BuildTurbo(MeshBuilder& mesh) {
  const float radius = 0.09f;
  mesh.ThickRing(radius, radius * 1.12f, -0.025f, 0.025f, 24);
  BuildFan(mesh, 11, radius, 35);
  mesh.Cylinder(0.012f, 0.03f, 0.06f, 8);  // shaft nose
}

SurfaceStyle StyleFor(const std::string& stem) {
  if (stem == "support") return {{120, 122, 128}, 0.5f, 0, 11};
  if (stem == "brake_disk") return {{150, 146, 140}, 0.4f, 24, 12};
  if (stem == "big_vint") return {{60, 64, 70}, 0.5f, 0, 13};
  if (stem == "small_vint") return {{175, 150, 60}, 0.5f, 0, 14};
  if (stem == "turbo_vint") return {{170, 172, 178}, 0.3f, 12, 15};
  // Suspensions: painted springs, a colour per variant.
  static const uint8_t colours[5][3] = {
      {200, 40, 30}, {230, 180, 20}, {40, 110, 200}, {60, 170, 70}, {220, 100, 20}};
  const int variant = stem.back() - '0';
  const uint8_t* c = colours[variant >= 0 && variant < 5 ? variant : 0];
  return {{c[0], c[1], c[2]}, 0.4f, 8, uint32_t(20 + variant)};
}

struct PartFile {
  const char* folder;  // under base/
  const char* stem;
};

constexpr PartFile kParts[] = {
    {"cars/wheels/", "support"},     {"cars/wheels/", "brake_disk"},
    {"cars/wheels/", "suspension0"}, {"cars/wheels/", "suspension1"},
    {"cars/wheels/", "suspension2"}, {"cars/wheels/", "suspension3"},
    {"cars/wheels/", "suspension4"}, {"cars/parts/", "big_vint"},
    {"cars/parts/", "small_vint"},   {"cars/parts/", "turbo_vint"},
};

}  // namespace

Ms3dFile MakePartModel(const std::string& stem) {
  Ms3dFile file;
  StartModel(&file, stem);
  MeshBuilder mesh(&file);
  if (stem == "support") BuildSupport(mesh);
  else if (stem == "brake_disk") BuildBrakeDisk(mesh);
  else if (stem.rfind("suspension", 0) == 0 && stem.size() == 11 && stem[10] >= '0' && stem[10] <= '4')
    BuildSuspension(mesh, stem[10] - '0');
  else if (stem == "big_vint") BuildFan(mesh, 4, 0.22f, 25);
  else if (stem == "small_vint") BuildFan(mesh, 3, 0.13f, 30);
  else if (stem == "turbo_vint") BuildTurbo(mesh);
  else return Ms3dFile{};
  return file;
}

bool GenerateModels(const std::string& base) {
  bool ok = true;
  for (const PartFile& part : kParts) {
    const std::string folder = base + "/" + part.folder;
    const SurfaceStyle style = StyleFor(part.stem);
    ok &= WriteMs3d(folder + part.stem + ".sbm", MakePartModel(part.stem));
    ok &= WriteTga(folder + part.stem + ".tga", MakeSurfaceTexture(style, kPartTextureSide));
    ok &= WriteTga(folder + part.stem + "_n.tga", MakeSurfaceNormalMap(style, kPartTextureSide));
  }
  return ok;
}
