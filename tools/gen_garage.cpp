#include "tools/gen_garage.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "framework/vector_math.h"
#include "tools/mesh_builder.h"
#include "tools/paint_canvas.h"

namespace {

constexpr float kFloor = kGarageFloorY;
constexpr float kHalf = kGarageHalfSize;
constexpr float kRoof = kGarageFloorY + kGarageHeight;

// ---- Materials ---------------------------------------------------------------

// One tiling surface: its file stem, the picture and the units one repeat covers.
struct Surface {
  const char* stem;
  float repeat;     // units per texture repeat
  int side;         // pixels
  int components;   // 4 for the alpha-cut surfaces
  std::function<void(float u, float v, Texel&)> paint;
};

float Smooth(float a, float b, float x) {
  const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

float Fractal(float u, float v, int scale, uint32_t seed) {
  return TileFractal(u * float(scale), v * float(scale), scale, 4, seed);
}

// The hall's surfaces.
enum HallMaterial { kWall, kBrick, kSteel, kRoofPanel, kLamp, kDoorFrame, kPoster };
enum SpecialMaterial { kPlate, kCabinet, kTyres, kBench };
enum GroundMaterial { kConcrete, kApron, kLines };
enum ClearMaterial { kFence, kWindow, kBanner };

const std::vector<Surface>& HallSurfaces() {
  static const std::vector<Surface> surfaces = {
      {"wall", 3.0f, 256, 3, [](float u, float v, Texel& t) {  // corrugated sheet, vertical ribs
         const float rib = 0.5f + 0.5f * std::cos(u * 2 * NE_PI * 8);
         const float grime = Fractal(u, v, 4, 21);
         t.colour = Scale(Rgb{0.62f, 0.66f, 0.7f}, 0.75f + 0.2f * rib + 0.15f * grime - 0.15f * Smooth(0.3f, 0.0f, v));
         t.height = 3 * rib;
       }},
      {"brick", 2.0f, 256, 3, [](float u, float v, Texel& t) {
         const float row = v * 8, shift = std::fmod(std::floor(row), 2.0f) * 0.5f;
         const float col = u * 4 + shift;
         const float mortar = std::max(Smooth(0.08f, 0.0f, std::min(std::fmod(row, 1.0f), 1 - std::fmod(row, 1.0f))),
                                       Smooth(0.04f, 0.0f, std::min(std::fmod(col, 1.0f), 1 - std::fmod(col, 1.0f))));
         const float tone = Hash01(int(col), int(row), 22);
         t.colour = Mix(Scale(Rgb{0.55f, 0.25f, 0.18f}, 0.8f + 0.3f * tone + 0.1f * Fractal(u, v, 8, 23)),
                        Rgb{0.7f, 0.68f, 0.62f}, mortar);
         t.height = -2 * mortar;
       }},
      {"steel", 2.0f, 128, 3, [](float u, float v, Texel& t) {  // painted yellow steel, worn
         const float wear = Fractal(u, v, 4, 24);
         t.colour = Mix(Rgb{0.9f, 0.68f, 0.1f}, Rgb{0.3f, 0.28f, 0.25f}, Smooth(0.62f, 0.75f, wear));
         t.height = wear;
       }},
      {"roof", 4.0f, 256, 3, [](float u, float v, Texel& t) {
         const float seam = Smooth(0.03f, 0.0f, std::min(std::fmod(u * 2, 1.0f), 1 - std::fmod(u * 2, 1.0f)));
         t.colour = Scale(Rgb{0.55f, 0.56f, 0.55f}, 0.8f + 0.2f * Fractal(u, v, 4, 25) - 0.4f * seam);
         t.height = -2 * seam;
       }},
      {"lamp", 2.0f, 64, 3, [](float u, float v, Texel& t) {
         const bool tube = std::fmod(u * 4, 1.0f) > 0.2f && std::fmod(u * 4, 1.0f) < 0.8f;
         t.colour = tube ? Rgb{1.0f, 1.0f, 0.96f} : Rgb{0.75f, 0.75f, 0.72f};
         (void)v;
       }},
      {"door", 1.0f, 128, 3, [](float u, float v, Texel& t) {  // hazard-striped door frame
         const bool black = std::fmod(u + v + 10, 1.0f) < 0.5f;
         t.colour = black ? Rgb{0.1f, 0.1f, 0.1f} : Rgb{0.95f, 0.78f, 0.1f};
       }},
      {"poster", 4.0f, 256, 3, [](float u, float v, Texel& t) {  // a race poster: sky, hills, a banner
         const float hill = 0.35f + 0.1f * std::sin(u * 9) + 0.05f * std::sin(u * 23);
         Rgb c = v > hill ? Mix(Rgb{0.9f, 0.6f, 0.3f}, Rgb{0.3f, 0.45f, 0.8f}, v) : Rgb{0.45f, 0.35f, 0.2f};
         if (v > 0.78f && v < 0.92f) c = Rgb{0.85f, 0.1f, 0.08f};
         if (v > 0.82f && v < 0.88f && std::fmod(u * 12, 1.0f) < 0.6f) c = Rgb{0.98f, 0.98f, 0.95f};
         const float frame = Smooth(0.04f, 0.02f, std::min(std::min(u, 1 - u), std::min(v, 1 - v)));
         t.colour = Mix(c, Rgb{0.1f, 0.1f, 0.1f}, frame);
       }},
  };
  return surfaces;
}

const std::vector<Surface>& SpecialSurfaces() {
  static const std::vector<Surface> surfaces = {
      {"plate", 1.5f, 256, 3, [](float u, float v, Texel& t) {  // diamond tread plate
         const float a = std::fmod(u * 8 + v * 8, 2.0f), b = std::fmod(u * 8 - v * 8 + 20, 2.0f);
         const bool diamond = (std::fmod(std::floor(u * 8) + std::floor(v * 8), 2.0f) < 1)
                                  ? std::fabs(a - 1) < 0.25f && std::fabs(std::fmod(v * 8, 1.0f) - 0.5f) < 0.35f
                                  : std::fabs(b - 1) < 0.25f && std::fabs(std::fmod(u * 8, 1.0f) - 0.5f) < 0.35f;
         t.colour = Scale(Rgb{0.62f, 0.63f, 0.65f}, 0.85f + 0.15f * Fractal(u, v, 4, 31) + (diamond ? 0.12f : 0.0f));
         t.height = diamond ? 3.0f : 0.0f;
       }},
      {"cabinet", 1.0f, 256, 3, [](float u, float v, Texel& t) {  // drawers of a red tool cabinet
         const float drawer = std::fmod(v * 5, 1.0f);
         const bool seam = drawer < 0.04f || u < 0.03f || u > 0.97f;
         const bool handle = drawer > 0.75f && drawer < 0.85f && u > 0.3f && u < 0.7f;
         t.colour = handle ? Rgb{0.8f, 0.8f, 0.82f} : Scale(Rgb{0.75f, 0.08f, 0.06f}, seam ? 0.5f : 0.95f + 0.05f * Fractal(u, v, 4, 32));
         t.height = seam ? -2.0f : handle ? 2.0f : 0.0f;
       }},
      {"tyres", 1.0f, 128, 3, [](float u, float v, Texel& t) {
         const float lug = 0.5f + 0.5f * std::sin(u * 2 * NE_PI * 16);
         t.colour = Scale(Rgb{0.09f, 0.09f, 0.09f}, 0.8f + 0.4f * lug);
         t.height = 2 * lug;
         (void)v;
       }},
      {"bench", 2.0f, 256, 3, [](float u, float v, Texel& t) {  // oiled wooden top
         const float grain = Fractal(u * 0.3f, v * 3, 8, 33);
         t.colour = Scale(Rgb{0.55f, 0.38f, 0.2f}, 0.7f + 0.4f * grain);
         t.height = grain;
       }},
  };
  return surfaces;
}

const std::vector<Surface>& GroundSurfaces() {
  static const std::vector<Surface> surfaces = {
      {"floor", 8.0f, 512, 3, [](float u, float v, Texel& t) {  // sealed concrete with slab joints and stains
         const float joint = Smooth(0.006f, 0.0f, std::min(std::min(u, 1 - u), std::min(v, 1 - v)));
         const float stain = Smooth(0.6f, 0.8f, Fractal(u, v, 3, 41));
         const float speck = Fractal(u, v, 32, 42);
         t.colour = Scale(Rgb{0.5f, 0.53f, 0.5f}, (0.85f + 0.2f * speck) * (1 - 0.25f * stain) * (1 - 0.5f * joint));
         t.height = -3 * joint + 0.5f * speck;
       }},
      {"apron", 6.0f, 256, 3, [](float u, float v, Texel& t) {  // the dirt yard outside the door
         const float n = Fractal(u, v, 8, 43);
         t.colour = Mix(Rgb{0.45f, 0.38f, 0.28f}, Rgb{0.35f, 0.4f, 0.22f}, Smooth(0.55f, 0.7f, n));
         t.height = 3 * n;
       }},
      {"lines", 1.0f, 64, 3, [](float u, float v, Texel& t) {  // worn yellow floor paint
         t.colour = Scale(Rgb{0.95f, 0.75f, 0.1f}, 0.8f + 0.2f * Fractal(u, v, 4, 44));
       }},
  };
  return surfaces;
}

const std::vector<Surface>& ClearSurfaces() {
  static const std::vector<Surface> surfaces = {
      {"fence", 1.0f, 128, 4, [](float u, float v, Texel& t) {  // chain-link mesh
         const float a = std::fmod(u * 8 + v * 8, 1.0f), b = std::fmod(u * 8 - v * 8 + 16, 1.0f);
         const bool wire = std::min(a, 1 - a) < 0.07f || std::min(b, 1 - b) < 0.07f;
         t.colour = Rgb{0.7f, 0.72f, 0.74f};
         t.alpha = wire ? 1.0f : 0.0f;
         t.height = wire ? 1.0f : 0.0f;
       }},
      {"window", 3.0f, 256, 4, [](float u, float v, Texel& t) {  // steel glazing bars; panes let the sky in
         const bool bar = std::fmod(u * 3, 1.0f) < 0.06f || std::fmod(v * 2, 1.0f) < 0.08f;
         t.colour = Rgb{0.25f, 0.27f, 0.3f};
         t.alpha = bar ? 1.0f : 0.0f;
       }},
      {"banner", 6.0f, 256, 4, [](float u, float v, Texel& t) {  // pennant strings, cut at their edges
         const float cell = std::fmod(u * 6, 1.0f);
         const bool pennant = v > 0.55f && (1 - v) * 2.2f > std::fabs(cell - 0.5f) * 2 * 0.9f;
         const bool rope = std::fabs(v - 0.95f) < 0.02f;
         const Rgb colours[4] = {{0.9f, 0.1f, 0.1f}, {0.1f, 0.3f, 0.85f}, {0.95f, 0.8f, 0.1f}, {0.1f, 0.6f, 0.2f}};
         t.colour = rope ? Rgb{0.2f, 0.2f, 0.2f} : colours[int(u * 6) % 4];
         t.alpha = (pennant || rope) ? 1.0f : 0.0f;
       }},
  };
  return surfaces;
}

void AddMaterials(Ms3dFile* file, const std::vector<Surface>& surfaces) {
  for (size_t i = 0; i < surfaces.size(); ++i) {
    Ms3dMaterial material;
    material.name = surfaces[i].stem;
    material.texture = std::string(surfaces[i].stem) + ".tga";
    material.alphaMap = std::string(surfaces[i].stem) + "_n.tga";
    material.shininess = 16;
    file->materials.push_back(material);
    file->groups.push_back({surfaces[i].stem, {}, int8_t(i)});
  }
}

// ---- Geometry -----------------------------------------------------------------

// Adds to group g of the file (its groups are built one material each).
class SurfaceBuilder {
 public:
  SurfaceBuilder(Ms3dFile* file, const std::vector<Surface>& surfaces) : file_(file), surfaces_(surfaces) {}

  // A quad a-b-c-d (counter-clockwise seen from its front), textured by its
  // own axes at the material's scale; (u0, v0) shifts the texture.
  void Quad(int material, const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& d, float u0 = 0,
            float v0 = 0) {
    Vector3 n = CrossProduct(b - a, c - a);
    n.Normalize();
    Vector3 along = b - a, up = d - a;
    const float length = along.Length(), height = up.Length();
    const float repeat = surfaces_[size_t(material)].repeat;
    const float s1 = u0 + length / repeat, t1 = v0 + height / repeat;
    const Vector3 p[4] = {a, b, c, d}, normals[4] = {n, n, n, n};
    const float st[4][2] = {{u0, v0}, {s1, v0}, {s1, t1}, {u0, t1}};
    Add(material, [&](MeshBuilder& mesh) { mesh.Quad(p, normals, st); });
  }

  // A box with every face textured at the material's scale.
  void Box(int material, const Vector3& lo, const Vector3& hi) {
    const Vector3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                          {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6}, {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
    for (const auto& f : faces) Quad(material, c[f[0]], c[f[1]], c[f[2]], c[f[3]]);
  }

  // Solids of the mesh builder in one material.
  void Add(int material, const std::function<void(MeshBuilder&)>& build) {
    // The builder adds to the last group: bring the material's group there.
    Ms3dGroup& group = file_->groups[size_t(material)];
    Ms3dFile scratch;
    scratch.groups.push_back({"", {}, 0});
    MeshBuilder mesh(&scratch);
    build(mesh);
    for (Ms3dTriangle tri : scratch.triangles) {
      for (uint16_t& v : tri.vertices) v = uint16_t(v + file_->vertices.size());
      tri.groupIndex = uint8_t(material);
      group.triangles.push_back(uint16_t(file_->triangles.size()));
      file_->triangles.push_back(tri);
    }
    // Vertices after the triangles' indices were shifted by the old count.
    file_->vertices.insert(file_->vertices.end(), scratch.vertices.begin(), scratch.vertices.end());
  }

 private:
  Ms3dFile* file_;
  const std::vector<Surface>& surfaces_;
};

struct Opening {
  float u0, u1, v0, v1;  // along the wall and up from the floor
};

// A wall from `start` running along `along` (unit, horizontal), facing
// `facing`, with rectangular openings; the lower `plinth` units are brick.
void Wall(SurfaceBuilder& hall, const Vector3& start, const Vector3& along, float length,
          const std::vector<Opening>& openings, float plinth) {
  std::vector<float> us = {0, length}, vs = {0, plinth, kGarageHeight};
  for (const Opening& o : openings) {
    us.insert(us.end(), {o.u0, o.u1});
    vs.insert(vs.end(), {o.v0, o.v1});
  }
  std::sort(us.begin(), us.end());
  std::sort(vs.begin(), vs.end());
  us.erase(std::unique(us.begin(), us.end()), us.end());
  vs.erase(std::unique(vs.begin(), vs.end()), vs.end());
  const Vector3 up(0, 1, 0);
  for (size_t i = 0; i + 1 < us.size(); ++i)
    for (size_t j = 0; j + 1 < vs.size(); ++j) {
      const float u = (us[i] + us[i + 1]) / 2, v = (vs[j] + vs[j + 1]) / 2;
      const bool open = std::any_of(openings.begin(), openings.end(),
                                    [&](const Opening& o) { return u > o.u0 && u < o.u1 && v > o.v0 && v < o.v1; });
      if (open) continue;
      const Vector3 a = start + along * us[i] + up * vs[j], b = start + along * us[i + 1] + up * vs[j];
      const Vector3 c = b + up * (vs[j + 1] - vs[j]), d = a + up * (vs[j + 1] - vs[j]);
      const int material = v < plinth ? kBrick : kWall;
      hall.Quad(material, a, b, c, d, us[i] / HallSurfaces()[size_t(material)].repeat,
                vs[j] / HallSurfaces()[size_t(material)].repeat);
    }
}

// The glazed skylight in the roof, on the sun's side of the turntable, so
// that the sun falls through it onto the truck and the floor around it.
constexpr float kSkylightX0 = -4, kSkylightX1 = 16, kSkylightZ0 = -4, kSkylightZ1 = 16;

bool UnderSkylight(float x, float z) {
  return x > kSkylightX0 && x < kSkylightX1 && z > kSkylightZ0 && z < kSkylightZ1;
}

// The roof seen from below, around the skylight's opening.
void Roof(SurfaceBuilder& hall) {
  auto panel = [&](float x0, float z0, float x1, float z1) {
    hall.Quad(kRoofPanel, {x0, kRoof, z0}, {x1, kRoof, z0}, {x1, kRoof, z1}, {x0, kRoof, z1});
  };
  panel(-kHalf, -kHalf, kHalf, kSkylightZ0);
  panel(-kHalf, kSkylightZ1, kHalf, kHalf);
  panel(-kHalf, kSkylightZ0, kSkylightX0, kSkylightZ1);
  panel(kSkylightX1, kSkylightZ0, kHalf, kSkylightZ1);
}

// The big door at +z with its striped frame, and the windows at -x.
const Opening kDoor{kHalf - 8, kHalf + 8, 0, 6.5f};

std::vector<Opening> WindowRow(float length) {
  std::vector<Opening> row;
  for (float u = 4; u + 4 <= length - 2; u += 8) row.push_back({u, u + 4, 4.5f, 7.5f});
  return row;
}

Ms3dFile MakeHall() {
  Ms3dFile file;
  AddMaterials(&file, HallSurfaces());
  SurfaceBuilder hall(&file, HallSurfaces());
  const float span = 2 * kHalf;
  // Walls, each facing the inside: +z (door), -z, -x (windows), +x.
  Wall(hall, {kHalf, kFloor, kHalf}, {-1, 0, 0}, span, {kDoor}, 1.6f);
  Wall(hall, {-kHalf, kFloor, -kHalf}, {1, 0, 0}, span, {}, 1.6f);
  Wall(hall, {-kHalf, kFloor, kHalf}, {0, 0, -1}, span, WindowRow(span), 1.6f);
  Wall(hall, {kHalf, kFloor, -kHalf}, {0, 0, 1}, span, {}, 1.6f);
  Roof(hall);
  // Pillars along the walls and trusses across the roof.
  for (float p = -kHalf + 4; p < kHalf; p += 8) {
    for (float side : {-1.0f, 1.0f}) {
      hall.Box(kSteel, {p - 0.25f, kFloor, side * kHalf - 0.5f}, {p + 0.25f, kRoof, side * kHalf + 0.5f});
      hall.Box(kSteel, {side * kHalf - 0.5f, kFloor, p - 0.25f}, {side * kHalf + 0.5f, kRoof, p + 0.25f});
    }
    hall.Box(kSteel, {p - 0.2f, kRoof - 1.2f, -kHalf}, {p + 0.2f, kRoof - 0.9f, kHalf});
    hall.Box(kSteel, {p - 0.12f, kRoof - 0.9f, -kHalf}, {p + 0.12f, kRoof, kHalf});
    // Lamp panels between the trusses, where the roof is closed.
    for (float z = -kHalf + 6; z < kHalf; z += 12)
      if (!UnderSkylight(p + 4, z))
        hall.Quad(kLamp, {p + 4 - 1.5f, kRoof - 0.2f, z - 0.6f}, {p + 4 + 1.5f, kRoof - 0.2f, z - 0.6f},
                {p + 4 + 1.5f, kRoof - 0.2f, z + 0.6f}, {p + 4 - 1.5f, kRoof - 0.2f, z + 0.6f});
  }
  // Door frame with hazard stripes.
  for (float x : {-8.0f, 8.0f}) hall.Box(kDoorFrame, {x - 0.3f, kFloor, kHalf - 0.35f}, {x + 0.3f, kFloor + 6.8f, kHalf + 0.35f});
  hall.Box(kDoorFrame, {-8.3f, kFloor + 6.5f, kHalf - 0.35f}, {8.3f, kFloor + 7.1f, kHalf + 0.35f});
  // Posters on the back wall.
  for (float x : {-12.0f, 4.0f, 12.0f})
    hall.Quad(kPoster, {x - 2, kFloor + 2.5f, -kHalf + 0.02f}, {x + 2, kFloor + 2.5f, -kHalf + 0.02f},
              {x + 2, kFloor + 5.5f, -kHalf + 0.02f}, {x - 2, kFloor + 5.5f, -kHalf + 0.02f});
  return file;
}

Ms3dFile MakeSpecial() {
  Ms3dFile file;
  AddMaterials(&file, SpecialSurfaces());
  SurfaceBuilder special(&file, SpecialSurfaces());
  // The turntable the truck stands on, flush with the floor, with a raised rim.
  special.Add(kPlate, [](MeshBuilder& m) {
    m.SetPlacement(Place({0, kFloor + 0.004f, 0}, 0, -90));
    m.Ring(0, 5.2f, 0, true, 48);
    m.ThickRing(5.2f, 5.45f, 0.0f, 0.05f, 48);
    m.SetPlacement(Matrix4());
  });
  // Tool cabinets along the +x wall.
  for (float z = -12; z <= 12; z += 2.2f)
    if (std::fabs(z) > 3) special.Box(kCabinet, {kHalf - 1.6f, kFloor, z - 1.0f}, {kHalf - 0.55f, kFloor + 1.8f, z + 1.0f});
  // Workbench along the back wall.
  special.Box(kBench, {-9, kFloor + 1.0f, -kHalf + 0.6f}, {-1, kFloor + 1.15f, -kHalf + 1.8f});
  for (float x : {-8.8f, -1.2f})
    for (float z : {-kHalf + 0.7f, -kHalf + 1.7f})
      special.Box(kCabinet, {x - 0.06f, kFloor, z - 0.06f}, {x + 0.06f, kFloor + 1.0f, z + 0.06f});
  // Stacks of tyres in the corners and by the door.
  const Vector3 stacks[] = {{-kHalf + 1.6f, 0, -kHalf + 1.6f}, {-kHalf + 3.2f, 0, -kHalf + 1.5f}, {kHalf - 2, 0, kHalf - 2},
                            {-10.5f, 0, kHalf - 1.5f}, {-kHalf + 1.5f, 0, kHalf - 5}, {10.5f, 0, kHalf - 1.5f}};
  int height = 3;
  for (const Vector3& at : stacks) {
    for (int i = 0; i < height; ++i)
      special.Add(kTyres, [&](MeshBuilder& m) {
        m.SetPlacement(Place({at.x, kFloor + 0.36f * float(i), at.z}, 15.0f * float(i), -90));
        m.ThickRing(0.38f, 0.7f, 0.0f, 0.35f, 20);
        m.SetPlacement(Matrix4());
      });
    height = height % 5 + 2;
  }
  return file;
}

Ms3dFile MakeGround() {
  Ms3dFile file;
  AddMaterials(&file, GroundSurfaces());
  SurfaceBuilder ground(&file, GroundSurfaces());
  // The floor in slabs of the texture's repeat, so the normal-mapped
  // tangents stay short and even.
  const float slab = GroundSurfaces()[kConcrete].repeat;
  for (float x = -kHalf; x < kHalf; x += slab)
    for (float z = -kHalf; z < kHalf; z += slab)
      ground.Quad(kConcrete, {x, kFloor, z + slab}, {x + slab, kFloor, z + slab}, {x + slab, kFloor, z}, {x, kFloor, z});
  // The yard beyond the door.
  ground.Quad(kApron, {-40, kFloor - 0.02f, kHalf + 40}, {40, kFloor - 0.02f, kHalf + 40}, {40, kFloor - 0.02f, kHalf},
              {-40, kFloor - 0.02f, kHalf});
  // Painted lines: a bay around the turntable and a walkway to the door.
  const float y = kFloor + 0.003f, w = 0.12f;
  auto line = [&](float x0, float z0, float x1, float z1) {
    ground.Quad(kLines, {x0, y, z1}, {x1, y, z1}, {x1, y, z0}, {x0, y, z0});
  };
  line(-7, -7, 7, -7 + w);
  line(-7, 7 - w, -1.5f, 7);
  line(1.5f, 7 - w, 7, 7);
  line(-7, -7, -7 + w, 7);
  line(7 - w, -7, 7, 7);
  for (float x : {-1.5f, 1.5f - w}) line(x, 7, x + w, kHalf - 0.5f);
  return file;
}

Ms3dFile MakeTransparency() {
  Ms3dFile file;
  AddMaterials(&file, ClearSurfaces());
  SurfaceBuilder clear(&file, ClearSurfaces());
  // A chain-link partition before the cabinets' corner.
  for (float x0 = -kHalf + 1; x0 < -9; x0 += 3)
    clear.Quad(kFence, {x0, kFloor, 12}, {x0 + 3, kFloor, 12}, {x0 + 3, kFloor + 2.5f, 12}, {x0, kFloor + 2.5f, 12});
  // Glazing bars in the window openings of the -x wall.
  for (const Opening& o : WindowRow(2 * kHalf)) {
    const float z0 = kHalf - o.u0, z1 = kHalf - o.u1, x = -kHalf + 0.05f;
    clear.Quad(kWindow, {x, kFloor + o.v0, z0}, {x, kFloor + o.v0, z1}, {x, kFloor + o.v1, z1}, {x, kFloor + o.v1, z0});
  }
  // The skylight's glazing bars, seen from below.
  const float y = kRoof - 0.05f;
  clear.Quad(kWindow, {kSkylightX0, y, kSkylightZ0}, {kSkylightX1, y, kSkylightZ0}, {kSkylightX1, y, kSkylightZ1},
             {kSkylightX0, y, kSkylightZ1});
  // Pennant strings hanging across the hall.
  for (float z : {-8.0f, 0.0f, 8.0f})
    clear.Quad(kBanner, {-kHalf, kRoof - 2.6f, z}, {kHalf, kRoof - 2.6f, z}, {kHalf, kRoof - 1.4f, z}, {-kHalf, kRoof - 1.4f, z});
  return file;
}

bool WriteSurfaces(const std::string& folder, const std::vector<Surface>& surfaces) {
  bool ok = true;
  for (const Surface& s : surfaces) {
    PaintCanvas canvas(s.side, s.side);
    canvas.PaintAll(s.paint);
    ok &= WriteTga(folder + s.stem + ".tga", canvas.ColourImage(s.components));
    ok &= WriteTga(folder + s.stem + "_n.tga", canvas.NormalMap(0.4f));
  }
  return ok;
}

}  // namespace

GarageModels MakeGarageModels() { return {MakeHall(), MakeSpecial(), MakeGround(), MakeTransparency()}; }

bool GenerateGarage(const std::string& base) {
  const std::string folder = base + "/garage/";
  const GarageModels models = MakeGarageModels();
  bool ok = WriteMs3d(folder + "garage.sbm", models.hall) && WriteMs3d(folder + "special.sbm", models.special) &&
            WriteMs3d(folder + "ground.sbm", models.ground) &&
            WriteMs3d(folder + "transparency.sbm", models.transparency);
  for (const auto* surfaces : {&HallSurfaces(), &SpecialSurfaces(), &GroundSurfaces(), &ClearSurfaces()})
    ok = WriteSurfaces(folder, *surfaces) && ok;
  return ok;
}
