// TransparencyForShadowMap: the alpha-tested world drawn into the shadow
// map. In: the first texture coordinate (unit 0).
#version 120

void main() {
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = ftransform();
}
