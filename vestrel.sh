#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the editor:  ./vestrel.sh [FILE.dxf]
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")"
here=$(pwd)
source scripts/setup.sh
vestrel_install_missing
vestrel_build vestrel

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Vestrel is built, but there is no display to show its window on." >&2
  echo "Start it in a virtual display instead:" >&2
  echo "  apt-get install xvfb xauth   # once" >&2
  echo "  xvfb-run -a -s '-screen 0 1600x1000x24' $here/build/bin/vestrel [FILE.dxf]" >&2
  exit 2
fi
# A file named relative to where the script was called from.
cd "$caller"
exec "$here/build/bin/vestrel" "$@"
