// Shared by the fragment shaders that darken light 0 with the shadow map,
// ahead of their own source and after CommonLightingPS.glsl (NoiseCoord).
#version 120

varying vec4 vShadowCoord;  // this pixel in the shadow map, before the divide by w

// Light 0's share at this pixel, 0 to 1: four taps around the shadow
// coordinate, turned by the noise volume so that the edge dithers instead
// of stepping.
float Shadow(sampler2DShadow shadowMap, sampler3D noise) {
  float angle = texture3D(noise, vec3(NoiseCoord(), 0.5)).g * 6.2831853;
  vec2 along = vec2(cos(angle), sin(angle)) * DistortShadowTexel.zw * 1.5 * vShadowCoord.w;
  vec2 across = vec2(-along.y, along.x);
  float lit = shadow2DProj(shadowMap, vShadowCoord + vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(shadowMap, vShadowCoord - vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(shadowMap, vShadowCoord + vec4(across, 0.0, 0.0)).r;
  lit += shadow2DProj(shadowMap, vShadowCoord - vec4(across, 0.0, 0.0)).r;
  return lit * 0.25;
}
