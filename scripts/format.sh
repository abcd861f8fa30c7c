#!/usr/bin/env bash
# Puts every C++ source of src/, tests/, tools/, bench/ and fuzz/ into the project's format
# (.clang-format); with --check changes nothing and fails when a file is not in it.
#   scripts/format.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format.sh: clang-format is missing (apt-get install clang-format)" >&2; exit 2; }
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp')
if [ "${1:-}" = --check ]; then
  clang-format --dry-run -Werror "${files[@]}" 2>&1 | grep -E '^[^ ].*: (error|warning):' | cut -d: -f1 | sort -u |
    sed 's/^/format.sh: not in the format: /' || true
  clang-format --dry-run -Werror "${files[@]}" >/dev/null 2>&1 && echo "format.sh: ${#files[@]} files in the format"
else
  clang-format -i "${files[@]}"
fi
