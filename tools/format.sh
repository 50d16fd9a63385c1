#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Reformats every C++ file of the project with clang-format-14 and .clang-format.
#
#     tools/format.sh           reformat in place
#     tools/format.sh --check   change nothing; fail and name the files that would change
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    clang-format-14 --dry-run --Werror "${files[@]}"
else
    clang-format-14 -i "${files[@]}"
fi
