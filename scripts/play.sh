#!/usr/bin/env bash
# Installs what is missing, builds, generates the game data and starts the game.
# Without a display the game runs on a virtual one (Xvfb); without a sound
# device OpenAL Soft plays into its null output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
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

if [ -z "${DISPLAY:-}" ]; then
  echo "No display found: the game runs on a virtual ${size} screen (Xvfb)."
  exec xvfb-run -a -s "-screen 0 ${size}x24 +extension GLX" ./zarnok
fi
exec ./zarnok
