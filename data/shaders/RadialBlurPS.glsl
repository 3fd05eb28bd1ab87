// RadialBlur: a zoom blur of a rectangle texture (decal, unit 0) toward the
// centre of a source of TexSize pixels, longer as Speed (0..1) rises. The
// alpha is the blur's weight: 0 at the centre, growing outward and with
// Speed, so that the composite keeps the middle of the picture sharp.
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform sampler2DRect decal;
uniform vec2 TexSize;  // source size in pixels
uniform float Speed;

const int kTaps = 8;
const float kReach = 0.06;  // share of the way to the centre the last tap reaches at full speed

void main() {
  vec2 at = gl_TexCoord[0].st;
  vec2 toCentre = TexSize * 0.5 - at;
  vec3 sum = vec3(0.0);
  for (int k = 0; k < kTaps; ++k) {
    sum += texture2DRect(decal, at + toCentre * (float(k) / float(kTaps - 1)) * kReach * Speed).rgb;
  }
  float outward = length(toCentre / max(TexSize, vec2(1.0))) * 2.0;
  gl_FragColor = vec4(sum / float(kTaps), clamp(outward * Speed, 0.0, 1.0));
}
