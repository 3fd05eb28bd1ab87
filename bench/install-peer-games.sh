#!/usr/bin/env bash
# Installs, from Debian's packages, the three established racing games that
# the race benchmark (bench/race-fps.sh) runs beside ours, and the tools it
# measures and drives them with. Only that benchmark uses them; the game,
# its build and the tests never do.
exec "$(dirname "$0")/install-peers.sh" supertuxkart torcs trigger-rally xvfb xdotool x11-apps
