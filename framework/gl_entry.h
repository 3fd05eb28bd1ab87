// The GL entry points beyond OpenGL 1.1 that textures, models and effects
// call, kept in this one place. The multitexture ones are the platform's
// (fetched by SetupMultitexture); the 3-D texture upload and the uniform
// setter are fetched here until the renderer's set-up owns them. A call
// whose entry point is missing does nothing.
#pragma once

#include "platform/gl.h"

// Fetches glTexImage3D and glUniform1fARB with a GL context current.
// True when both were found.
bool FetchAssetGlEntryPoints();

void GlActiveTexture(GLenum unit);
void GlClientActiveTexture(GLenum unit);
void GlMultiTexCoord3f(GLenum unit, float s, float t, float r);
void GlTexImage3D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLsizei depth, GLint border, GLenum format, GLenum type,
                  const void* pixels);
void GlUniform1f(GLint location, float value);
