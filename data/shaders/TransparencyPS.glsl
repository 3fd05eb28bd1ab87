// Transparency: material texture (decal, unit 0) whose alpha the alpha
// test cuts at 0.5, shadow map (decal2, unit 1) and the noise volume
// (decal3, unit 2) turning its taps. shininess above 0 adds a sheen of that
// exponent. Alpha falls from the texture's at T0 to 0 at T1.
// Built after the shared CommonLighting, CommonShadow and CommonFade sources.
#version 120

uniform sampler2D decal;
uniform sampler2DShadow decal2;
uniform sampler3D decal3;

varying vec3 vNormal;

const float kSheen = 0.25;

void main() {
  vec4 base = texture2D(decal, gl_TexCoord[0].st);
  vec3 n = normalize(gl_FrontFacing ? vNormal : -vNormal);  // cut-outs are seen from both sides
  vec3 toEye = ToEye();
  vec3 toLight = ToLight();

  float lit = TurnedShadow(decal2, decal3);
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float sheen = shininess > 0.0 ? Highlight(n, toLight, toEye, shininess) * kSheen * lit : 0.0;

  vec3 colour = base.rgb * (matAmbient + matDiffuse * diffuse + emissive) + sheen;
  float fade = Fade(length(vEyePos), 0.0);
  gl_FragColor = vec4(colour, base.a * fade);
}
