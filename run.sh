#!/usr/bin/env bash
# Set up, build and start the program; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
exec build/corvelline "$@"
