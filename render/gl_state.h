// The GL capabilities of a pass: it names the ones it needs on and off,
// they are set for it, and when it ends each is put back as it was found,
// so a pass leaves the state as it found it whatever ran before it.
// Texture targets (GL_TEXTURE_2D and the like) are per texture unit: they
// are read and put back on the unit active when the pass began, and that
// unit's choice is left to the pass.
#pragma once

#include "platform/gl.h"

#include <cstddef>

struct GlCapability {
  GLenum cap;
  bool on;
};

// What SetGlCapabilities found, for RestoreGlCapabilities.
inline constexpr int kMaxPassCapabilities = 8;
struct FoundGlCapabilities {
  GLenum cap[kMaxPassCapabilities];
  GLboolean wasOn[kMaxPassCapabilities];
  int count;
  GLint unit;  // the active texture unit at the start
};

// Sets each of `count` capabilities (at most kMaxPassCapabilities) and
// returns what they were.
FoundGlCapabilities SetGlCapabilities(const GlCapability* needs, int count);
// Puts the capabilities back as found; the active texture unit is left as
// the pass left it.
void RestoreGlCapabilities(const FoundGlCapabilities& found);

// Runs a pass with the capabilities it needs and puts them back after it.
template <std::size_t N, typename Pass>
void WithGlCapabilities(const GlCapability (&needs)[N], Pass pass) {
  static_assert(N <= kMaxPassCapabilities, "a pass names at most kMaxPassCapabilities capabilities");
  const FoundGlCapabilities found = SetGlCapabilities(needs, int(N));
  pass();
  RestoreGlCapabilities(found);
}

// A texture target on a named texture unit, for passes that use several.
struct GlUnitCapability {
  GLenum unit;
  GLenum target;
  bool on;
};

struct FoundGlUnitCapabilities {
  GlUnitCapability was[kMaxPassCapabilities];
  int count;
};

// Sets each target on its unit and returns what they were; both leave the
// active texture unit as they found it.
FoundGlUnitCapabilities SetGlUnitCapabilities(const GlUnitCapability* needs, int count);
void RestoreGlUnitCapabilities(const FoundGlUnitCapabilities& found);

// Runs a pass with the texture targets it needs on each unit and puts them
// back after it; the pass picks its active unit.
template <std::size_t N, typename Pass>
void WithGlUnitCapabilities(const GlUnitCapability (&needs)[N], Pass pass) {
  static_assert(N <= kMaxPassCapabilities, "a pass names at most kMaxPassCapabilities unit targets");
  const FoundGlUnitCapabilities found = SetGlUnitCapabilities(needs, int(N));
  pass();
  RestoreGlUnitCapabilities(found);
}
