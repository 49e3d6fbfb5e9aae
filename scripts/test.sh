#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test; then the sanitizer
# build of the tests that drive the station, the link, the transmit chain and the
# settings and sound engine, and a short run of each fuzz target.
# Usage: scripts/test.sh [preset]   (default; asan runs the whole suite under the
#        sanitizers and nothing else)
# ORVANDEL_NO_INSTALL=1 skips the package step (a machine set up by hand, or no root).
# ORVANDEL_FUZZ_SECONDS sets the length of each fuzz run (20 by default, 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
[ "${ORVANDEL_NO_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
[ "$preset" = default ] || exit 0

# AddressSanitizer and UndefinedBehaviorSanitizer on the Qt-free tests: every subsystem,
# the station with its fault injection, and the command line's transmissions.
sanitized=(dsp_tests ui_tests sound_tests display_tests settings_tests transmit_tests link_tests
           monitors_tests station_tests app_tests)
cmake --preset asan >/dev/null
cmake --build --preset asan --target "${sanitized[@]}"
for t in "${sanitized[@]}"; do
    echo "asan: $t"
    build/asan/tests/"$t" --gtest_brief=1
done

seconds="${ORVANDEL_FUZZ_SECONDS:-20}"
[ "$seconds" = 0 ] || scripts/fuzz.sh "$seconds"
