// Shared by the fragment shaders of the surfaces lit like the trucks (Light,
// DirtTrace), ahead of their own source and after CommonLighting,
// CommonShadow and CommonNormalMap: their textures and switches, and light
// 0 on the normal-mapped surface. Colour texture (decal, unit 0),
// reflection cube (decal2, unit 1, looked up through the texture matrix of
// unit 1), normal map (decal3, unit 2), shadow map (decal4, unit 3) and the
// noise volume (decal5, unit 4) that turns the shadow taps per pixel.
// RefInt: share of the reflection. GlassNow 1: the glass pass, whose alpha
// GlassAlpha gives; 0: opaque. LightNow: how brightly the surface glows.
#version 120

uniform float matSpecular;
uniform sampler2D decal;
uniform samplerCube decal2;
uniform sampler2D decal3;
uniform sampler2DShadow decal4;
uniform sampler3D decal5;
uniform float RefInt;
uniform float GlassNow;
uniform float GlassAlpha;
uniform float LightNow;

// Light 0 at this pixel of the surface.
struct LitSurface {
  vec3 n;          // the normal, bent by the normal map
  vec3 toEye;
  float diffuse;   // light 0's share on the normal, shadowed
  float specular;  // the highlight, shadowed, at the material's strength
  vec3 mirrored;   // where the reflection cube is looked up
};

// The surface at texture coordinate uv, its highlight of the material's
// exponent or defaultExponent where it gives none.
LitSurface LightSurface(vec2 uv, float defaultExponent) {
  LitSurface surface;
  surface.n = SurfaceNormal(texture2D(decal3, uv).rgb);
  surface.toEye = ToEye();
  vec3 toLight = ToLight();
  float lit = TurnedShadow(decal4, decal5);
  surface.diffuse = max(dot(surface.n, toLight), 0.0) * lit;
  surface.specular =
      Highlight(surface.n, toLight, surface.toEye, ShininessOr(defaultExponent)) * matSpecular * lit;
  surface.mirrored = (gl_TextureMatrix[1] * vec4(reflect(-surface.toEye, surface.n), 0.0)).xyz;
  return surface;
}
