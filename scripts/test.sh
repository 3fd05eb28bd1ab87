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
# The lock-step and worker tests, and the real RunFrame against a real
# worker, run here, so only their executables are built. Warnings are
# checked as errors in the main build; the sanitizers' instrumentation
# misleads the compiler's flow analysis into false ones, so not here.
cmake -S "$root" -B "$root/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZARNOK_WERROR=OFF -DZARNOK_SANITIZE=thread >/dev/null
cmake --build "$root/build-tsan" -j "$jobs" --target test_app test_e2e
# The software GL driver's own threads race by the sanitizer's lights;
# tests/tsan.supp names the driver and nothing of ours.
TSAN_OPTIONS="suppressions=$root/tests/tsan.supp" \
  run_suite "$root/build-tsan" -R 'LockStep|WorkerDispatch|RaceFrames'

echo "== Address sanitizer"
# Every test runs here, so every test executable, the game and its data are
# built; of the benchmarks only bench_compare, which a test runs. The other
# benchmarks build in the main build, warnings checked.
BUILD_TARGETS="zarnok base_data bench_compare test_physics test_framework test_world test_tools test_render test_ui
               test_app test_e2e" \
  "$root/scripts/build.sh" "$root/build-asan" -DZARNOK_WERROR=OFF -DZARNOK_SANITIZE=address
# Leak detection stays on everywhere; the system libraries' own leaks are
# suppressed by name (tests/lsan.supp). Mesa unloads its GL driver at exit,
# which would leave the driver's allocations without a name to suppress
# them by, so the driver is preloaded and so stays loaded to the end.
dri_driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n 1 || true)
(cd "$root/build-asan" && xvfb-run -a -s "-screen 0 1024x768x24 +extension GLX" \
   env LD_PRELOAD="$dri_driver" \
       ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0 \
       LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
   ctest --output-on-failure -j "$jobs" --timeout 300)
