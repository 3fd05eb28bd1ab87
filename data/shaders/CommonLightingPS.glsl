// Shared by every lit fragment shader, ahead of its own source: the
// material's terms, the eye and window positions its vertex shader sends,
// the noise tiling of the window, and light 0's direction and highlight.
#version 120

uniform float matAmbient;  // the material's share of ambient light
uniform float matDiffuse;  // and of light 0
uniform float emissive;    // its own glow
uniform float shininess;   // the highlight's exponent; each shader says what 0 means
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec4 vClipPos;

// This pixel's coordinate in a noise texture tiled every 64 window pixels.
vec2 NoiseCoord() {
  vec2 screen = vClipPos.xy / vClipPos.w * 0.5 + 0.5;
  return screen * DistortShadowTexel.xy;
}

// Unit vector towards light 0 (a direction when its w is 0, else a point).
vec3 ToLight() {
  vec4 lightPos = gl_LightSource[0].position;
  return normalize(lightPos.xyz - vEyePos * lightPos.w);
}

vec3 ToEye() {
  return normalize(-vEyePos);
}

// The material's highlight exponent, or `fallback` where it gives none.
float ShininessOr(float fallback) {
  return shininess > 0.0 ? shininess : fallback;
}

// The highlight of normal n, 0 to 1, before the material's strength.
float Highlight(vec3 n, vec3 toLight, vec3 toEye, float exponent) {
  return pow(max(dot(n, normalize(toLight + toEye)), 0.0), exponent);
}
