// Map: material texture (decal, unit 0), shadow map (decal2, unit 1), noise
// volume (decal3, unit 2) turning the shadow taps, and a glow layer
// (decal4, unit 3) added in proportion to emissive.
// LightNow: share of the sunlight (1 lit, 0 ambient only). Alpha falls from
// 1 at distance T0 to 0 at T1, so far objects dissolve into the sky behind
// the layer.
// Built after the shared CommonLighting, CommonShadow and CommonFade sources.
#version 120

uniform float LightNow;
uniform float matSpecular;
uniform sampler2D decal;
uniform sampler2DShadow decal2;
uniform sampler3D decal3;
uniform sampler2D decal4;

varying vec3 vNormal;

const float kDefaultExponent = 16.0;  // the highlight's exponent while shininess is 0

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 n = normalize(vNormal);
  vec3 toEye = ToEye();
  vec3 toLight = ToLight();

  float lit = TurnedShadow(decal2, decal3) * LightNow;
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float specular = Highlight(n, toLight, toEye, ShininessOr(kDefaultExponent)) * matSpecular * lit;

  vec3 colour = base.rgb * (matAmbient + matDiffuse * diffuse) + specular;
  colour += texture2D(decal4, uv).rgb * emissive;
  float fade = Fade(length(vEyePos), 0.0);
  gl_FragColor = vec4(colour, base.a * fade);
}
