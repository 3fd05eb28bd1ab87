// Builds the programs from base/shaders/, the fragment sources they share
// placed after each program's #version line, and loads their fixed
// uniforms. Building leaves no program current; SetShaderUniforms changes
// only the uniforms of the current program.
#include "render/shaders.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/binary_file.h"  // ReadAssetFile
#include "framework/globals.h"
#include "framework/model.h"
#include "platform/platform.h"

LitProgram gLightProgram;
BlurProgram gBlurProgram;
HDRProgram gHDRProgram;
RadialBlurProgram gRadialBlurProgram;
TransparencyProgram gTransparencyProgram;
MapProgram gMapProgram;
TerrainProgram gRoadBumpProgram;
ReflMapProgram gReflMapProgram;
BlurProgram gBlurSmokeProgram;
GrassProgram gGrassProgram;
TransparencyForShadowMapProgram gTransparencyForShadowMapProgram;
TreesProgram gTreesProgram;
WaterProgram gWaterProgram;
LitProgram gDirtTraceProgram;
TerrainProgram gRoadBumpSingleProgram;

namespace {

constexpr float kTimeScale = 1.25f;        // shader time per unit of gMenuClock
constexpr float kShadowNoiseTile = 64.0f;  // window pixels per tile of the shadow noise
constexpr int kInfoLogSize = 4096;         // characters of a link log shown

// The uniforms of a lit program (Light, DirtTrace), in fetch order.
constexpr std::array<ShaderUniform, 15> LitUniforms(LitProgram& program) {
  return {{
      {"matAmbient", &program.matAmbient, UniformLoad::Float, 0.65f},
      {"matDiffuse", &program.matDiffuse, UniformLoad::Float, 0.6f},
      {"matSpecular", &program.matSpecular, UniformLoad::Float, 0.35f},
      {"emissive", &program.emissive, UniformLoad::Float, 0.0f},
      {"shininess", &program.shininess, UniformLoad::Float, 0.0f},
      {"decal", &program.decal, UniformLoad::Unit, 0},
      {"decal2", &program.decal2, UniformLoad::Unit, 1},
      {"decal3", &program.decal3, UniformLoad::Unit, 2},
      {"decal4", &program.decal4, UniformLoad::Unit, 3},
      {"decal5", &program.decal5, UniformLoad::Unit, 4},
      {"RefInt", &program.refInt, UniformLoad::Float, 1.0f},
      {"GlassNow", &program.glassNow, UniformLoad::None},
      {"GlassAlpha", &program.glassAlpha, UniformLoad::None},
      {"LightNow", &program.lightNow, UniformLoad::None},
      {"DistortShadowTexel", &program.distortShadowTexel, UniformLoad::ShadowTexel},
  }};
}
const auto kLightUniforms = LitUniforms(gLightProgram);
const auto kDirtTraceUniforms = LitUniforms(gDirtTraceProgram);
// The uniforms of a blur program (Blur, BlurSmoke), in fetch order.
constexpr std::array<ShaderUniform, 3> BlurUniforms(BlurProgram& program) {
  return {{
      {"texOffset", &program.texOffset, UniformLoad::None},
      {"intensity", &program.intensity, UniformLoad::None},
      {"decal", &program.decal, UniformLoad::None},
  }};
}
const auto kBlurUniforms = BlurUniforms(gBlurProgram);
const auto kBlurSmokeUniforms = BlurUniforms(gBlurSmokeProgram);

const ShaderUniform kHDRUniforms[] = {
    {"exposure", &gHDRProgram.exposure, UniformLoad::None},
    {"gamma", &gHDRProgram.gamma, UniformLoad::None},
    {"decal", &gHDRProgram.decal, UniformLoad::None},
    {"decal2", &gHDRProgram.decal2, UniformLoad::None},
};
const ShaderUniform kRadialBlurUniforms[] = {
    {"decal", &gRadialBlurProgram.decal, UniformLoad::None},
    {"TexSize", &gRadialBlurProgram.texSize, UniformLoad::None},
    {"Speed", &gRadialBlurProgram.speed, UniformLoad::None},
};
const ShaderUniform kTransparencyUniforms[] = {
    {"T0", &gTransparencyProgram.t0, UniformLoad::None},
    {"T1", &gTransparencyProgram.t1, UniformLoad::None},
    {"matAmbient", &gTransparencyProgram.matAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gTransparencyProgram.matDiffuse, UniformLoad::Float, 0.6f},
    {"emissive", &gTransparencyProgram.emissive, UniformLoad::Float, 0.0f},
    {"shininess", &gTransparencyProgram.shininess, UniformLoad::Float, 0.0f},
    {"decal", &gTransparencyProgram.decal, UniformLoad::Unit, 0},
    {"decal2", &gTransparencyProgram.decal2, UniformLoad::Unit, 1},
    {"decal3", &gTransparencyProgram.decal3, UniformLoad::Unit, 2},
    {"DistortShadowTexel", &gTransparencyProgram.distortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kMapUniforms[] = {
    {"LightNow", &gMapProgram.lightNow, UniformLoad::Float, 1.0f},
    {"T0", &gMapProgram.t0, UniformLoad::None},
    {"T1", &gMapProgram.t1, UniformLoad::None},
    {"matAmbient", &gMapProgram.matAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gMapProgram.matDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gMapProgram.matSpecular, UniformLoad::Float, 0.35f},
    {"emissive", &gMapProgram.emissive, UniformLoad::Float, 0.0f},
    {"shininess", &gMapProgram.shininess, UniformLoad::Float, 0.0f},
    {"decal", &gMapProgram.decal, UniformLoad::Unit, 0},
    {"decal2", &gMapProgram.decal2, UniformLoad::Unit, 1},
    {"decal3", &gMapProgram.decal3, UniformLoad::Unit, 2},
    {"decal4", &gMapProgram.decal4, UniformLoad::Unit, 3},
    {"DistortShadowTexel", &gMapProgram.distortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kRoadBumpUniforms[] = {
    {"LightNow", &gRoadBumpProgram.lightNow, UniformLoad::Float, 1.0f},
    {"T0", &gRoadBumpProgram.t0, UniformLoad::None},
    {"T1", &gRoadBumpProgram.t1, UniformLoad::None},
    {"matAmbient", &gRoadBumpProgram.matAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gRoadBumpProgram.matDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gRoadBumpProgram.matSpecular, UniformLoad::Float, 0.65f},
    {"emissive", &gRoadBumpProgram.emissive, UniformLoad::Float, 0.0f},
    {"shininess", &gRoadBumpProgram.shininess, UniformLoad::Float, 0.0f},
    {"decal", &gRoadBumpProgram.decal, UniformLoad::Unit, 0},
    {"decal2", &gRoadBumpProgram.decal2, UniformLoad::Unit, 1},
    {"decal4", &gRoadBumpProgram.decal4, UniformLoad::Unit, 3},
    {"decal5", &gRoadBumpProgram.decal5, UniformLoad::Unit, 4},
    {"decal6", &gRoadBumpProgram.decal6, UniformLoad::Unit, 5},
    {"decal7", &gRoadBumpProgram.decal7, UniformLoad::Unit, 6},
    {"decal8", &gRoadBumpProgram.decal8, UniformLoad::Unit, 7},
    {"decal9", &gRoadBumpProgram.decal9, UniformLoad::Unit, 8},
};
// RoadBump's set less the second landscape (decal5) and its normal map
// (decal7); decal4 and decal6 point at the first landscape's units until
// the terrain pass points them at the second's.
const ShaderUniform kRoadBumpSingleUniforms[] = {
    {"LightNow", &gRoadBumpSingleProgram.lightNow, UniformLoad::Float, 1.0f},
    {"T0", &gRoadBumpSingleProgram.t0, UniformLoad::None},
    {"T1", &gRoadBumpSingleProgram.t1, UniformLoad::None},
    {"matAmbient", &gRoadBumpSingleProgram.matAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gRoadBumpSingleProgram.matDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gRoadBumpSingleProgram.matSpecular, UniformLoad::Float, 0.65f},
    {"emissive", &gRoadBumpSingleProgram.emissive, UniformLoad::Float, 0.0f},
    {"shininess", &gRoadBumpSingleProgram.shininess, UniformLoad::Float, 0.0f},
    {"decal", &gRoadBumpSingleProgram.decal, UniformLoad::Unit, 0},
    {"decal2", &gRoadBumpSingleProgram.decal2, UniformLoad::Unit, 1},
    {"decal4", &gRoadBumpSingleProgram.decal4, UniformLoad::Unit, 3},
    {"decal6", &gRoadBumpSingleProgram.decal6, UniformLoad::Unit, 5},
    {"decal8", &gRoadBumpSingleProgram.decal8, UniformLoad::Unit, 7},
    {"decal9", &gRoadBumpSingleProgram.decal9, UniformLoad::Unit, 8},
};
const ShaderUniform kReflMapUniforms[] = {
    {"LightNow", &gReflMapProgram.lightNow, UniformLoad::Float, 1.0f},
    {"decal", &gReflMapProgram.decal, UniformLoad::Unit, 0},
};
const ShaderUniform kGrassUniforms[] = {
    {"Time", &gGrassProgram.time, UniformLoad::Time},
    {"Right", &gGrassProgram.right, UniformLoad::None},
    {"Up", &gGrassProgram.up, UniformLoad::None},
    {"T0", &gGrassProgram.t0, UniformLoad::None},
    {"T1", &gGrassProgram.t1, UniformLoad::None},
    {"matAmbient", &gGrassProgram.matAmbient, UniformLoad::Float, 1.0f},
    {"matDiffuse", &gGrassProgram.matDiffuse, UniformLoad::Float, 0.5f},
    {"emissive", &gGrassProgram.emissive, UniformLoad::Float, 0.0f},
    {"shininess", &gGrassProgram.shininess, UniformLoad::Float, 0.0f},
    {"decal", &gGrassProgram.decal, UniformLoad::Unit, 0},
    {"decal2", &gGrassProgram.decal2, UniformLoad::Unit, 1},
    {"DistortShadowTexel", &gGrassProgram.distortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kTransparencyForShadowMapUniforms[] = {
    {"decal", &gTransparencyForShadowMapProgram.decal, UniformLoad::Unit, 0},
};
const ShaderUniform kTreesUniforms[] = {
    {"Time", &gTreesProgram.time, UniformLoad::Time},
    {"Right", &gTreesProgram.right, UniformLoad::None},
    {"Up", &gTreesProgram.up, UniformLoad::None},
    {"CamPos", &gTreesProgram.camPos, UniformLoad::None},
    {"T0", &gTreesProgram.t0, UniformLoad::None},
    {"T1", &gTreesProgram.t1, UniformLoad::None},
    {"matAmbient", &gTreesProgram.matAmbient, UniformLoad::Float, 1.0f},
    {"matDiffuse", &gTreesProgram.matDiffuse, UniformLoad::Float, 0.5f},
    {"emissive", &gTreesProgram.emissive, UniformLoad::Float, 0.0f},
    {"shininess", &gTreesProgram.shininess, UniformLoad::Float, 0.0f},
    {"decal", &gTreesProgram.decal, UniformLoad::Unit, 0},
    {"decal2", &gTreesProgram.decal2, UniformLoad::Unit, 1},
    {"decal3", &gTreesProgram.decal3, UniformLoad::Unit, 2},
    {"DistortShadowTexel", &gTreesProgram.distortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kWaterUniforms[] = {
    {"decal", &gWaterProgram.decal, UniformLoad::Unit, 0},
    {"envMap", &gWaterProgram.envMap, UniformLoad::Unit, 1},
    {"noiseMap", &gWaterProgram.noiseMap, UniformLoad::Unit, 2},
    {"time", &gWaterProgram.time, UniformLoad::Time},
    {"amplitude", &gWaterProgram.amplitude, UniformLoad::Float, 1.0f},
};

// Fragment sources written once for several programs (GLSL 1.20 has no
// include), as bits of Program::shared. A program gets those it names, in
// this order, each one's own #version line left out: the turned shadow
// taps read the noise tiling of the lighting source.
enum SharedSource : unsigned {
  kSharedLighting = 1u << 0,    // CommonLightingPS.glsl: material terms, eye and window, light 0
  kSharedShadow = 1u << 1,      // CommonShadowPS.glsl: the shadow map's reads
  kSharedNormalMap = 1u << 2,   // CommonNormalMapPS.glsl: the tangent frame
  kSharedFade = 1u << 3,        // CommonFadePS.glsl: the fade into the sky
  kSharedTerrain = 1u << 4,     // CommonTerrainPS.glsl: the terrain's road, light and fade
  kSharedReflective = 1u << 5,  // CommonReflectivePS.glsl: a surface lit like the trucks
  // Not a source: the program's glow layer is weighed by an emissive that
  // no pass sets, so while its table loads 0 the program is built without
  // the glow's reads (NO_GLOW): a software rasteriser pays for every read.
  // Building drops the bit from a program whose table loads another value.
  kSkipZeroGlow = 1u << 6,
};
constexpr const char* kSharedSourceFiles[] = {"CommonLightingPS.glsl",  "CommonShadowPS.glsl",
                                              "CommonNormalMapPS.glsl", "CommonFadePS.glsl",
                                              "CommonTerrainPS.glsl",   "CommonReflectivePS.glsl"};
constexpr unsigned kLitShadowed = kSharedLighting | kSharedShadow;
constexpr unsigned kTerrainSources =
    kLitShadowed | kSharedNormalMap | kSharedFade | kSharedTerrain | kSkipZeroGlow;
constexpr unsigned kReflectiveSources = kLitShadowed | kSharedNormalMap | kSharedReflective;

struct Program {
  int index;
  const char* name;        // the fragment source is base/shaders/<name>PS.glsl
  const char* vertexName;  // the vertex source is base/shaders/<vertexName>VS.glsl
  GLhandleARB* object;
  const ShaderUniform* uniforms;
  int uniformCount;
  unsigned shared;  // SharedSource bits: what the fragment source is built after, and how
  GLhandleARB vertexShader, fragmentShader;  // kept attached for the whole run
};

// A program whose vertex source is its own unless it names another's.
// Only RoadBumpSingle borrows one: it is the terrain's second program,
// drawing the triangles that lie wholly on one landscape with half the
// landscape reads of RoadBump (a software rasteriser pays for every read
// of every pixel), and it needs exactly RoadBump's vertex work.
constexpr Program MakeProgram(int index, const char* name, GLhandleARB* object,
                              std::span<const ShaderUniform> uniforms, unsigned shared = 0,
                              const char* vertexName = nullptr) {
  return {index, name, vertexName ? vertexName : name, object, uniforms.data(), int(uniforms.size()),
          shared, 0, 0};
}

Program gPrograms[kShaderProgramCount] = {
    MakeProgram(kProgLight, "Light", &gLightProgram.object, kLightUniforms, kReflectiveSources),
    MakeProgram(kProgBlur, "Blur", &gBlurProgram.object, kBlurUniforms),
    MakeProgram(kProgHDR, "HDR", &gHDRProgram.object, kHDRUniforms),
    MakeProgram(kProgRadialBlur, "RadialBlur", &gRadialBlurProgram.object, kRadialBlurUniforms),
    MakeProgram(kProgTransparency, "Transparency", &gTransparencyProgram.object, kTransparencyUniforms,
                kLitShadowed | kSharedFade),
    MakeProgram(kProgMap, "Map", &gMapProgram.object, kMapUniforms, kLitShadowed | kSharedFade),
    MakeProgram(kProgRoadBump, "RoadBump", &gRoadBumpProgram.object, kRoadBumpUniforms, kTerrainSources),
    MakeProgram(kProgReflMap, "ReflMap", &gReflMapProgram.object, kReflMapUniforms),
    MakeProgram(kProgBlurSmoke, "BlurSmoke", &gBlurSmokeProgram.object, kBlurSmokeUniforms),
    MakeProgram(kProgGrass, "Grass", &gGrassProgram.object, kGrassUniforms, kSharedLighting | kSharedFade),
    MakeProgram(kProgTransparencyForShadowMap, "TransparencyForShadowMap", &gTransparencyForShadowMapProgram.object,
                kTransparencyForShadowMapUniforms),
    MakeProgram(kProgTrees, "Trees", &gTreesProgram.object, kTreesUniforms, kSharedLighting | kSharedFade),
    MakeProgram(kProgWater, "Water", &gWaterProgram.object, kWaterUniforms),
    MakeProgram(kProgDirtTrace, "DirtTrace", &gDirtTraceProgram.object, kDirtTraceUniforms, kReflectiveSources),
    MakeProgram(kProgRoadBumpSingle, "RoadBumpSingle", &gRoadBumpSingleProgram.object, kRoadBumpSingleUniforms,
                kTerrainSources, "RoadBump"),
};

Program* FindProgram(int set) {
  for (Program& program : gPrograms) {
    if (program.index == set) return &program;
  }
  return nullptr;
}

// A whole source file, or false (said on stderr) when it cannot be read or
// holds a NUL byte, which would cut the source short where GL reads it.
bool ReadSource(const std::string& path, std::string* text) {
  std::vector<uint8_t> bytes;
  if (!ReadAssetFile(path.c_str(), &bytes)) {
    std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
    return false;
  }
  const auto nul = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  if (nul != bytes.end()) {
    std::fprintf(stderr, "%s: damaged, a NUL byte at offset %td\n", path.c_str(), nul - bytes.begin());
    return false;
  }
  text->assign(bytes.begin(), bytes.end());
  return true;
}

// Where the text after a source's #version line begins; 0 without one.
size_t AfterVersionLine(const std::string& text) {
  const size_t version = text.starts_with("#version") ? 0 : text.find("\n#version");
  if (version == std::string::npos) return 0;
  const size_t end = text.find('\n', version + 1);
  return end == std::string::npos ? text.size() : end + 1;
}

// The text after a source's #version line, opened with a #line directive
// that keeps a compile log's "source:line" pointing into the file: source 0
// is the program's own file, 1 on the shared files in their table order.
std::string BodyOf(const std::string& text, size_t sourceNumber) {
  const size_t head = AfterVersionLine(text);
  const auto headLines = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(head), '\n');
  // Under GLSL 1.20 the line after "#line n" is line n + 1.
  return "#line " + std::to_string(headLines) + " " + std::to_string(sourceNumber) + "\n" + text.substr(head);
}

// The program's own source with the shared sources it names placed after
// its #version line, which must come before any code. With shadows off the
// shadow source is built to read nothing: the setting takes the shadow
// map's reads off every pixel, not only the map's drawing. A glow weighed
// by 0 is not read either.
bool ComposeSource(const std::string& path, unsigned shared, std::string* source) {
  std::string own;
  if (!ReadSource(path, &own)) return false;
  if (shared == 0) {
    *source = own;
    return true;
  }
  *source = own.substr(0, AfterVersionLine(own));
  if ((shared & kSharedShadow) != 0 && gShadowMapSize <= kShadowMapSizeOff) *source += "#define NO_SHADOW_MAP\n";
  if ((shared & kSkipZeroGlow) != 0) *source += "#define NO_GLOW\n";
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  for (size_t k = 0; k < std::size(kSharedSourceFiles); ++k) {
    if ((shared & (1u << k)) == 0) continue;
    std::string common;
    if (!ReadSource(folder + kSharedSourceFiles[k], &common)) return false;
    *source += BodyOf(common, k + 1);
  }
  *source += BodyOf(own, 0);
  return true;
}

// Which shared file each source number of a compile log names.
std::string SharedSourceNumbers(unsigned shared) {
  std::string numbers;
  for (size_t k = 0; k < std::size(kSharedSourceFiles); ++k) {
    if ((shared & (1u << k)) == 0) continue;
    numbers += (numbers.empty() ? " (sources " : ", ") + std::to_string(k + 1) + " " + kSharedSourceFiles[k];
  }
  return numbers.empty() ? numbers : numbers + ")";
}

// Compiles one program source into a new shader object attached to the
// program. A compile failure is only printed here: the link that follows
// fails and says so. False when a file cannot be read.
bool AttachShader(GLhandleARB program, GLenum kind, const std::string& path, unsigned shared,
                  GLhandleARB* shader) {
  std::string text;
  if (!ComposeSource(path, shared, &text)) return false;
  *shader = glCreateShaderObjectARB(kind);
  const GLcharARB* source = text.c_str();
  glShaderSourceARB(*shader, 1, &source, nullptr);
  glCompileShaderARB(*shader);
  GLint compiled = 0;
  glGetObjectParameterivARB(*shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
  if (!compiled) {
    char log[kInfoLogSize] = {};
    glGetInfoLogARB(*shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "%s%s: %s\n", path.c_str(), SharedSourceNumbers(shared).c_str(), log);
  }
  glAttachObjectARB(program, *shader);
  return true;
}

// Whether the program's table loads its emissive as the constant 0.
bool LoadsNoGlow(const Program& program) {
  for (int k = 0; k < program.uniformCount; ++k) {
    const ShaderUniform& uniform = program.uniforms[k];
    if (std::string_view(uniform.name) == "emissive") return uniform.load == UniformLoad::Float && uniform.value == 0.0f;
  }
  return false;
}

bool BuildProgram(Program& program) {
  const unsigned shared = LoadsNoGlow(program) ? program.shared : program.shared & ~unsigned{kSkipZeroGlow};
  *program.object = glCreateProgramObjectARB();
  const std::string folder = "base/shaders/";
  if (!AttachShader(*program.object, GL_VERTEX_SHADER_ARB, folder + program.vertexName + "VS.glsl", 0,
                    &program.vertexShader) ||
      !AttachShader(*program.object, GL_FRAGMENT_SHADER_ARB, folder + program.name + "PS.glsl", shared,
                    &program.fragmentShader)) {
    return false;
  }
  glLinkProgramARB(*program.object);
  GLint linked = 0;
  glGetObjectParameterivARB(*program.object, GL_OBJECT_LINK_STATUS_ARB, &linked);
  if (!linked) {
    char log[kInfoLogSize] = {};
    glGetInfoLogARB(*program.object, sizeof log, nullptr, log);
    Sys_MessageBox("Error linking shaders...", log, MessageIcon::Information);
    return false;
  }
  for (int k = 0; k < program.uniformCount; ++k) {
    const ShaderUniform& uniform = program.uniforms[k];
    *uniform.location = glGetUniformLocationARB(*program.object, uniform.name);
  }
  return true;
}

}  // namespace

bool BuildShaderPrograms() {
  if (!FetchShaderEntryPoints()) return false;
  for (Program& program : gPrograms) {
    if (!BuildProgram(program)) return false;
  }
  return true;
}

void SetShaderUniforms(int set) {
  Program* program = FindProgram(set);
  if (program == nullptr) return;
  for (int k = 0; k < program->uniformCount; ++k) {
    const ShaderUniform& uniform = program->uniforms[k];
    switch (uniform.load) {
      case UniformLoad::None: break;
      case UniformLoad::Unit: glUniform1iARB(*uniform.location, static_cast<GLint>(uniform.value)); break;
      case UniformLoad::Float: glUniform1fARB(*uniform.location, uniform.value); break;
      case UniformLoad::Time: glUniform1fARB(*uniform.location, gMenuClock * kTimeScale); break;
      case UniformLoad::ShadowTexel:
        glUniform4fARB(*uniform.location, gScreenWidth / kShadowNoiseTile, gScreenHeight / kShadowNoiseTile,
                       1.0f / gShadowMapSize, 1.0f / gShadowMapSize);
        break;
    }
  }
}

const ShaderUniform* ShaderUniformsOf(int set, int* count) {
  Program* program = FindProgram(set);
  *count = program ? program->uniformCount : 0;
  return program ? program->uniforms : nullptr;
}

GLhandleARB ShaderProgramOf(int set) {
  Program* program = FindProgram(set);
  return program ? *program->object : 0;
}
