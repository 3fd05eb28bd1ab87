// BlurSmoke: one direction of the soft-particle blur over a rectangle
// texture (decal, unit 0), nine taps texOffset source pixels apart. Colour
// is weighted by alpha, so the transparent surroundings do not darken the
// smoke's edge; the alpha is spread and scaled by intensity.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect decal;
uniform vec2 texOffset;  // source pixels between taps
uniform float intensity;

vec4 colourSum;
float alphaSum;

void Tap(vec2 at, float weight) {
  vec4 texel = texture2DRect(decal, at);
  colourSum.rgb += texel.rgb * texel.a * weight;
  alphaSum += texel.a * weight;
}

void main() {
  colourSum = vec4(0.0);
  alphaSum = 0.0;
  vec2 at = gl_TexCoord[0].st;
  Tap(at, 0.2270270);
  for (int k = 1; k <= 4; ++k) {
    float weight = k == 1 ? 0.1945946 : k == 2 ? 0.1216216 : k == 3 ? 0.0540541 : 0.0162162;
    Tap(at + texOffset * float(k), weight);
    Tap(at - texOffset * float(k), weight);
  }
  vec3 colour = alphaSum > 0.0001 ? colourSum.rgb / alphaSum : vec3(0.0);
  gl_FragColor = vec4(colour, clamp(alphaSum * intensity, 0.0, 1.0));
}
