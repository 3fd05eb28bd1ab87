// Shared by the terrain's fragment shaders (RoadBump, RoadBumpSingle),
// after CommonLighting, CommonShadow, CommonNormalMap and CommonFade: the
// road over the landscape, lit with the shadow map, and faded into the sky.
// The section texture (decal, unit 0, over uv0) is the road, its alpha
// marking road (1) over landscape (0); shadow map (decal2, unit 1); two
// glow layers (decal8, decal9, units 7 and 8) added in proportion to
// emissive, not read at all when built with NO_GLOW.
// LightNow: share of the sunlight. Alpha falls from 1 at T0 to 0 at T1.
#version 120

uniform float LightNow;
uniform float matSpecular;
uniform sampler2D decal;
uniform sampler2DShadow decal2;
uniform sampler2D decal8;
uniform sampler2D decal9;

const float kDefaultExponent = 32.0;  // the highlight's exponent while shininess is 0

// The terrain's colour and alpha at this pixel, from the landscape's colour
// and normal-map texel there (0 to 1 per axis).
vec4 ShadeTerrain(vec3 landscape, vec3 normalTexel) {
  vec2 section = gl_TexCoord[0].st;
  vec4 road = texture2D(decal, section);
  vec3 ground = mix(landscape, road.rgb, road.a);

  vec3 n = SurfaceNormal(normalTexel);
  vec3 toEye = ToEye();
  vec3 toLight = ToLight();

  float lit = Shadow(decal2) * LightNow;
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float specular = Highlight(n, toLight, toEye, ShininessOr(kDefaultExponent)) * matSpecular * lit;

  vec3 colour = ground * (matAmbient + matDiffuse * diffuse) + specular * ground;
#ifndef NO_GLOW
  vec4 glow = texture2D(decal8, section) + texture2D(decal9, gl_TexCoord[1].st);
  colour += glow.rgb * emissive;
#endif
  float fade = Fade(length(vEyePos), 0.0);
  return vec4(colour, fade);
}
