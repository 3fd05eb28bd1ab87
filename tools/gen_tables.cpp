#include "tools/gen_tables.h"

#include "framework/random.h"
#include "framework/settings.h"
#include "math/ne_math.h"
#include "tools/binary_writer.h"
#include "world/catalogue.h"
#include "world/new_career.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

struct Rgb {
  float r, g, b;
};

// Each truck's paint: a main colour (body, hood, roof, trunk lid), a trim
// colour (bumpers, sills) and an accent for the hood. Chosen so that no two
// trucks of the catalogue look alike.
struct Livery {
  Rgb main, trim, accent;
};

constexpr Livery kLiveries[kCatalogueSize] = {
    {{0.80f, 0.10f, 0.08f}, {0.12f, 0.12f, 0.12f}, {0.95f, 0.95f, 0.95f}},  // Sickle ST: red
    {{0.10f, 0.30f, 0.75f}, {0.85f, 0.85f, 0.88f}, {0.95f, 0.80f, 0.10f}},  // Magnum ST: blue
    {{0.95f, 0.75f, 0.05f}, {0.10f, 0.10f, 0.10f}, {0.10f, 0.10f, 0.10f}},  // Screw ST: yellow
    {{0.15f, 0.55f, 0.20f}, {0.20f, 0.20f, 0.18f}, {0.90f, 0.90f, 0.85f}},  // Tornado ST: green
    {{0.55f, 0.60f, 0.65f}, {0.15f, 0.15f, 0.20f}, {0.10f, 0.35f, 0.80f}},  // Shark ST: steel grey
    {{0.95f, 0.45f, 0.05f}, {0.15f, 0.15f, 0.15f}, {0.95f, 0.95f, 0.95f}},  // Trotyl ST: orange
    {{0.92f, 0.92f, 0.90f}, {0.75f, 0.10f, 0.10f}, {0.10f, 0.10f, 0.10f}},  // Screw GTX: white
    {{0.45f, 0.10f, 0.55f}, {0.85f, 0.85f, 0.85f}, {0.95f, 0.75f, 0.10f}},  // Sickle GTX: purple
    {{0.05f, 0.55f, 0.60f}, {0.10f, 0.10f, 0.12f}, {0.95f, 0.95f, 0.95f}},  // Shark GTX: teal
    {{0.35f, 0.22f, 0.10f}, {0.80f, 0.65f, 0.35f}, {0.10f, 0.10f, 0.10f}},  // Tornado GTX: brown
    {{0.08f, 0.08f, 0.09f}, {0.80f, 0.10f, 0.05f}, {0.95f, 0.55f, 0.05f}},  // Sickle RS: black
    {{0.55f, 0.80f, 0.10f}, {0.15f, 0.15f, 0.15f}, {0.10f, 0.10f, 0.10f}},  // Magnum GTX: lime
    {{0.60f, 0.05f, 0.15f}, {0.80f, 0.80f, 0.82f}, {0.10f, 0.10f, 0.10f}},  // Trotyl GTX: wine
    {{0.10f, 0.15f, 0.40f}, {0.90f, 0.75f, 0.20f}, {0.90f, 0.75f, 0.20f}},  // Screw RS: navy and gold
    {{0.85f, 0.25f, 0.55f}, {0.12f, 0.12f, 0.12f}, {0.95f, 0.95f, 0.95f}},  // Tornado RS: magenta
    {{0.30f, 0.70f, 0.95f}, {0.95f, 0.95f, 0.95f}, {0.05f, 0.20f, 0.55f}},  // Shark RS: sky blue
    {{0.25f, 0.32f, 0.18f}, {0.60f, 0.55f, 0.40f}, {0.10f, 0.10f, 0.10f}},  // Trotyl RS: olive
    {{0.75f, 0.70f, 0.55f}, {0.20f, 0.20f, 0.20f}, {0.80f, 0.10f, 0.08f}},  // Magnum RS: sand
};

// Paint zones: body, hood, front bumper, rear bumper, sills, roof, trunk lid.
enum { kBody, kHood, kFrontBumper, kRearBumper, kSills, kRoof, kTrunkLid };

void SetColour(float (&zone)[3], Rgb c) {
  zone[0] = c.r;
  zone[1] = c.g;
  zone[2] = c.b;
}

bool WriteMenuInf(const std::string& base) {
  int32_t words[kSettingsWordCount];
  DefaultSettingsWords(words);
  ByteBuffer out;
  for (int32_t w : words) out.I32(w);
  return WriteFileBytes(base + "/menu.inf", out.bytes);
}

// Six lamp tables of four lamps, each lamp a small quad of four corners.
bool WriteOpticaIni(const std::string& base) {
  for (int t = 0; t < 6; ++t) {
    const float length = 2.2f + 0.25f * float(t);  // lamp x: half the body length
    for (int lamp = 0; lamp < 4; ++lamp) {
      const float x = (lamp < 2 ? 1.0f : -1.0f) * length;
      const float z = (lamp % 2 == 0 ? 1.0f : -1.0f) * (0.75f + 0.05f * float(t));
      const float y = lamp < 2 ? 0.55f : 0.65f;
      for (int corner = 0; corner < 4; ++corner) {
        float* p = gOpticaLamps[t][lamp][corner];
        p[0] = x;
        p[1] = y + (corner / 2 == 0 ? -0.09f : 0.09f);
        p[2] = z + (corner % 3 == 0 ? -0.14f : 0.14f);
      }
    }
  }
  return SaveOpticaTableTo(base + "/optica.ini");
}

bool WriteCareerInf(const std::string& base) {
  gCareer = CareerRecord{};
  ApplyNewCareer();
  gQuickRaceCar = 0;
  gNewCareer = 1;  // the first CAREER asks for the player's name
  return WriteFileBytes(base + "/career.inf",
                        std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&gCareer),
                                             reinterpret_cast<const uint8_t*>(&gCareer) + sizeof gCareer));
}

constexpr float kLandscapeHalfSize = 1800.0f;  // world units from the origin to the edge
constexpr float kPathMargin = 150.0f;           // kept clear between a path and the edge
constexpr float kWaypointSpacing = 10.0f;       // world units between path points
constexpr double kTwoPi = 2 * NE_PI_D;

float Unit() { return float(Random()) / float(kRandomMax); }

bool WriteRacePaths(const std::string& base) {
  const std::string folder = base + "/world/races/";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::vector<Waypoint> points(kRacePathCapacity);
  bool ok = true;
  for (int race = 1; race <= kTrackCount; ++race) {
    const int32_t last = MakeRacePath(race, points.data());
    ok = WriteRacePathFile(folder + std::to_string(race) + ".ai", points.data(), last) && ok;
    if (race == 1) ok = WriteRacePathFile(folder + "last.ai", points.data(), last) && ok;
  }
  return ok;
}

}  // namespace

int32_t MakeRacePath(int race, Waypoint* points) {
  // Seeds far apart and a few draws discarded: the generator's first draws
  // after neighbouring seeds are nearly equal.
  SeedRandom(uint32_t(7000 + race * 7919));
  for (int i = 0; i < 4; ++i) Random();
  // The outline: r(θ) = R (1 + Σ a sin(kθ + φ)) with Σ a < 1 stays positive,
  // so the curve is star-shaped about its centre and cannot cross itself;
  // stretching and turning it keeps that.
  const double radius = 330.0 + 450.0 * Unit();
  const double stretch = 0.6 + 0.8 * Unit();
  const double turn = kTwoPi * Unit();
  const int harmonics[3] = {2, 3, 5};
  double amplitude[3], phase[3];
  for (int h = 0; h < 3; ++h) {
    amplitude[h] = (0.3 - 0.08 * h) * Unit();
    phase[h] = kTwoPi * Unit();
  }
  const bool clockwise = Unit() < 0.5f;
  constexpr int kOutline = 4096;
  std::vector<double> ox(kOutline + 1), oz(kOutline + 1);
  for (int i = 0; i <= kOutline; ++i) {
    const double theta = kTwoPi * i / kOutline * (clockwise ? -1.0 : 1.0);
    double r = 1.0;
    for (int h = 0; h < 3; ++h) r += amplitude[h] * std::sin(harmonics[h] * theta + phase[h]);
    const double x = radius * r * std::cos(theta) * stretch, z = radius * r * std::sin(theta) / stretch;
    ox[size_t(i)] = x * std::cos(turn) - z * std::sin(turn);
    oz[size_t(i)] = x * std::sin(turn) + z * std::cos(turn);
  }
  // Place the loop anywhere it fits inside the landscape.
  const auto [minX, maxX] = std::minmax_element(ox.begin(), ox.end());
  const auto [minZ, maxZ] = std::minmax_element(oz.begin(), oz.end());
  const double room = kLandscapeHalfSize - kPathMargin;
  const double cx = -room - *minX + (2 * room - (*maxX - *minX)) * Unit();
  const double cz = -room - *minZ + (2 * room - (*maxZ - *minZ)) * Unit();
  // Even spacing along the outline.
  std::vector<double> along(kOutline + 1, 0.0);
  for (int i = 1; i <= kOutline; ++i)
    along[size_t(i)] = along[size_t(i - 1)] + std::hypot(ox[size_t(i)] - ox[size_t(i - 1)], oz[size_t(i)] - oz[size_t(i - 1)]);
  const int count = std::clamp(int(std::lround(along.back() / kWaypointSpacing)), kMinRacePathLast + 1, kRacePathCapacity);
  int segment = 0;
  for (int k = 0; k < count; ++k) {
    const double distance = along.back() * k / count;
    while (along[size_t(segment + 1)] < distance) ++segment;
    const double t = (distance - along[size_t(segment)]) / std::max(1e-9, along[size_t(segment + 1)] - along[size_t(segment)]);
    Waypoint& p = points[k];
    p.position.x = float(cx + ox[size_t(segment)] + t * (ox[size_t(segment + 1)] - ox[size_t(segment)]));
    p.position.y = 0.0f;
    p.position.z = float(cz + oz[size_t(segment)] + t * (oz[size_t(segment + 1)] - oz[size_t(segment)]));
    p.position.w = 0.0f;
    p.type = kWaypointPlain;
  }
  MarkCheckpoints(points, count - 1);
  return count - 1;
}

void MakeShippedCatalogue() {
  InitCarTables();
  for (int r = 0; r < kCatalogueSize; ++r) {
    CarSetup& car = gCarCatalogue[r];
    const int tier = r / 6;  // ST, GTX, RS
    // Starting parts: each choice in its shop's range, better ones in higher classes.
    car.partChoice[0] = 0;
    for (int part = 1; part < kPartCount; ++part) {
      const int count = kPartChoiceCount[part];
      if (count == 0) continue;
      car.partChoice[part] = (r * (part + 2) + tier) % count;
    }
    const Livery& livery = kLiveries[r];
    SetColour(car.zoneColour[kBody], livery.main);
    SetColour(car.zoneColour[kHood], r % 3 == 0 ? livery.accent : livery.main);
    SetColour(car.zoneColour[kFrontBumper], livery.trim);
    SetColour(car.zoneColour[kRearBumper], livery.trim);
    SetColour(car.zoneColour[kSills], r % 2 == 0 ? livery.trim : livery.accent);
    SetColour(car.zoneColour[kRoof], tier == 2 ? livery.accent : livery.main);
    SetColour(car.zoneColour[kTrunkLid], livery.main);
    car.reserved[0] = car.reserved[1] = 0;
    car.catalogueIndex = r;
  }
}

bool WriteGameTables(const std::string& base) {
  MakeShippedCatalogue();
  bool ok = WriteMenuInf(base);
  ok = SaveCarCatalogueTo(base + "/cars.ini") && ok;
  ok = WriteOpticaIni(base) && ok;
  ok = WriteCareerInf(base) && ok;
  ok = WriteRacePaths(base) && ok;
  if (!ok) std::fprintf(stderr, "zarnok_gen: could not write the game tables\n");
  return ok;
}
