#!/usr/bin/env bash
# Configures and builds into the given folder (default: build/), which also
# receives the generated game data in base/. Extra arguments go to cmake.
# BUILD_TARGETS, when set, names the only targets to build (else all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
