#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan (the asan preset) and runs every test there. Any finding, a leak included,
# fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
