// Reading the test variables (see platform.h for the list). Kept apart from
// the test hooks so that the GL set-up can read them too without the hooks
// and the GL code including each other. Internal to platform/.
#pragma once

#include <cstdlib>

// The value of a test variable, or null when it is unset or empty.
inline const char* TestEnv(const char* name) {
  const char* value = std::getenv(name);
  return (value && *value) ? value : nullptr;
}
