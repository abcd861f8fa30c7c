#!/usr/bin/env bash
# Installs what is missing, builds, and starts the logger simulator on a pseudo-terminal.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"
echo "The logger simulator is not built yet." >&2
exit 1
