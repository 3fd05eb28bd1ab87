// TransparencyForShadowMap: texels of the material texture (decal, unit 0)
// cast a shadow where the colour passes keep them: alpha 0.5 and above.
#version 120

uniform sampler2D decal;

void main() {
  float alpha = texture2D(decal, gl_TexCoord[0].st).a;
  if (alpha < 0.5) discard;
  gl_FragColor = vec4(0.0, 0.0, 0.0, alpha);  // colour writes are off: only the depth counts
}
