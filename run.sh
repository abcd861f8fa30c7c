#!/usr/bin/env bash
# Installs what is missing, builds, starts the logger simulator on a pseudo-terminal and the
# program against it; the simulator stops when the program exits.
# Arguments go to the simulator (e.g. ./run.sh --scenario tools/sim/scenarios/temperature.ini).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"

link="$PWD/build/quorvex-logger"
./build/quorvex-sim --link "$link" "$@" &
sim=$!
stop() { kill -TERM "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; }
trap stop EXIT
trap 'exit 130' INT TERM

for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.05; done
if [ ! -e "$link" ]; then
  echo "The logger simulator did not start." >&2
  exit 1
fi

echo
echo "Logger simulator serving on: $link"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: the program needs one. Run it under a virtual display, e.g.:" >&2
  echo "  xvfb-run -a ./run.sh" >&2
  echo "The simulator keeps serving on $link until Ctrl+C." >&2
  wait "$sim"
  exit 0
fi
echo "Starting Quorvex on it (settings in build/quorvex-run.INI); closing the window stops the simulator."
./build/quorvex --port "$link" --settings "$PWD/build/quorvex-run.INI" || true
