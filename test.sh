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
core_targets=(quorvex-sim quorvex-cli test_archive test_modbus test_link test_params test_logs test_study test_i18n test_sim test_integration test_cli)
# test_ui for the few window tests labelled "engine" (tests/CMakeLists.txt).
engine_targets=(quorvex-sim quorvex-cli test_modbus test_link test_sim test_integration test_cli test_ui)
case $mode in
  normal) dir=build;      san="";        label="";       targets=() ;;
  asan)   dir=build-asan; san="address"; label="core";   targets=("${core_targets[@]}") ;;
  tsan)   dir=build-tsan; san="thread";  label="engine"; targets=("${engine_targets[@]}") ;;
esac
cmake -S . -B "$dir" -G Ninja -DQUORVEX_SANITIZE="$san" ${san:+-DQUORVEX_BENCH=OFF} >/dev/null
cmake --build "$dir" -j "$jobs" ${targets[@]:+--target "${targets[@]}"}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
# A throw-away PostgreSQL server for the archive tests' PostgreSQL half, listening only on a socket
# in its own folder and stopped when the run ends. The server refuses to run as root.
pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -n "$pg_bin" ] && [ -x "$pg_bin/initdb" ]; then
  pg_dir=$(mktemp -d /tmp/quorvex-pg.XXXXXX)
  pg_run=()
  if [ "$(id -u)" -eq 0 ]; then
    id -u quorvex-pg >/dev/null 2>&1 || useradd -r -M -s /usr/sbin/nologin quorvex-pg
    chown quorvex-pg "$pg_dir"
    pg_run=(runuser -u quorvex-pg --)
  fi
  trap '"${pg_run[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate stop >/dev/null 2>&1; rm -rf "$pg_dir"' EXIT
  "${pg_run[@]}" "$pg_bin/initdb" -D "$pg_dir/data" -U quorvex -A trust -E UTF8 --no-sync >/dev/null
  "${pg_run[@]}" "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/server.log" -w \
    -o "-k $pg_dir -c listen_addresses='' -c fsync=off" start >/dev/null
  export QUORVEX_TEST_PG="postgresql://quorvex@/postgres?host=$pg_dir"
else
  echo "test.sh: no PostgreSQL server installed: the archive tests skip their PostgreSQL half"
fi
args=(--test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300)
[ -n "$label" ] && args+=(-L "$label")
ctest "${args[@]}" "$@"
