// Going back and forth between the garage and a race (a small track of
// the test files) makes no GL names it does not give back: textures,
// display lists, framebuffers and renderbuffers are counted before and
// after fifty cycles of loads, race and garage frames (with shadows and
// two reflection faces a frame) and paint compositions.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/startup_models.h"
#include "render/garage_scene.h"
#include "render/gl_resources.h"
#include "render/paint.h"
#include "render/race_frame.h"
#include "render/reflection_cube.h"
#include "tests/support/drawn_world.h"
#include "tests/framework/gl_test_helpers.h"
#include "tests/support/gl_resources_suite.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/world_files.h"
#include "framework/globals.h"
#include "world/catalogue.h"
#include "render/model_draw_lists.h"
#include "world/loaders.h"
#include "world/racer_models.h"

namespace {

constexpr int kCycles = 50;
constexpr int kRace = 7;
constexpr int kGarageScreen = 10;
// A garage frame and a paint composition cost a tenth and a third of a
// second in software GL: every fifth cycle draws the garage, every tenth
// composes the paint.
constexpr int kCyclesPerGarageFrame = 5;
constexpr int kCyclesPerRepaint = 10;

struct NameCounts {
  int textures = 0, lists = 0, framebuffers = 0, renderbuffers = 0;
  bool operator==(const NameCounts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const NameCounts& c) {
  return out << c.textures << " textures, " << c.lists << " lists, " << c.framebuffers << " framebuffers, "
             << c.renderbuffers << " renderbuffers";
}

// Names in use up to the next one the driver would hand out, which lies
// above every name it has given.
template <typename Gen, typename Is, typename Del>
int CountNames(Gen gen, Is is, Del del) {
  GLuint probe = 0;
  gen(&probe);
  int count = 0;
  for (GLuint name = 1; name < probe; ++name) count += is(name) ? 1 : 0;
  del(&probe);
  return count;
}

NameCounts CountGlNames() {
  NameCounts counts;
  counts.textures = CountNames([](GLuint* n) { glGenTextures(1, n); }, [](GLuint n) { return glIsTexture(n); },
                               [](GLuint* n) { glDeleteTextures(1, n); });
  counts.lists = CountNames([](GLuint* n) { *n = glGenLists(1); }, [](GLuint n) { return glIsList(n); },
                            [](GLuint* n) { glDeleteLists(*n, 1); });
  counts.framebuffers =
      CountNames([](GLuint* n) { glGenFramebuffersEXT(1, n); }, [](GLuint n) { return glIsFramebufferEXT(n); },
                 [](GLuint* n) { glDeleteFramebuffersEXT(1, n); });
  counts.renderbuffers = CountNames([](GLuint* n) { glGenRenderbuffersEXT(1, n); },
                                    [](GLuint n) { return glIsRenderbufferEXT(n); },
                                    [](GLuint* n) { glDeleteRenderbuffersEXT(1, n); });
  return counts;
}

// A paint folder of small masks and decals for the paint loader.
void WritePaintFiles(const std::string& root) {
  const std::string cars = root + "/base/cars/";
  std::filesystem::create_directories(cars + "decals");
  std::filesystem::create_directories(cars + "0");
  const RasterImage image = SolidImage(4, 4, 4, 90, 90, 90, 128);
  for (const char* decal : {"0", "t1", "t2", "b1"}) WriteTga(cars + "decals/" + decal + ".tga", image);
  for (const std::string part : {"car", "obves0", "obves3", "kovsh0", "kovsh5"}) {
    WriteTga(cars + "0/" + part + "_refl.tga", image);
    for (int z = 0; z < kPaintZoneCount; ++z)
      WriteTga(cars + "0/" + part + "_paint_zone" + std::to_string(z) + ".tga", image);
  }
}

}  // namespace

TEST(GlNames, FiftyGarageRaceCyclesGiveBackEveryNameTheyMake) {
  REQUIRE_GL_WINDOW(window);
  gAntiAliasing = 0;
  gShadowMapSize = 1024;
  gReflectionMode = 2;
  ASSERT_EQ(InitGLResourcesIn(window), GLResourcesResult::Ready);
  InitCarTables();
  ScratchFolder scratch;
  WriteTestTrack(scratch.Path(), kRace);
  WriteTestTrucks(scratch.Path());
  WriteTestGarage(scratch.Path());
  WritePaintFiles(scratch.Path());
  {
    ScopedWorkingFolder inScratch(scratch.Path());
    gPlayerCarIndex = 0;
    LoadGarage();
    LoadRacerCar(0);
    gScreen = kGarageScreen;
    gTargetScreen = kGarageScreen;
    LoadCarPaintTextures(0, 0);  // the first composition makes the paint, which the later ones reuse
    ServeRepaintRequest();
    const NameCounts before = CountGlNames();

    for (int cycle = 0; cycle < kCycles; ++cycle) {
      ASSERT_TRUE(LoadWorld(kRace));
      BuildRacerDrawLists();
      const bool drawn = cycle % kCyclesPerGarageFrame == 0;
      if (drawn) {
        gTargetScreen = ScreenState::Racing;
        PublishPlayerAt(0);
        gSimBit = gRenderBit ? 0 : 1;  // a race step was published
        RenderRaceFrame();
        gTargetScreen = kGarageScreen;
      }
      FreeRacerDrawLists();
      LoadGarage();
      if (!drawn) continue;
      RenderGarageScene();
      DrawGarageSceneOnWindow();
      if (cycle % kCyclesPerRepaint != 0) continue;
      LoadCarPaintTextures(0, 0);
      ServeRepaintRequest();
    }

    EXPECT_EQ(CountGlNames(), before);
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  ReleaseGLResources();
  gShadowMapSize = kShadowMapSizeOff;
  gReflectionMode = 0;
}
