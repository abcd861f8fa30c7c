#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
#   ./fuzz.sh                     list the targets
#   ./fuzz.sh NAME [SECONDS]      run fuzz/NAME.cpp for SECONDS (default 60)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUORVEX_FUZZ=ON -DQUORVEX_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" >/dev/null
if [ $# -eq 0 ]; then
  ls fuzz/*.cpp 2>/dev/null | xargs -r -n1 basename | sed 's/\.cpp$//'
  exit 0
fi
cmake --build build-fuzz --target "$1" -j "$(nproc)"
mkdir -p "build-fuzz/corpus/$1"
"build-fuzz/$1" -max_total_time="${2:-60}" -print_final_stats=1 "build-fuzz/corpus/$1"
