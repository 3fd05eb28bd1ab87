#!/usr/bin/env bash
# Installs, from Debian's packages, the two established engines that the
# comparison benchmark measures ours against. Only bench/ uses them; the game
# and the tests never do, and the benchmark builds our scenes alone without.
set -euo pipefail

packages=(libbullet-dev libode-dev)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing the benchmark's peer engines: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
