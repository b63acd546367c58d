#!/usr/bin/env bash
# Builds the window benchmark in build-bench-window, optimised as the shipped build, and sets the
# window's run time (without a display) beside the command line's on the same documents: 10,000
# small documents in 100 folders, and one document with 1.9 million problems. The command line
# runs with -j 1 and on every core, the window on every core. Extra arguments go to
# pomvex-window-bench (--check: exit 1 when the window takes over 1.2 times as long as the
# command line on every core, or when the logs differ; --documents N, --problems N for other
# sizes; --dir DIR to make the documents there and keep them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build-bench-window"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMVEX_BUILD_BENCH=ON \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$dir" -j2 --target pomvex-window-bench pomvex-cli
QT_QPA_PLATFORM=offscreen "$dir/bench/pomvex-window-bench" --cli "$dir/pomvex-cli" "$@"
