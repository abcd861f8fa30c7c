#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over every source file of src/; non-zero when
# any warning is left. Needs a configured build/ (./test.sh makes one) for its compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/compile_commands.json ] || { echo "tidy.sh: configure build/ first (./test.sh)" >&2; exit 2; }
out=$(find src -name '*.cpp' | sort | xargs -n 8 -P "$(nproc)" clang-tidy -p build --quiet 2>/dev/null || true)
warnings=$(grep -c 'warning:' <<<"$out" || true)
[ -n "$out" ] && printf '%s\n' "$out" | grep -A3 'warning:' || true
echo "tidy.sh: ${warnings:-0} warnings"
[ "${warnings:-0}" -eq 0 ]
