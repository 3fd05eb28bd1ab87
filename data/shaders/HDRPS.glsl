// HDR: the scene (decal, unit 0) plus its glow (decal2, unit 1), both
// rectangle textures read at the same coordinates, mapped into 0..1 by
// exposure and shaped by gamma (below 0.75 darker, as the menus dim).
#version 120
#extension GL_ARB_texture_rectangle : enable

uniform float exposure;
uniform float gamma;
uniform sampler2DRect decal;
uniform sampler2DRect decal2;

const float kExposureGain = 4.0;

void main() {
  vec2 at = gl_TexCoord[0].st;
  vec3 light = texture2DRect(decal, at).rgb + texture2DRect(decal2, at).rgb;
  vec3 mapped = 1.0 - exp(-light * exposure * kExposureGain);
  gl_FragColor = vec4(pow(mapped, vec3(1.0 / max(gamma, 0.01))), 1.0);
}
