// The real program on a driver that lacks what the renderer needs or with a
// shader that does not compile: each says why and ends with a failure code
// instead of drawing without its resources. The extension string is
// doctored in two ways: the test hook ZARNOK_HIDE_GL_EXTENSIONS hides names
// from the game's extension check, and MESA_EXTENSION_OVERRIDE takes an
// extension from the driver itself (only where the driver can still make
// the game's context without it).
#include "tests/support/game_runner.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr int kFailedStartExitCode = 255;  // -1

class GraphicsStartupFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  }
};

// Gives the scratch game a base/ that is the built one but for its own copy
// of the shaders, which the caller then breaks.
std::filesystem::path CopyBaseWithOwnShaders(const ScratchFolder& game) {
  const std::filesystem::path base = game.File("base");
  std::filesystem::create_directories(base / "shaders");
  for (const auto& entry : std::filesystem::directory_iterator("base")) {
    if (entry.path().filename() == "shaders") continue;
    std::filesystem::create_symlink(std::filesystem::absolute(entry.path()), base / entry.path().filename());
  }
  for (const auto& entry : std::filesystem::directory_iterator("base/shaders")) {
    std::filesystem::copy_file(entry.path(), base / "shaders" / entry.path().filename());
  }
  return base;
}

}  // namespace

TEST_F(GraphicsStartupFailure, AMissingExtensionEndsTheStartWithItsMessages) {
  struct Case {
    const char* hidden;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"GL_EXT_framebuffer_object", {"ERROR: EXT_framebuffer_object extension was not found"}},
      {"GL_ARB_occlusion_query",
       {"ERROR: One or more GL_ARB_occlusion_query functions were not found",
        "ERROR: Initialization Failed."}},
      {"GL_ARB_shading_language_100", {"ERROR: Initialization Failed."}},
  };
  for (const Case& c : cases) {
    GameRunOptions options;
    options.inputScript = "20 close\n";
    options.environment = {{"ZARNOK_HIDE_GL_EXTENSIONS", c.hidden}};
    GameRunResult run = RunGame(options);
    ASSERT_FALSE(run.timedOut) << c.hidden;
    EXPECT_EQ(run.exitCode, kFailedStartExitCode) << c.hidden << "\n" << run.errorOutput;
    EXPECT_EQ(run.MessageBoxes(), c.boxes) << c.hidden << "\n" << run.errorOutput;
  }
}

TEST_F(GraphicsStartupFailure, AnUnusableRenderTargetEndsTheStartWithItsStatus) {
  // Without float textures the blur targets cannot be drawn into.
  GameRunOptions options;
  options.inputScript = "20 close\n";
  options.environment = {{"MESA_EXTENSION_OVERRIDE", "-GL_ARB_texture_float"}};
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, kFailedStartExitCode) << run.errorOutput;
  ASSERT_EQ(run.MessageBoxes().size(), 1u) << run.errorOutput;
  EXPECT_EQ(run.MessageBoxes()[0].rfind("ERROR: GL_FRAMEBUFFER_", 0), 0u) << run.MessageBoxes()[0];
  EXPECT_NE(run.errorOutput.find("Render target blur"), std::string::npos) << run.errorOutput;
}

TEST_F(GraphicsStartupFailure, AShaderThatDoesNotCompileIsNamedWithItsLog) {
  // A working folder whose base/ is the built one but for a broken LightVS.glsl.
  ScratchFolder game;
  const std::filesystem::path base = CopyBaseWithOwnShaders(game);
  std::ofstream(base / "shaders/LightVS.glsl") << "#version 120\nvoid main() { gl_Position = undeclared; }\n";

  GameRunOptions options;
  options.workingFolder = game.Path();
  options.inputScript = "20 close\n";
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, kFailedStartExitCode) << run.errorOutput;
  EXPECT_NE(run.errorOutput.find("base/shaders/LightVS.glsl: "), std::string::npos) << run.errorOutput;
  const std::vector<std::string> boxes = run.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u) << run.errorOutput;
  EXPECT_EQ(boxes[0].rfind("Error linking shaders...: ", 0), 0u) << boxes[0];
  EXPECT_EQ(boxes[1], "ERROR: Initialization Failed.");
}

TEST_F(GraphicsStartupFailure, AFaultInASharedShaderSourceNamesTheProgramAndItsSharedFiles) {
  using namespace std::string_view_literals;
  struct Case {
    const char* broken;       // the shared file, replaced by text or removed
    std::string_view text;    // empty: the file is removed
    const char* errorOutput;  // what stderr must name
  };
  // Transparency is the first program built on the fade source.
  const Case cases[] = {
      {"CommonFadePS.glsl", "#version 120\nfloat Fade(float range, float dither) { return undeclared; }\n",
       "base/shaders/TransparencyPS.glsl (sources 1 CommonLightingPS.glsl, 2 CommonShadowPS.glsl, "
       "4 CommonFadePS.glsl): "},
      {"CommonFadePS.glsl", "", "base/shaders/CommonFadePS.glsl: cannot be read"},
      // GL would read the text up to the NUL, which still compiles.
      {"CommonFadePS.glsl", "#version 120\nfloat Fade(float range, float dither) { return 1.0; }\n\0 }"sv,
       "base/shaders/CommonFadePS.glsl: damaged, a NUL byte at offset 67"},
  };
  for (const Case& c : cases) {
    ScratchFolder game;
    const std::filesystem::path shared = CopyBaseWithOwnShaders(game) / "shaders" / c.broken;
    if (!c.text.empty()) {
      std::ofstream(shared) << c.text;
    } else {
      std::filesystem::remove(shared);
    }
    GameRunOptions options;
    options.workingFolder = game.Path();
    options.inputScript = "20 close\n";
    GameRunResult run = RunGame(options);
    ASSERT_FALSE(run.timedOut) << c.errorOutput;
    EXPECT_EQ(run.exitCode, kFailedStartExitCode) << run.errorOutput;
    EXPECT_NE(run.errorOutput.find(c.errorOutput), std::string::npos) << run.errorOutput;
    const std::vector<std::string> boxes = run.MessageBoxes();
    ASSERT_FALSE(boxes.empty()) << run.errorOutput;
    EXPECT_EQ(boxes.back(), "ERROR: Initialization Failed.");
  }
}

TEST_F(GraphicsStartupFailure, AFailureInTheGraphicsMadeAfterTheFirstFrameStillEndsTheStart) {
  // An unusable render target (no float textures for the blur targets) is
  // found once the first frame is shown, and the program ends there.
  GameRunOptions options;
  options.inputScript = "20 close\n";
  options.environment = {{"MESA_EXTENSION_OVERRIDE", "-GL_ARB_texture_float"}};
  GameRunResult run = RunGame(options);
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, kFailedStartExitCode) << run.errorOutput;
  EXPECT_TRUE(run.Traced("startup first frame shown"));
  EXPECT_FALSE(run.Traced("startup resources made"));
  EXPECT_EQ(run.ScreensVisited(), std::vector<std::string>{"100"});
  const std::vector<std::string> boxes = run.MessageBoxes();
  ASSERT_FALSE(boxes.empty()) << run.errorOutput;
  EXPECT_EQ(boxes.back().rfind("ERROR: GL_FRAMEBUFFER_", 0), 0u) << boxes.back();
}
