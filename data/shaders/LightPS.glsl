// Light: material texture (decal, unit 0), reflection cube (decal2, unit 1,
// looked up through the texture matrix of unit 1), normal map (decal3,
// unit 2), shadow map (decal4, unit 3) and the noise volume (decal5,
// unit 4) that turns the shadow taps per pixel.
// RefInt: share of the reflection. GlassNow 1: the glass pass, whose alpha
// is GlassAlpha raised at grazing angles; 0: opaque. LightNow: how brightly
// a lamp group glows (0 dark, 1 lit).
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

const float kDefaultExponent = 24.0;  // the highlight's exponent while shininess is 0

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 n = SurfaceNormal(texture2D(decal3, uv).rgb);
  vec3 toEye = ToEye();
  vec3 toLight = ToLight();

  float lit = Shadow(decal4, decal5);
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float specular = Highlight(n, toLight, toEye, ShininessOr(kDefaultExponent)) * matSpecular * lit;
  float facing = 1.0 - max(dot(n, toEye), 0.0);
  float fresnel = facing * facing;

  vec3 colour = base.rgb * (matAmbient + matDiffuse * diffuse + emissive);
  vec3 direction = (gl_TextureMatrix[1] * vec4(reflect(-toEye, n), 0.0)).xyz;
  vec3 reflection = textureCube(decal2, direction).rgb;
  colour = mix(colour, reflection, clamp(RefInt * (0.2 + 0.5 * fresnel), 0.0, 1.0)) + specular;
  colour += base.rgb * LightNow * 1.5;  // a lit lamp glows over its lighting

  float glassAlpha = clamp(GlassAlpha * (0.35 + 0.65 * fresnel) + specular, 0.0, 1.0);
  gl_FragColor = vec4(colour, mix(base.a, glassAlpha, GlassNow));
}
