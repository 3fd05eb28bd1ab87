#include "tools/gen_models.h"

#include <cmath>
#include <vector>

#include "framework/vector_math.h"
#include "tools/gen_images.h"
#include "tools/mesh_builder.h"

namespace {

constexpr int kPartTextureSide = 128;

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
  mesh.Coil(springRadius, wire, length * 0.14f, length * 0.9f, coils, 5);
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

// The drawing spins the spinning parts about their own y axis; the fans are
// built about z, so they are stood up: z becomes y (a turn of -90 degrees
// about x).
void TurnAxisUp(Ms3dFile* file) {
  auto turn = [](float* v) {
    const float y = v[1], z = v[2];
    v[1] = z;
    v[2] = -y;
  };
  for (Ms3dVertex& v : file->vertices) turn(v.position);
  for (Ms3dTriangle& tri : file->triangles)
    for (auto& n : tri.normals) turn(n);
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
  if (stem.find("vint") != std::string::npos) TurnAxisUp(&file);
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
