#!/usr/bin/env bash
# Installs what is missing, builds, and runs the receiver: a window when a display
# exists, otherwise headless. Extra arguments go to orvandel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target orvandel
exe=build/default/src/app/orvandel
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe" --headless --batch "$@"
fi
exec "$exe" "$@"
