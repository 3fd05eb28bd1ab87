// Blur: one direction of the separable glow blur over a rectangle texture
// (decal, unit 0), nine taps texOffset source pixels apart, times
// intensity. A horizontal pass (texOffset.y = 0; the first of the chain,
// which also scales the window down) keeps only the bright part of the
// picture, so that the glow added over the scene lights its highlights.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect decal;
uniform vec2 texOffset;  // source pixels between taps
uniform float intensity;

const float kBrightFrom = 0.55;  // colour level where the glow starts
const float kBrightGain = 2.2;

vec3 Tap(vec2 at) {
  vec3 colour = texture2DRect(decal, at).rgb;
  return texOffset.y == 0.0 ? max(colour - kBrightFrom, 0.0) * kBrightGain : colour;
}

void main() {
  vec2 at = gl_TexCoord[0].st;
  vec3 sum = Tap(at) * 0.2270270;
  sum += (Tap(at + texOffset) + Tap(at - texOffset)) * 0.1945946;
  sum += (Tap(at + texOffset * 2.0) + Tap(at - texOffset * 2.0)) * 0.1216216;
  sum += (Tap(at + texOffset * 3.0) + Tap(at - texOffset * 3.0)) * 0.0540541;
  sum += (Tap(at + texOffset * 4.0) + Tap(at - texOffset * 4.0)) * 0.0162162;
  gl_FragColor = vec4(sum * intensity, 1.0);
}
