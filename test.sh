#!/usr/bin/env bash
# Set up, build with sanitizers, and run every test headless; then run the
# tests that start threads again, built with the thread sanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps
jobs="$(nproc)"
# Only the areas whose tests run workers on threads: the loader, the analysis
# worker, the batch dispatcher and the main window that owns them all.
tsan_areas=(imagestack analysis batch mainwindow)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELLINE_SANITIZE=ON > /dev/null
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELLINE_TSAN=ON > /dev/null
cmake --build build-test -j"$jobs" --target all_tests

# The thread-sanitizer tree compiles while the first run's tests wait on
# their workers, at the lowest priority so that it takes only idle cores.
# It runs in a process group of its own: cmake outlives a signal of its own
# until its build tool ends, so a stop goes to the whole group at once.
setsid nice -n 19 cmake --build build-tsan -j"$jobs" --target "${tsan_areas[@]/#/test_}" \
  > build-tsan/build.log 2>&1 &
tsan_build=$!
stop_tsan_build() {
  kill -- -"$tsan_build" 2> /dev/null || true
  wait "$tsan_build" 2> /dev/null || true
}
# Also when the run is interrupted.
trap stop_tsan_build EXIT
status=0
(cd build-test && ctest --output-on-failure -j"$jobs") || status=$?
[ "$status" -eq 0 ] || exit "$status"
wait "$tsan_build" || { tail -n 80 build-tsan/build.log; exit 1; }
trap - EXIT

# Qt is not instrumented: ignore_noninstrumented_modules keeps the sanitizer from
# judging Qt's own threads and allocations, and tests/tsan.supp names the Qt
# internals it cannot see through. Those name the writing side of a race, so the
# history is kept long enough for that side's stack to be found again.
# die_after_fork=0 lets a test start a child process (the translation check runs
# lupdate). A report ends that test with status 66.
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp ignore_noninstrumented_modules=1 halt_on_error=0 die_after_fork=0 history_size=7"
tsan_tests="^($(IFS='|'; echo "${tsan_areas[*]}"))\\."
(cd build-tsan && ctest --output-on-failure -j"$jobs" -R "$tsan_tests")
echo "thread sanitizer: no race reported"
