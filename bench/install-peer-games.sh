#!/usr/bin/env bash
# Installs, from Debian's packages, the three established racing games that
# the frame-rate benchmark (bench/race-fps.sh) runs beside ours, and the
# tools it measures them with. Only that benchmark uses them; the game, its
# build and the tests never do.
set -euo pipefail

packages=(supertuxkart torcs trigger-rally xvfb xdotool x11-apps)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing the frame-rate benchmark's peer games: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
