// The GL entry points beyond OpenGL 1.1 that textures, models and effects
// call, kept in this one place. They are fetched once, with a GL context
// current, through the lookup function the caller passes in (the platform's
// or a test window's); until then every call here is a no-op.
#pragma once

#include <GL/gl.h>

// Fetches the entry points. True when all of them were found.
bool LoadAssetGlEntryPoints(void* (*lookup)(const char* name));

void GlActiveTexture(GLenum unit);
void GlMultiTexCoord3f(GLenum unit, float s, float t, float r);
void GlClientActiveTexture(GLenum unit);
void GlTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLsizei depth, GLint border, GLenum format, GLenum type,
                  const void* pixels);
void GlUniform1f(GLint location, float value);
