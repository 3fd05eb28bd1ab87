// DirtTrace: the tyre tracks, the dirt texture pressed into the ground by
// its normal map and wet with a share RefInt of the reflection. Its alpha
// is the texture's times the corner opacity, times GlassAlpha while
// GlassNow is 1; LightNow adds a glow of the dirt's own colour.
// Built after the shared CommonLighting, CommonShadow, CommonNormalMap and
// CommonReflective sources.
#version 120

const float kDefaultExponent = 12.0;  // the highlight's exponent while shininess is 0

void main() {
  vec2 uv = gl_TexCoord[0].st;
  float opacity = gl_TexCoord[0].p;
  vec4 dirt = texture2D(decal, uv);
  LitSurface surface = LightSurface(uv, kDefaultExponent);

  vec3 colour = dirt.rgb * (matAmbient + matDiffuse * surface.diffuse + emissive + LightNow) + surface.specular;
  colour = mix(colour, textureCube(decal2, surface.mirrored).rgb, clamp(RefInt * 0.5, 0.0, 1.0));
  float alpha = dirt.a * clamp(opacity, 0.0, 1.0) * mix(1.0, GlassAlpha, GlassNow);
  gl_FragColor = vec4(colour, alpha);
}
