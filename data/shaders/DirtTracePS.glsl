// DirtTrace: dirt texture (decal, unit 0) pressed into the ground by its
// normal map (decal3, unit 2), lit by light 0 with the shadow map (decal4,
// unit 3) whose taps the noise volume (decal5, unit 4) turns, and wet with
// a share RefInt of the reflection cube (decal2, unit 1). Its alpha is the
// texture's times the corner opacity, times GlassAlpha while GlassNow is
// 1; LightNow adds a glow of the dirt's own colour.
// Built after the shared CommonLighting, CommonShadow and CommonNormalMap sources.
#version 120

uniform float matSpecular;
uniform sampler2D decal;
uniform samplerCube decal2;
uniform sampler2D decal3;
uniform sampler2DShadow decal4;
uniform sampler3D decal5;
uniform float RefInt;
uniform float GlassNow;
uniform float GlassAlpha;
uniform float LightNow;

const float kDefaultExponent = 12.0;  // the highlight's exponent while shininess is 0

void main() {
  vec2 uv = gl_TexCoord[0].st;
  float opacity = gl_TexCoord[0].p;
  vec4 dirt = texture2D(decal, uv);
  vec3 n = SurfaceNormal(texture2D(decal3, uv).rgb);
  vec3 toEye = ToEye();
  vec3 toLight = ToLight();

  float lit = Shadow(decal4, decal5);
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float specular = Highlight(n, toLight, toEye, ShininessOr(kDefaultExponent)) * matSpecular * lit;

  vec3 colour = dirt.rgb * (matAmbient + matDiffuse * diffuse + emissive + LightNow) + specular;
  vec3 direction = (gl_TextureMatrix[1] * vec4(reflect(-toEye, n), 0.0)).xyz;
  colour = mix(colour, textureCube(decal2, direction).rgb, clamp(RefInt * 0.5, 0.0, 1.0));
  float alpha = dirt.a * clamp(opacity, 0.0, 1.0) * mix(1.0, GlassAlpha, GlassNow);
  gl_FragColor = vec4(colour, alpha);
}
