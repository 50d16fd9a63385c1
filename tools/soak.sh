#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Runs the monkey (tests/monkeytest.cpp) on the real window with fresh seeds for the given
# number of minutes (default 5), printing each seed, so that a failure can be replayed:
#
#     tools/soak.sh [minutes] [actions per seed]
#     REDURIVEZI_MONKEY_SEED=<seed> QT_QPA_PLATFORM=offscreen build/tests/monkey_test
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-5}
actions=${2:-2000}
cmake --build build -j2 --target monkey_test >/dev/null
end=$(($(date +%s) + minutes * 60))
runs=0
failed=0
while [ "$(date +%s)" -lt "$end" ]; do
    seed=$(od -An -N8 -tu8 /dev/urandom | tr -d ' ')
    if out=$(QT_QPA_PLATFORM=offscreen REDURIVEZI_MONKEY_SEED=$seed REDURIVEZI_MONKEY_ACTIONS=$actions \
        build/tests/monkey_test 2>&1); then
        echo "seed $seed: ok ($(grep -o '[0-9]* runs.*' <<<"$out"))"
    else
        echo "seed $seed: FAILED"
        grep -E 'Failure|Expected|Which is|Value of|failed at' <<<"$out" | head -20
        failed=$((failed + 1))
    fi
    runs=$((runs + 1))
done
echo "soak: $runs seeds, $failed failed"
[ "$failed" -eq 0 ]
