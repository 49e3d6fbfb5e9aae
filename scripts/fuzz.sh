#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for SECONDS (default 20) from its seed corpus. New inputs found go to a
# scratch copy of the corpus, so the tree stays as it is; a crash leaves its input in
# build/fuzz/findings/ and fails the run.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets: link_session config_record
#        frequency_memory options wav; all by default)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(link_session config_record frequency_memory options wav)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
findings=build/fuzz/findings
mkdir -p "$findings"
for t in "${targets[@]}"; do
    work=$(mktemp -d)
    cp -r "fuzz/corpus/$t/." "$work/"
    echo "fuzz_$t: ${seconds} s"
    log="$findings/fuzz_$t.log"
    if ! "build/fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/$t-" -print_final_stats=1 "$work" >"$log" 2>&1; then
        tail -40 "$log"
        echo "fuzz_$t failed: see $log and $findings/$t-*"
        rm -rf "$work"
        exit 1
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
    rm -rf "$work"
done
