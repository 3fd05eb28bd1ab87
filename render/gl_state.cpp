// The GL capabilities of a pass (see gl_state.h).
#include "render/gl_state.h"

namespace {

void SetCapability(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

}  // namespace

FoundGlCapabilities SetGlCapabilities(const GlCapability* needs, int count) {
  FoundGlCapabilities found{};
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &found.unit);
  for (int i = 0; i < count && i < kMaxPassCapabilities; ++i) {
    found.cap[i] = needs[i].cap;
    found.wasOn[i] = glIsEnabled(needs[i].cap);
    SetCapability(needs[i].cap, needs[i].on);
    found.count = i + 1;
  }
  return found;
}

void RestoreGlCapabilities(const FoundGlCapabilities& found) {
  GLint unit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &unit);
  if (unit != found.unit) glActiveTextureARB(GLenum(found.unit));
  for (int i = 0; i < found.count; ++i) SetCapability(found.cap[i], found.wasOn[i] == GL_TRUE);
  if (unit != found.unit) glActiveTextureARB(GLenum(unit));
}

namespace {

void SetUnitCapabilities(const GlUnitCapability* capabilities, int count) {
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  for (int i = 0; i < count; ++i) {
    glActiveTextureARB(capabilities[i].unit);
    SetCapability(capabilities[i].target, capabilities[i].on);
  }
  glActiveTextureARB(GLenum(active));
}

}  // namespace

FoundGlUnitCapabilities SetGlUnitCapabilities(const GlUnitCapability* needs, int count) {
  FoundGlUnitCapabilities found{};
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  for (int i = 0; i < count && i < kMaxPassCapabilities; ++i) {
    glActiveTextureARB(needs[i].unit);
    found.was[i] = {needs[i].unit, needs[i].target, glIsEnabled(needs[i].target) == GL_TRUE};
    found.count = i + 1;
  }
  glActiveTextureARB(GLenum(active));
  SetUnitCapabilities(needs, found.count);
  return found;
}

void RestoreGlUnitCapabilities(const FoundGlUnitCapabilities& found) {
  SetUnitCapabilities(found.was, found.count);
}
