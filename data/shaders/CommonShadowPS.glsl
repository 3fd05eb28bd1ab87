// Shared by the fragment shaders that darken light 0 with the shadow map,
// ahead of their own source and after CommonLightingPS.glsl (NoiseCoord).
// The map's linear filter makes every read compare the four texels around
// the coordinate and blend the four answers. Built with shadows off
// (NO_SHADOW_MAP defined) every pixel is lit and nothing reads the map.
#version 120

varying vec4 vShadowCoord;  // this pixel in the shadow map, before the divide by w

// Light 0's share at this pixel, 0 to 1, from one read: the edge ramps
// over a texel instead of stepping.
float Shadow(sampler2DShadow shadowMap) {
#ifdef NO_SHADOW_MAP
  return 1.0;
#else
  return shadow2DProj(shadowMap, vShadowCoord).r;
#endif
}

// The same share, softer: four reads around the coordinate, turned by the
// noise volume so that the edge dithers. For surfaces that thin shadows
// fall on in plain view (the showroom's floor under the window bars), which
// one read draws as hard lines.
float TurnedShadow(sampler2DShadow shadowMap, sampler3D noise) {
#ifdef NO_SHADOW_MAP
  return 1.0;
#else
  float angle = texture3D(noise, vec3(NoiseCoord(), 0.5)).g * 6.2831853;
  vec2 along = vec2(cos(angle), sin(angle)) * DistortShadowTexel.zw * 1.5 * vShadowCoord.w;
  vec2 across = vec2(-along.y, along.x);
  float lit = shadow2DProj(shadowMap, vShadowCoord + vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(shadowMap, vShadowCoord - vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(shadowMap, vShadowCoord + vec4(across, 0.0, 0.0)).r;
  lit += shadow2DProj(shadowMap, vShadowCoord - vec4(across, 0.0, 0.0)).r;
  return lit * 0.25;
#endif
}
