#!/usr/bin/env bash
# Set up, build with sanitizers, and run every test headless.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELLINE_SANITIZE=ON > /dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
