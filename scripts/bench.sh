#!/usr/bin/env bash
# Builds the benchmark in build-bench, optimised as the shipped build, and runs it with its
# bounds checked; extra arguments go to pomvex-bench (--quick for a short run, --dir DIR to keep
# the documents).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build-bench"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPOMVEX_BUILD_BENCH=ON -DBUILD_TESTING=OFF \
  -DPOMVEX_BUILD_GUI=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target pomvex-bench
"$dir/bench/pomvex-bench" --check "$@"
