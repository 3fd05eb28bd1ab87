#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every
# test: the main build under a virtual display with Mesa's software GL and
# OpenAL Soft's null output, then the thread-sanitizer build (the lock-step
# between the main thread and the worker) and the address-sanitizer build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

export ALSOFT_DRIVERS=null
export LIBGL_ALWAYS_SOFTWARE=1
jobs=$(nproc)

run_suite() {  # build folder, then ctest arguments
  local dir=$1; shift
  (cd "$dir" && xvfb-run -a -s "-screen 0 1024x768x24 +extension GLX" \
     ctest --output-on-failure -j "$jobs" --timeout 300 "$@")
}

echo "== Main build"
"$root/scripts/build.sh" "$root/build" -DZARNOK_WERROR=ON
run_suite "$root/build"

echo "== Thread sanitizer: lock-step and worker"
"$root/scripts/build.sh" "$root/build-tsan" -DZARNOK_WERROR=ON -DZARNOK_SANITIZE=thread
run_suite "$root/build-tsan" -R 'LockStep|WorkerDispatch'

echo "== Address sanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DZARNOK_WERROR=ON -DZARNOK_SANITIZE=address
# The GL driver is unloaded at exit and takes the names of its allocations
# with it, so processes that open a window (end-to-end, renderer and screen
# tests) run without leak detection; every other test runs with it, with
# the system libraries' own leaks suppressed.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
  run_suite "$root/build-asan" -LE 'e2e|render|ui'
ASAN_OPTIONS=detect_leaks=0 run_suite "$root/build-asan" -L 'e2e|render|ui'
