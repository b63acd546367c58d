#!/usr/bin/env bash
# Sets up and runs every test: a normal build (core, command line and window), then the core
# and command-line tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# tests of whole runs and of the command line (documents converted by several workers) under
# ThreadSanitizer, then the Windows build of the core, the command line and the tests, run under
# Wine (scripts/test-windows.sh), then a bounded fuzzing run of the conversion (scripts/fuzz.sh),
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

echo "== ThreadSanitizer build: whole runs and the command line, with several workers =="
cmake -S "$root" -B "$root/build-tsan" -DPOMVEX_SANITIZE_THREAD=ON -DPOMVEX_BUILD_GUI=OFF \
  -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build-tsan" -j"$(nproc)" --target pomvex_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$root/build-tsan" --output-on-failure -j"$(nproc)" -R '^(Run|CliTest)\.'

echo "== Windows: cross-built with MinGW-w64, tested under Wine =="
bash "$root/scripts/test-windows.sh"

echo "== fuzzing (libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer) =="
bash "$root/scripts/fuzz.sh"

echo "== Debian package: built, checked with lintian, installed, tried, removed =="
bash "$root/scripts/test-package.sh"
