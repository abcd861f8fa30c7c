#!/usr/bin/env bash
# Installs what is missing, builds, and starts the logger simulator on a pseudo-terminal.
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
echo "  Open it as a serial port (9600 8N1), e.g. --port $link; the logger answers at any slave address."
echo "  By hand (read registers 0-28), in another shell:"
echo "    exec 3<>$link; stty -F $link raw; printf '\\xFF\\x03\\x00\\x00\\x00\\x1D\\x90\\x1D' >&3; timeout 1 cat <&3 | od -An -tx1"
echo "  Ctrl+C stops it."
if [ -x build/quorvex ]; then
  ./build/quorvex --port "$link" || true
else
  wait "$sim"
fi
