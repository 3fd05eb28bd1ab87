#!/usr/bin/env bash
# Installs what is missing, builds, generates the game data and starts the game.
# Without a display the game runs on a virtual one (Xvfb); without a sound
# device OpenAL Soft plays into its null output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# Only the game and its data: the test command builds the tests and benchmarks.
BUILD_TARGETS="zarnok base_data" "$root/scripts/build.sh" "$root/build"
cd "$root/build"

# The screen size comes from the settings' resolution index (word 0 of
# menu.inf), in the save folder first and then in base/.
docs=$(xdg-user-dir DOCUMENTS 2>/dev/null || true)
[ -n "$docs" ] && [ "$docs" != "$HOME" ] || docs="$HOME/Documents"
settings="$docs/Zarnok/menu.inf"
[ -f "$settings" ] || settings="base/menu.inf"
index=$(od -An -t d4 -N 4 "$settings" 2>/dev/null | tr -d ' ' || echo 0)
sizes=(1024x768 1280x768 1280x960 1280x1024 1600x900 1600x1000 1600x1200 1680x1050 1920x1080 1920x1200)
case "$index" in [0-9]) size=${sizes[$index]} ;; *) size=${sizes[0]} ;; esac

if ! ls /dev/snd/pcm* >/dev/null 2>&1 && [ -z "${PULSE_SERVER:-}" ] \
   && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ] \
   && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/pipewire-0" ]; then
  echo "No sound device found: OpenAL Soft plays into its null output."
  export ALSOFT_DRIVERS=null
fi

[ -n "${DISPLAY:-}" ] && exec ./zarnok

echo "No display found: the game runs on a virtual ${size} screen (Xvfb)."
# Xvfb picks a free display and names it on fd 3 once it is ready; it runs
# in a session of its own, out of reach of the terminal's Ctrl-C. When the
# script is ended (Ctrl-C, SIGTERM), the game is asked to quit and closed
# first, and only then the screen it draws on.
display_file=$(mktemp)
setsid Xvfb -displayfd 3 -screen 0 "${size}x24" +extension GLX -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
until [ -s "$display_file" ]; do
  kill -0 "$xvfb" 2>/dev/null || { echo "The virtual screen (Xvfb) did not start." >&2; exit 1; }
  sleep 0.1
done
export DISPLAY=":$(cat "$display_file")"
rm -f "$display_file"
./zarnok &
game=$!
trap 'kill -TERM "$game" 2>/dev/null || true' INT TERM
while :; do
  wait "$game" && status=0 || status=$?
  kill -0 "$game" 2>/dev/null || break  # a signal ended the wait, not the game
done
kill "$xvfb" 2>/dev/null || true
wait "$xvfb" 2>/dev/null || true
exit "$status"
