#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
# Usage: scripts/test.sh [preset]   (default, or asan for the sanitizer build)
# ORVANDEL_NO_INSTALL=1 skips the package step (a machine set up by hand, or no root).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
[ "${ORVANDEL_NO_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
