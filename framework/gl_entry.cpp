#include "framework/gl_entry.h"

#include <algorithm>
#include <string>

#include "framework/window.h"

namespace {

using TexImage3DFn = void(APIENTRYP)(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint,
                                     GLenum, GLenum, const void*);
using Uniform1fFn = void(APIENTRYP)(GLint, GLfloat);

TexImage3DFn texImage3D = nullptr;
Uniform1fFn uniform1f = nullptr;

}  // namespace

bool FetchAssetGlEntryPoints() {
  // glTexImage3D is core since GL 1.2; the uniform setter is there only
  // when the driver lists the shader objects.
  Sys_FetchGL(texImage3D, "glTexImage3D");
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string list = extensions ? extensions : "";
  std::replace(list.begin(), list.end(), ' ', '\n');
  uniform1f = nullptr;
  if (HasExtension(list.c_str(), "GL_ARB_shader_objects")) Sys_FetchGL(uniform1f, "glUniform1fARB");
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
