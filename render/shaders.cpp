// Builds the programs from base/shaders/ (read with LoadTextFile), the
// fragment sources they share placed after each program's #version line,
// and loads their fixed uniforms. Building leaves no program current; SetShaderUniforms
// changes only the uniforms of the current program.
#include "render/shaders.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "framework/font.h"  // LoadTextFile
#include "framework/globals.h"
#include "framework/model.h"
#include "platform/platform.h"

GLhandleARB gProgLight, gProgBlur, gProgHDR, gProgRadialBlur, gProgTransparency, gProgMap, gProgRoadBump,
    gProgReflMap, gProgBlurSmoke, gProgGrass, gProgTransparencyForShadowMap, gProgTrees, gProgWater,
    gProgDirtTrace, gProgRoadBumpSingle;

GLint gLocLightMatAmbient = -1, gLocLightMatDiffuse = -1, gLocLightMatSpecular = -1, gLocLightEmissive = -1,
      gLocLightShininess = -1, gLocLightDecal = -1, gLocLightDecal2 = -1, gLocLightDecal3 = -1,
      gLocLightDecal4 = -1, gLocLightDecal5 = -1, gLocLightGlassNow = -1, gLocLightDistortShadowTexel = -1;
GLint gLocBlurTexOffset = -1, gLocBlurIntensity = -1, gLocBlurDecal = -1;
GLint gLocHDRExposure = -1, gLocHDRGamma = -1, gLocHDRDecal = -1, gLocHDRDecal2 = -1;
GLint gLocRadialBlurDecal = -1, gLocRadialBlurTexSize = -1, gLocRadialBlurSpeed = -1;
GLint gLocTransparencyT0 = -1, gLocTransparencyT1 = -1, gLocTransparencyMatAmbient = -1,
      gLocTransparencyMatDiffuse = -1, gLocTransparencyEmissive = -1, gLocTransparencyShininess = -1,
      gLocTransparencyDecal = -1, gLocTransparencyDecal2 = -1, gLocTransparencyDecal3 = -1,
      gLocTransparencyDistortShadowTexel = -1;
GLint gLocMapT0 = -1, gLocMapT1 = -1, gLocMapMatAmbient = -1, gLocMapMatDiffuse = -1, gLocMapMatSpecular = -1,
      gLocMapEmissive = -1, gLocMapShininess = -1, gLocMapDecal = -1, gLocMapDecal2 = -1, gLocMapDecal3 = -1,
      gLocMapDecal4 = -1, gLocMapDistortShadowTexel = -1;
GLint gLocRoadBumpLightNow = -1, gLocRoadBumpT0 = -1, gLocRoadBumpT1 = -1, gLocRoadBumpMatAmbient = -1,
      gLocRoadBumpMatDiffuse = -1, gLocRoadBumpMatSpecular = -1, gLocRoadBumpEmissive = -1,
      gLocRoadBumpShininess = -1, gLocRoadBumpDecal = -1, gLocRoadBumpDecal2 = -1, gLocRoadBumpDecal3 = -1,
      gLocRoadBumpDecal4 = -1, gLocRoadBumpDecal5 = -1, gLocRoadBumpDecal6 = -1, gLocRoadBumpDecal7 = -1,
      gLocRoadBumpDecal8 = -1, gLocRoadBumpDecal9 = -1, gLocRoadBumpDistortShadowTexel = -1;
GLint gLocReflMapLightNow = -1, gLocReflMapDecal = -1;
GLint gLocBlurSmokeTexOffset = -1, gLocBlurSmokeIntensity = -1, gLocBlurSmokeDecal = -1;
GLint gLocGrassTime = -1, gLocGrassRight = -1, gLocGrassUp = -1, gLocGrassT0 = -1, gLocGrassT1 = -1,
      gLocGrassMatAmbient = -1, gLocGrassMatDiffuse = -1, gLocGrassEmissive = -1, gLocGrassShininess = -1,
      gLocGrassDecal = -1, gLocGrassDecal2 = -1, gLocGrassDistortShadowTexel = -1;
GLint gLocTransparencyForShadowMapDecal = -1;
GLint gLocTreesTime = -1, gLocTreesRight = -1, gLocTreesUp = -1, gLocTreesCamPos = -1, gLocTreesT0 = -1,
      gLocTreesT1 = -1, gLocTreesMatAmbient = -1, gLocTreesMatDiffuse = -1, gLocTreesEmissive = -1,
      gLocTreesShininess = -1, gLocTreesDecal = -1, gLocTreesDecal2 = -1, gLocTreesDecal3 = -1,
      gLocTreesDistortShadowTexel = -1;
GLint gLocWaterDecal = -1, gLocWaterEnvMap = -1, gLocWaterNoiseMap = -1, gLocWaterTime = -1,
      gLocWaterAmplitude = -1;
GLint gLocDirtTraceMatAmbient = -1, gLocDirtTraceMatDiffuse = -1, gLocDirtTraceMatSpecular = -1,
      gLocDirtTraceEmissive = -1, gLocDirtTraceShininess = -1, gLocDirtTraceDecal = -1,
      gLocDirtTraceDecal2 = -1, gLocDirtTraceDecal3 = -1, gLocDirtTraceDecal4 = -1, gLocDirtTraceDecal5 = -1,
      gLocDirtTraceRefInt = -1, gLocDirtTraceGlassNow = -1, gLocDirtTraceGlassAlpha = -1,
      gLocDirtTraceLightNow = -1, gLocDirtTraceDistortShadowTexel = -1;
GLint gLocRoadBumpSingleLightNow = -1, gLocRoadBumpSingleT0 = -1, gLocRoadBumpSingleT1 = -1,
      gLocRoadBumpSingleMatAmbient = -1, gLocRoadBumpSingleMatDiffuse = -1, gLocRoadBumpSingleMatSpecular = -1,
      gLocRoadBumpSingleEmissive = -1, gLocRoadBumpSingleShininess = -1, gLocRoadBumpSingleDecal = -1,
      gLocRoadBumpSingleDecal2 = -1, gLocRoadBumpSingleDecal3 = -1, gLocRoadBumpSingleDecal4 = -1,
      gLocRoadBumpSingleDecal6 = -1, gLocRoadBumpSingleDecal8 = -1, gLocRoadBumpSingleDecal9 = -1,
      gLocRoadBumpSingleDistortShadowTexel = -1;

namespace {

constexpr float kTimeScale = 1.25f;        // shader time per unit of gMenuClock
constexpr float kShadowNoiseTile = 64.0f;  // window pixels per tile of the shadow noise
constexpr int kInfoLogSize = 4096;         // characters of a link log shown

const ShaderUniform kLightUniforms[] = {
    {"matAmbient", &gLocLightMatAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gLocLightMatDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gLocLightMatSpecular, UniformLoad::Float, 0.35f},
    {"emissive", &gLocLightEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocLightShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocLightDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocLightDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocLightDecal3, UniformLoad::Unit, 2},
    {"decal4", &gLocLightDecal4, UniformLoad::Unit, 3},
    {"decal5", &gLocLightDecal5, UniformLoad::Unit, 4},
    {"RefInt", &gLocLightRefInt, UniformLoad::Float, 1.0f},
    {"GlassNow", &gLocLightGlassNow, UniformLoad::None},
    {"GlassAlpha", &gLocLightGlassAlpha, UniformLoad::None},
    {"LightNow", &gLocLightLightNow, UniformLoad::None},
    {"DistortShadowTexel", &gLocLightDistortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kBlurUniforms[] = {
    {"texOffset", &gLocBlurTexOffset, UniformLoad::None},
    {"intensity", &gLocBlurIntensity, UniformLoad::None},
    {"decal", &gLocBlurDecal, UniformLoad::None},
};
const ShaderUniform kHDRUniforms[] = {
    {"exposure", &gLocHDRExposure, UniformLoad::None},
    {"gamma", &gLocHDRGamma, UniformLoad::None},
    {"decal", &gLocHDRDecal, UniformLoad::None},
    {"decal2", &gLocHDRDecal2, UniformLoad::None},
};
const ShaderUniform kRadialBlurUniforms[] = {
    {"decal", &gLocRadialBlurDecal, UniformLoad::None},
    {"TexSize", &gLocRadialBlurTexSize, UniformLoad::None},
    {"Speed", &gLocRadialBlurSpeed, UniformLoad::None},
};
const ShaderUniform kTransparencyUniforms[] = {
    {"T0", &gLocTransparencyT0, UniformLoad::None},
    {"T1", &gLocTransparencyT1, UniformLoad::None},
    {"matAmbient", &gLocTransparencyMatAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gLocTransparencyMatDiffuse, UniformLoad::Float, 0.6f},
    {"emissive", &gLocTransparencyEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocTransparencyShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocTransparencyDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocTransparencyDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocTransparencyDecal3, UniformLoad::Unit, 2},
    {"DistortShadowTexel", &gLocTransparencyDistortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kMapUniforms[] = {
    {"LightNow", &gLocMapLightNow, UniformLoad::Float, 1.0f},
    {"T0", &gLocMapT0, UniformLoad::None},
    {"T1", &gLocMapT1, UniformLoad::None},
    {"matAmbient", &gLocMapMatAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gLocMapMatDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gLocMapMatSpecular, UniformLoad::Float, 0.35f},
    {"emissive", &gLocMapEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocMapShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocMapDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocMapDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocMapDecal3, UniformLoad::Unit, 2},
    {"decal4", &gLocMapDecal4, UniformLoad::Unit, 3},
    {"DistortShadowTexel", &gLocMapDistortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kRoadBumpUniforms[] = {
    {"LightNow", &gLocRoadBumpLightNow, UniformLoad::Float, 1.0f},
    {"T0", &gLocRoadBumpT0, UniformLoad::None},
    {"T1", &gLocRoadBumpT1, UniformLoad::None},
    {"matAmbient", &gLocRoadBumpMatAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gLocRoadBumpMatDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gLocRoadBumpMatSpecular, UniformLoad::Float, 0.65f},
    {"emissive", &gLocRoadBumpEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocRoadBumpShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocRoadBumpDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocRoadBumpDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocRoadBumpDecal3, UniformLoad::Unit, 2},
    {"decal4", &gLocRoadBumpDecal4, UniformLoad::Unit, 3},
    {"decal5", &gLocRoadBumpDecal5, UniformLoad::Unit, 4},
    {"decal6", &gLocRoadBumpDecal6, UniformLoad::Unit, 5},
    {"decal7", &gLocRoadBumpDecal7, UniformLoad::Unit, 6},
    {"decal8", &gLocRoadBumpDecal8, UniformLoad::Unit, 7},
    {"decal9", &gLocRoadBumpDecal9, UniformLoad::Unit, 8},
    {"DistortShadowTexel", &gLocRoadBumpDistortShadowTexel, UniformLoad::ShadowTexel},
};
// RoadBump's set less the second landscape (decal5) and its normal map
// (decal7); decal4 and decal6 point at the first landscape's units until
// the terrain pass points them at the second's.
const ShaderUniform kRoadBumpSingleUniforms[] = {
    {"LightNow", &gLocRoadBumpSingleLightNow, UniformLoad::Float, 1.0f},
    {"T0", &gLocRoadBumpSingleT0, UniformLoad::None},
    {"T1", &gLocRoadBumpSingleT1, UniformLoad::None},
    {"matAmbient", &gLocRoadBumpSingleMatAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gLocRoadBumpSingleMatDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gLocRoadBumpSingleMatSpecular, UniformLoad::Float, 0.65f},
    {"emissive", &gLocRoadBumpSingleEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocRoadBumpSingleShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocRoadBumpSingleDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocRoadBumpSingleDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocRoadBumpSingleDecal3, UniformLoad::Unit, 2},
    {"decal4", &gLocRoadBumpSingleDecal4, UniformLoad::Unit, 3},
    {"decal6", &gLocRoadBumpSingleDecal6, UniformLoad::Unit, 5},
    {"decal8", &gLocRoadBumpSingleDecal8, UniformLoad::Unit, 7},
    {"decal9", &gLocRoadBumpSingleDecal9, UniformLoad::Unit, 8},
    {"DistortShadowTexel", &gLocRoadBumpSingleDistortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kReflMapUniforms[] = {
    {"LightNow", &gLocReflMapLightNow, UniformLoad::Float, 1.0f},
    {"decal", &gLocReflMapDecal, UniformLoad::Unit, 0},
};
const ShaderUniform kBlurSmokeUniforms[] = {
    {"texOffset", &gLocBlurSmokeTexOffset, UniformLoad::None},
    {"intensity", &gLocBlurSmokeIntensity, UniformLoad::None},
    {"decal", &gLocBlurSmokeDecal, UniformLoad::None},
};
const ShaderUniform kGrassUniforms[] = {
    {"Time", &gLocGrassTime, UniformLoad::Time},
    {"Right", &gLocGrassRight, UniformLoad::None},
    {"Up", &gLocGrassUp, UniformLoad::None},
    {"T0", &gLocGrassT0, UniformLoad::None},
    {"T1", &gLocGrassT1, UniformLoad::None},
    {"matAmbient", &gLocGrassMatAmbient, UniformLoad::Float, 1.0f},
    {"matDiffuse", &gLocGrassMatDiffuse, UniformLoad::Float, 0.5f},
    {"emissive", &gLocGrassEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocGrassShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocGrassDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocGrassDecal2, UniformLoad::Unit, 1},
    {"DistortShadowTexel", &gLocGrassDistortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kTransparencyForShadowMapUniforms[] = {
    {"decal", &gLocTransparencyForShadowMapDecal, UniformLoad::Unit, 0},
};
const ShaderUniform kTreesUniforms[] = {
    {"Time", &gLocTreesTime, UniformLoad::Time},
    {"Right", &gLocTreesRight, UniformLoad::None},
    {"Up", &gLocTreesUp, UniformLoad::None},
    {"CamPos", &gLocTreesCamPos, UniformLoad::None},
    {"T0", &gLocTreesT0, UniformLoad::None},
    {"T1", &gLocTreesT1, UniformLoad::None},
    {"matAmbient", &gLocTreesMatAmbient, UniformLoad::Float, 1.0f},
    {"matDiffuse", &gLocTreesMatDiffuse, UniformLoad::Float, 0.5f},
    {"emissive", &gLocTreesEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocTreesShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocTreesDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocTreesDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocTreesDecal3, UniformLoad::Unit, 2},
    {"DistortShadowTexel", &gLocTreesDistortShadowTexel, UniformLoad::ShadowTexel},
};
const ShaderUniform kWaterUniforms[] = {
    {"decal", &gLocWaterDecal, UniformLoad::Unit, 0},
    {"envMap", &gLocWaterEnvMap, UniformLoad::Unit, 1},
    {"noiseMap", &gLocWaterNoiseMap, UniformLoad::Unit, 2},
    {"time", &gLocWaterTime, UniformLoad::Time},
    {"amplitude", &gLocWaterAmplitude, UniformLoad::Float, 1.0f},
};
const ShaderUniform kDirtTraceUniforms[] = {
    {"matAmbient", &gLocDirtTraceMatAmbient, UniformLoad::Float, 0.65f},
    {"matDiffuse", &gLocDirtTraceMatDiffuse, UniformLoad::Float, 0.6f},
    {"matSpecular", &gLocDirtTraceMatSpecular, UniformLoad::Float, 0.35f},
    {"emissive", &gLocDirtTraceEmissive, UniformLoad::Float, 0.0f},
    {"shininess", &gLocDirtTraceShininess, UniformLoad::Float, 0.0f},
    {"decal", &gLocDirtTraceDecal, UniformLoad::Unit, 0},
    {"decal2", &gLocDirtTraceDecal2, UniformLoad::Unit, 1},
    {"decal3", &gLocDirtTraceDecal3, UniformLoad::Unit, 2},
    {"decal4", &gLocDirtTraceDecal4, UniformLoad::Unit, 3},
    {"decal5", &gLocDirtTraceDecal5, UniformLoad::Unit, 4},
    {"RefInt", &gLocDirtTraceRefInt, UniformLoad::Float, 1.0f},
    {"GlassNow", &gLocDirtTraceGlassNow, UniformLoad::None},
    {"GlassAlpha", &gLocDirtTraceGlassAlpha, UniformLoad::None},
    {"LightNow", &gLocDirtTraceLightNow, UniformLoad::None},
    {"DistortShadowTexel", &gLocDirtTraceDistortShadowTexel, UniformLoad::ShadowTexel},
};

// Fragment sources written once for several programs (GLSL 1.20 has no
// include), as bits of Program::shared. A program gets those it names, in
// this order, each one's own #version line left out: the shadow taps read
// the noise tiling of the lighting source.
enum SharedSource : unsigned {
  kSharedLighting = 1u << 0,   // CommonLightingPS.glsl: material terms, eye and window, light 0
  kSharedShadow = 1u << 1,     // CommonShadowPS.glsl: the shadow taps
  kSharedNormalMap = 1u << 2,  // CommonNormalMapPS.glsl: the tangent frame
  kSharedFade = 1u << 3,       // CommonFadePS.glsl: the fade into the sky
  kSharedTerrain = 1u << 4,    // CommonTerrainPS.glsl: the terrain's road, light and fade
};
constexpr const char* kSharedSourceFiles[] = {"CommonLightingPS.glsl", "CommonShadowPS.glsl",
                                              "CommonNormalMapPS.glsl", "CommonFadePS.glsl",
                                              "CommonTerrainPS.glsl"};
constexpr unsigned kLitShadowed = kSharedLighting | kSharedShadow;
constexpr unsigned kTerrainSources = kLitShadowed | kSharedNormalMap | kSharedFade | kSharedTerrain;

struct Program {
  int index;
  const char* name;        // the fragment source is base/shaders/<name>PS.glsl
  const char* vertexName;  // the vertex source is base/shaders/<vertexName>VS.glsl
  GLhandleARB* object;
  const ShaderUniform* uniforms;
  int uniformCount;
  unsigned shared;  // SharedSource bits: what the fragment source is built after
  GLhandleARB vertexShader, fragmentShader;  // kept attached for the whole run
};

// A program whose vertex source is its own unless it names another's.
template <int N>
constexpr Program MakeProgram(int index, const char* name, GLhandleARB* object,
                              const ShaderUniform (&uniforms)[N], unsigned shared = 0,
                              const char* vertexName = nullptr) {
  return {index, name, vertexName ? vertexName : name, object, uniforms, N, shared, 0, 0};
}

Program gPrograms[kShaderProgramCount] = {
    MakeProgram(kProgLight, "Light", &gProgLight, kLightUniforms, kLitShadowed | kSharedNormalMap),
    MakeProgram(kProgBlur, "Blur", &gProgBlur, kBlurUniforms),
    MakeProgram(kProgHDR, "HDR", &gProgHDR, kHDRUniforms),
    MakeProgram(kProgRadialBlur, "RadialBlur", &gProgRadialBlur, kRadialBlurUniforms),
    MakeProgram(kProgTransparency, "Transparency", &gProgTransparency, kTransparencyUniforms,
                kLitShadowed | kSharedFade, "Map"),
    MakeProgram(kProgMap, "Map", &gProgMap, kMapUniforms, kLitShadowed | kSharedFade),
    MakeProgram(kProgRoadBump, "RoadBump", &gProgRoadBump, kRoadBumpUniforms, kTerrainSources),
    MakeProgram(kProgReflMap, "ReflMap", &gProgReflMap, kReflMapUniforms),
    MakeProgram(kProgBlurSmoke, "BlurSmoke", &gProgBlurSmoke, kBlurSmokeUniforms),
    MakeProgram(kProgGrass, "Grass", &gProgGrass, kGrassUniforms, kSharedLighting | kSharedFade),
    MakeProgram(kProgTransparencyForShadowMap, "TransparencyForShadowMap", &gProgTransparencyForShadowMap,
                kTransparencyForShadowMapUniforms),
    MakeProgram(kProgTrees, "Trees", &gProgTrees, kTreesUniforms, kSharedLighting | kSharedFade),
    MakeProgram(kProgWater, "Water", &gProgWater, kWaterUniforms),
    MakeProgram(kProgDirtTrace, "DirtTrace", &gProgDirtTrace, kDirtTraceUniforms,
                kLitShadowed | kSharedNormalMap, "Light"),
    MakeProgram(kProgRoadBumpSingle, "RoadBumpSingle", &gProgRoadBumpSingle, kRoadBumpSingleUniforms,
                kTerrainSources, "RoadBump"),
};

Program* FindProgram(int set) {
  for (Program& program : gPrograms) {
    if (program.index == set) return &program;
  }
  return nullptr;
}

bool FetchShaderFunctions() {
  const bool listed =
      Sys_HasGLExtension("GL_ARB_shading_language_100") && Sys_HasGLExtension("GL_ARB_shader_objects");
  bool all = listed;
  all &= Sys_FetchGLIfListed(listed, glCreateProgramObjectARB, "glCreateProgramObjectARB");
  all &= Sys_FetchGLIfListed(listed, glCreateShaderObjectARB, "glCreateShaderObjectARB");
  all &= Sys_FetchGLIfListed(listed, glCompileShaderARB, "glCompileShaderARB");
  all &= Sys_FetchGLIfListed(listed, glLinkProgramARB, "glLinkProgramARB");
  all &= Sys_FetchGLIfListed(listed, glGetInfoLogARB, "glGetInfoLogARB");
  all &= Sys_FetchGLIfListed(listed, glDeleteObjectARB, "glDeleteObjectARB");
  all &= Sys_FetchGLIfListed(listed, glUseProgramObjectARB, "glUseProgramObjectARB");
  all &= Sys_FetchGLIfListed(listed, glShaderSourceARB, "glShaderSourceARB");
  all &= Sys_FetchGLIfListed(listed, glAttachObjectARB, "glAttachObjectARB");
  all &= Sys_FetchGLIfListed(listed, glGetObjectParameterivARB, "glGetObjectParameterivARB");
  all &= Sys_FetchGLIfListed(listed, glGetUniformLocationARB, "glGetUniformLocationARB");
  all &= Sys_FetchGLIfListed(listed, glUniform4fARB, "glUniform4fARB");
  all &= Sys_FetchGLIfListed(listed, glUniform3fARB, "glUniform3fARB");
  all &= Sys_FetchGLIfListed(listed, glUniform2fARB, "glUniform2fARB");
  all &= Sys_FetchGLIfListed(listed, glUniform1fARB, "glUniform1fARB");
  all &= Sys_FetchGLIfListed(listed, glUniform1iARB, "glUniform1iARB");
  all &= Sys_FetchGLIfListed(listed, glUniformMatrix4fvARB, "glUniformMatrix4fvARB");
  return all;
}

// A whole source file, or false (said on stderr) when it cannot be read.
bool ReadSource(const std::string& path, std::string* text) {
  char* loaded = LoadTextFile(path.c_str());
  if (loaded == nullptr) {
    std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
    return false;
  }
  *text = loaded;
  delete[] loaded;
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
// its #version line, which must come before any code.
bool ComposeSource(const std::string& path, unsigned shared, std::string* source) {
  std::string own;
  if (!ReadSource(path, &own)) return false;
  if (shared == 0) {
    *source = own;
    return true;
  }
  *source = own.substr(0, AfterVersionLine(own));
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

bool BuildProgram(Program& program) {
  *program.object = glCreateProgramObjectARB();
  const std::string folder = "base/shaders/";
  if (!AttachShader(*program.object, GL_VERTEX_SHADER_ARB, folder + program.vertexName + "VS.glsl", 0,
                    &program.vertexShader) ||
      !AttachShader(*program.object, GL_FRAGMENT_SHADER_ARB, folder + program.name + "PS.glsl", program.shared,
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
  if (!FetchShaderFunctions()) return false;
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
