// Trees: the atlas (decal, unit 0) tinted by the colour and by a slow
// variation from decal2 (unit 1) over the world's x, z; a glow layer
// (decal3, unit 2) added in proportion to emissive. Lit by light 0 with a
// wrapped term (a billboard has no true normal), a sheen of exponent
// shininess when above 0. Alpha falls from the atlas's at T0 to 0 at T1
// (horizontal distance from CamPos), dithered per pixel with decal2 tiled
// every 64 window pixels.
// Built after the shared CommonLighting and CommonFade sources.
#version 120

uniform sampler2D decal;
uniform sampler2D decal2;
uniform sampler2D decal3;

varying float vDistance;
varying vec2 vGround;

const float kVariationScale = 1.0 / 96.0;  // world units per variation repeat, inverted
const float kSheen = 0.15;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 variation = mix(vec3(1.0), texture2D(decal2, vGround * kVariationScale).rgb * 1.6, 0.25);
  vec3 tint = clamp(gl_Color.rgb, 0.0, 1.0) * variation;

  vec3 toLight = ToLight();
  float wrapped = dot(ToEye(), toLight) * 0.5 + 0.5;
  float sheen = shininess > 0.0 ? pow(wrapped, shininess) * kSheen * uv.t : 0.0;
  vec3 colour = base.rgb * tint * (matAmbient * 0.6 + matDiffuse * wrapped) + sheen;
  colour += texture2D(decal3, uv).rgb * emissive;

  float dither = texture2D(decal2, NoiseCoord()).g - 0.5;
  float fade = Fade(vDistance, dither * 0.3);
  gl_FragColor = vec4(colour, base.a * fade);
}
