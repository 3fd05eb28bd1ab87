#include "framework/gl_entry.h"

namespace {

using TexImage3DFn = void(APIENTRYP)(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint,
                                     GLenum, GLenum, const void*);
using Uniform1fFn = void(APIENTRYP)(GLint, GLfloat);

TexImage3DFn texImage3D = nullptr;
Uniform1fFn uniform1f = nullptr;

}  // namespace

bool FetchAssetGlEntryPoints() {
  Sys_FetchGL(texImage3D, "glTexImage3D");
  Sys_FetchGL(uniform1f, "glUniform1fARB");
  return texImage3D != nullptr && uniform1f != nullptr;
}

void GlActiveTexture(GLenum unit) {
  if (glActiveTextureARB) glActiveTextureARB(unit);
}
void GlClientActiveTexture(GLenum unit) {
  if (glClientActiveTextureARB) glClientActiveTextureARB(unit);
}
void GlMultiTexCoord3f(GLenum unit, float s, float t, float r) {
  if (glMultiTexCoord3fARB) glMultiTexCoord3fARB(unit, s, t, r);
}
void GlTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLsizei depth, GLint border, GLenum format, GLenum type,
                  const void* pixels) {
  if (texImage3D)
    texImage3D(target, level, internalFormat, width, height, depth, border, format, type, pixels);
}
void GlUniform1f(GLint location, float value) {
  if (uniform1f) uniform1f(location, value);
}
