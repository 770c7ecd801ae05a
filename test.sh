#!/usr/bin/env bash
# Set up, build with sanitizers, and run every test headless; then build the
# tests that start threads with the thread sanitizer and run them again.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELLINE_SANITIZE=ON > /dev/null
cmake --build build-test -j"$(nproc)"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# Only the areas whose tests run workers on threads: the loader, the analysis
# worker, the batch dispatcher and the main window that owns them all.
tsan_areas=(imagestack analysis batch mainwindow)
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELLINE_TSAN=ON > /dev/null
cmake --build build-tsan -j"$(nproc)" --target "${tsan_areas[@]/#/test_}"
# Qt is not instrumented: ignore_noninstrumented_modules keeps the sanitizer from
# judging Qt's own threads and allocations, and tests/tsan.supp names the one
# Qt internal it cannot see through; die_after_fork=0 lets a test start a child
# process (the translation check runs lupdate). A report ends the run with status 66.
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp ignore_noninstrumented_modules=1 halt_on_error=0 die_after_fork=0"
for area in "${tsan_areas[@]}"; do
  echo "thread sanitizer: test_$area"
  (cd build-tsan && QT_QPA_PLATFORM=offscreen tests/test_"$area" > "test_$area.log" 2>&1) \
    || { tail -n 80 "build-tsan/test_$area.log"; exit 1; }
done
echo "thread sanitizer: no race reported"
