#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Fuzzes each target for the given number of seconds (default 60) with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from the seed corpus, and
# merges what adds coverage back into fuzz/corpus. A finding stops with the crashing
# input saved as fuzz/crash-*; add it to the corpus once fixed.
#
#     tools/fuzz.sh [seconds] [target ...]     targets: texttonumber numbertext run
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(texttonumber numbertext run)

# libFuzzer comes with clang; install it where it is missing, as tools/setup.sh would.
if ! command -v clang++ >/dev/null; then
    as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q clang
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/%/_fuzz}"

for t in "${targets[@]}"; do
    work=build-fuzz/corpus-$t
    mkdir -p "$work"
    echo "fuzz: $t for $seconds s"
    build-fuzz/fuzz/${t}_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix=fuzz/crash-$t- "$work" fuzz/corpus/$t 2>&1 |
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==|SUMMARY|Done)' || true
    # Keep the corpus small: only inputs that add coverage go back into the repository.
    build-fuzz/fuzz/${t}_fuzz -merge=1 fuzz/corpus/$t "$work" 2>&1 | grep -E 'MERGE-OUTER: [0-9]+ new' || true
done
