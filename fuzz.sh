#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them.
#   ./fuzz.sh                     list the targets
#   ./fuzz.sh NAME [SECONDS]      run fuzz/NAME.cpp for SECONDS (default 60)
#   ./fuzz.sh --all [SECONDS]     build every target, run each for SECONDS (default 25)
# Each run starts from the committed seeds in fuzz/corpus/NAME, copied into the working corpus
# build-fuzz/corpus/NAME, where the inputs found are kept; a crashing input is written to
# build-fuzz/artifacts/. Nothing is written into the source tree.
set -euo pipefail
cd "$(dirname "$0")"
targets=()
for f in fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
if [ $# -eq 0 ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ "$1" = --all ]; then
  run=("${targets[@]}"); seconds=${2:-25}
else
  run=("$1"); seconds=${2:-60}
  [ -f "fuzz/$1.cpp" ] || { echo "fuzz.sh: no fuzz/$1.cpp" >&2; exit 2; }
fi
./scripts/deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUORVEX_FUZZ=ON -DQUORVEX_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" >/dev/null
cmake --build build-fuzz --target "${run[@]}" -j "$(nproc)"
# Undefined behaviour stops the run like a crash does.
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-fuzz/artifacts
for name in "${run[@]}"; do
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  if [ -d "fuzz/corpus/$name" ]; then
    cp -f "fuzz/corpus/$name"/* "$work"/
  elif [ "$1" = --all ]; then
    echo "fuzz.sh: $name has no seeds in fuzz/corpus/$name" >&2
    exit 2
  fi
  echo "== $name: ${seconds} s"
  fuzz=("build-fuzz/$name" -max_total_time="$seconds" -timeout=20 -print_final_stats=1
        -artifact_prefix="build-fuzz/artifacts/$name-" "$work")
  if [ "$1" != --all ]; then
    "${fuzz[@]}"
    continue
  fi
  # One run after another: the progress lines go to a log, its end (or all of a failure) is shown.
  if "${fuzz[@]}" > "build-fuzz/$name.log" 2>&1; then
    grep -E '^(Done|stat::)' "build-fuzz/$name.log"
  else
    tail -n 80 "build-fuzz/$name.log"
    echo "fuzz.sh: $name failed; the input is in build-fuzz/artifacts/, the whole log in build-fuzz/$name.log" >&2
    exit 1
  fi
done
