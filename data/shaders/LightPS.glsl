// Light: the trucks, their glass and the props. The reflection's share
// grows at grazing angles, and so does the glass's alpha; LightNow makes a
// lamp group glow (0 dark, 1 lit) over its lighting.
// Built after the shared CommonLighting, CommonShadow, CommonNormalMap and
// CommonReflective sources.
#version 120

const float kDefaultExponent = 24.0;  // the highlight's exponent while shininess is 0

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec4 base = texture2D(decal, uv);
  LitSurface surface = LightSurface(uv, kDefaultExponent);
  float facing = 1.0 - max(dot(surface.n, surface.toEye), 0.0);
  float fresnel = facing * facing;

  vec3 colour = base.rgb * (matAmbient + matDiffuse * surface.diffuse + emissive);
  vec3 reflection = textureCube(decal2, surface.mirrored).rgb;
  colour = mix(colour, reflection, clamp(RefInt * (0.2 + 0.5 * fresnel), 0.0, 1.0)) + surface.specular;
  colour += base.rgb * LightNow * 1.5;  // a lit lamp glows over its lighting

  float glassAlpha = clamp(GlassAlpha * (0.35 + 0.65 * fresnel) + surface.specular, 0.0, 1.0);
  gl_FragColor = vec4(colour, mix(base.a, glassAlpha, GlassNow));
}
