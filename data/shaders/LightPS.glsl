// Light: material texture (decal, unit 0), reflection cube (decal2, unit 1,
// looked up through the texture matrix of unit 1), normal map (decal3,
// unit 2), shadow map (decal4, unit 3) and the noise volume (decal5,
// unit 4) that turns the shadow taps per pixel.
// RefInt: share of the reflection. GlassNow 1: the glass pass, whose alpha
// is GlassAlpha raised at grazing angles; 0: opaque. LightNow: how brightly
// a lamp group glows (0 dark, 1 lit).
#version 120

uniform float matAmbient;
uniform float matDiffuse;
uniform float matSpecular;
uniform float emissive;
uniform float shininess;  // specular exponent; 0 keeps the default
uniform sampler2D decal;
uniform samplerCube decal2;
uniform sampler2D decal3;
uniform sampler2DShadow decal4;
uniform sampler3D decal5;
uniform float RefInt;
uniform float GlassNow;
uniform float GlassAlpha;
uniform float LightNow;
uniform vec4 DistortShadowTexel;  // window size / 64 (xy), 1 / shadow-map size (zw)

varying vec3 vEyePos;
varying vec3 vNormal;
varying vec3 vTangent;
varying vec3 vBinormal;
varying vec4 vShadowCoord;
varying vec4 vClipPos;

const float kDefaultExponent = 24.0;

// Four taps around the shadow coordinate, turned by the noise of this
// pixel so that the edge dithers instead of stepping.
float Shadow() {
  vec2 screen = vClipPos.xy / vClipPos.w * 0.5 + 0.5;
  float angle = texture3D(decal5, vec3(screen * DistortShadowTexel.xy, 0.5)).g * 6.2831853;
  vec2 along = vec2(cos(angle), sin(angle)) * DistortShadowTexel.zw * 1.5 * vShadowCoord.w;
  vec2 across = vec2(-along.y, along.x);
  float lit = shadow2DProj(decal4, vShadowCoord + vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(decal4, vShadowCoord - vec4(along, 0.0, 0.0)).r;
  lit += shadow2DProj(decal4, vShadowCoord + vec4(across, 0.0, 0.0)).r;
  lit += shadow2DProj(decal4, vShadowCoord - vec4(across, 0.0, 0.0)).r;
  return lit * 0.25;
}

// The surface normal from the normal map where a tangent frame was sent.
vec3 SurfaceNormal(vec2 uv) {
  vec3 n = normalize(vNormal);
  if (dot(vTangent, vTangent) < 1e-8 || dot(vBinormal, vBinormal) < 1e-8) return n;
  vec3 bump = texture2D(decal3, uv).rgb * 2.0 - 1.0;
  return normalize(normalize(vTangent) * bump.x + normalize(vBinormal) * bump.y + n * bump.z);
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  vec3 n = SurfaceNormal(uv);
  vec3 toEye = normalize(-vEyePos);
  vec4 lightPos = gl_LightSource[0].position;
  vec3 toLight = normalize(lightPos.xyz - vEyePos * lightPos.w);

  float lit = Shadow();
  float diffuse = max(dot(n, toLight), 0.0) * lit;
  float exponent = shininess > 0.0 ? shininess : kDefaultExponent;
  float specular = pow(max(dot(n, normalize(toLight + toEye)), 0.0), exponent) * matSpecular * lit;
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
