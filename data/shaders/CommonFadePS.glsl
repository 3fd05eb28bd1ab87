// Shared by the fragment shaders that fade far surfaces into the sky,
// ahead of their own source.
#version 120

uniform float T0;  // distance where the fade begins
uniform float T1;  // distance where nothing is left

// 1 up to distance T0, falling to 0 at T1; dither moves the fall per pixel
// (in shares of the fading range).
float Fade(float range, float dither) {
  return 1.0 - clamp((range - T0) / max(T1 - T0, 0.001) + dither, 0.0, 1.0);
}
