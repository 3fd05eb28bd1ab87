#!/usr/bin/env bash
# Our race beside SuperTuxKart, TORCS and Trigger Rally on Mesa's software
# rasteriser: installs the peers (Debian's packages) when missing, builds
# the game, runs bench/race_fps.py and prints its Markdown tables. Extra
# arguments go to the script (--games, --cores, --window, --build ...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/bench/install-peer-games.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$(nproc)" --target zarnok base_data >/dev/null
exec python3 "$root/bench/race_fps.py" --build "$root/build" "$@"
