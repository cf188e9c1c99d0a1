#!/usr/bin/env bash
# Installs what is missing, builds Tandrel into build/ and starts its window.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
./scripts/build.sh build

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  hint="Pas d'écran graphique (DISPLAY vide) : lancez « xvfb-run -a build/bin/tandrel »"
  [[ -x build/bin/tandrel-cli ]] && hint+=", ou sans fenêtre « build/bin/tandrel-cli --help »"
  echo "$hint."
  exit 1
fi
exec build/bin/tandrel "$@"
