#include "tools/gen_tables.h"

#include "framework/settings.h"
#include "tools/binary_writer.h"
#include "tools/gen_world_layout.h"
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

bool WriteRacePaths(const std::string& base) {
  const std::string folder = base + "/world/races/";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::vector<Waypoint> points(kRacePathCapacity);
  bool ok = true;
  for (int race = 1; race <= kTrackCount; ++race) {
    const int32_t last = MakeWorldRacePath(race, points.data());
    ok = WriteRacePathFile(folder + std::to_string(race) + ".ai", points.data(), last) && ok;
    if (race == 1) ok = WriteRacePathFile(folder + "last.ai", points.data(), last) && ok;
  }
  return ok;
}

}  // namespace

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
