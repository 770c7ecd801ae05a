#!/usr/bin/env bash
# Set up, build and start the program; arguments go to the program.
# Without arguments it runs the demo: a synthetic data set in demo/ (written when
# missing) analysed by its batch file. With a display the window stays open;
# without one it runs offscreen, quits at the end of the batch and says where
# the results are.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)"
headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
  headless=1
fi
if [ $# -gt 0 ]; then
  exec build/corvelline "$@"
fi
demo="$PWD/demo"
# The batch files are written last, so they mark a complete set.
if [ ! -f "$demo/demo.bat" ] || [ ! -f "$demo/demo-headless.bat" ]; then
  build/tools/gen_demo "$demo"
fi
if [ "$headless" -eq 0 ]; then
  exec build/corvelline -d "$demo" -b "$demo/demo.bat" -x
fi
build/corvelline -d "$demo" -b "$demo/demo-headless.bat" -x
echo "Demo results in $demo/results:"
ls -1 "$demo/results"
echo "True fraction map: $demo/truth_fraction.txt"
