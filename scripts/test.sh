#!/usr/bin/env bash
# Sets up and runs every test: a normal build (core, command line and window), then the core
# and command-line tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows build of the core, the command line and the tests, run under Wine
# (scripts/test-windows.sh), then a bounded fuzzing run of the conversion (scripts/fuzz.sh),
# then the Debian package built, installed, checked and removed again (scripts/test-package.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen

echo "== normal build =="
bash "$root/scripts/build.sh" "$root/build" -DBUILD_TESTING=ON
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
bash "$root/scripts/build.sh" "$root/build-asan" -DPOMVEX_SANITIZE=ON -DPOMVEX_BUILD_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"

echo "== Windows: cross-built with MinGW-w64, tested under Wine =="
bash "$root/scripts/test-windows.sh"

echo "== fuzzing (libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer) =="
bash "$root/scripts/fuzz.sh"

echo "== Debian package: built, checked with lintian, installed, tried, removed =="
bash "$root/scripts/test-package.sh"
