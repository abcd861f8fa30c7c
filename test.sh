#!/usr/bin/env bash
# Builds and runs every test with CTest.
#   ./test.sh           normal build, all tests
#   ./test.sh --asan    ASan+UBSan build, the tests that need no window
#   ./test.sh --tsan    ThreadSanitizer build, the thread and link tests and the main
#                       window's message bridge against the simulator
# Extra arguments after the mode go to ctest (e.g. -R Frame).
set -euo pipefail
cd "$(dirname "$0")"
mode=normal
case "${1:-}" in
  --asan) mode=asan; shift ;;
  --tsan) mode=tsan; shift ;;
esac
./scripts/deps.sh
jobs=$(nproc)
# The sanitizer builds compile only what their tests need.
core_targets=(quorvex-sim quorvex-cli test_modbus test_link test_params test_logs test_i18n test_sim test_integration test_cli)
# test_ui for the few window tests labelled "engine" (tests/CMakeLists.txt).
engine_targets=(quorvex-sim quorvex-cli test_modbus test_link test_sim test_integration test_cli test_ui)
case $mode in
  normal) dir=build;      san="";        label="";       targets=() ;;
  asan)   dir=build-asan; san="address"; label="core";   targets=("${core_targets[@]}") ;;
  tsan)   dir=build-tsan; san="thread";  label="engine"; targets=("${engine_targets[@]}") ;;
esac
# Qt's moc cache can miss headers that appeared since the last build (new files after a
# merge), which ends in "undefined reference to vtable". Start it afresh when the file set changed.
files_hash=$(find src tests tools bench fuzz -type f \( -name '*.h' -o -name '*.cpp' \) | sort | md5sum | cut -d' ' -f1)
if [ -d "$dir" ] && [ "$(cat "$dir/.file-set" 2>/dev/null)" != "$files_hash" ]; then
  find "$dir" -maxdepth 3 -type d -name '*_autogen' -prune -exec rm -rf {} +
  find "$dir" -name ParseCache.txt -delete
fi
mkdir -p "$dir" && echo "$files_hash" > "$dir/.file-set"
cmake -S . -B "$dir" -G Ninja -DQUORVEX_SANITIZE="$san" ${san:+-DQUORVEX_BENCH=OFF} >/dev/null
cmake --build "$dir" -j "$jobs" ${targets[@]:+--target "${targets[@]}"}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
args=(--test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300)
[ -n "$label" ] && args+=(-L "$label")
ctest "${args[@]}" "$@"
