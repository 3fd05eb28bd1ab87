#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test:
# the main build under a virtual display with Mesa's software GL and OpenAL
# Soft's null output, then the thread-sanitizer and address-sanitizer builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

export ALSOFT_DRIVERS=null
export LIBGL_ALWAYS_SOFTWARE=1
jobs=$(nproc)

run_suite() {  # build folder, then ctest arguments
  local dir=$1; shift
  (cd "$dir" && xvfb-run -a -s "-screen 0 1024x768x24 +extension GLX" \
     ctest --output-on-failure -j "$jobs" --timeout 600 "$@")
}

"$root/scripts/build.sh" "$root/build" -DZARNOK_WERROR=ON
run_suite "$root/build"

# Thread sanitizer: the lock-step between the main thread and the worker.
"$root/scripts/build.sh" "$root/build-tsan" -DZARNOK_WERROR=ON -DZARNOK_SANITIZE=thread
run_suite "$root/build-tsan" -R 'LockStep'

# Address sanitizer: the file readers, fed truncated and corrupt files, and the engine.
"$root/scripts/build.sh" "$root/build-asan" -DZARNOK_WERROR=ON -DZARNOK_SANITIZE=address
run_suite "$root/build-asan" -LE e2e
