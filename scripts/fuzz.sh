#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer, ASan, UBSan) in build-fuzz and fuzzes the
# conversion for a bounded time, seeded with examples/*.CHI and fuzz/seeds/. Exits non-zero on
# any crash, leak, sanitizer report, timeout or out-of-memory. FUZZ_SECONDS sets the time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-180}"
jobs="$(nproc)"

CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DPOMVEX_BUILD_FUZZ=ON -DBUILD_TESTING=OFF \
  -DPOMVEX_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$jobs" --target pomvex_fuzz

# The seeds are copied so that only documents are read (examples/ also holds the golden files).
seeds="$dir/seeds"
rm -rf "$seeds"
mkdir -p "$seeds" "$dir/corpus" "$dir/artifacts"
cp "$root"/examples/*.CHI "$root"/fuzz/seeds/* "$seeds"/

log="$dir/fuzz.log"
echo "Fuzzing for ${seconds}s with $jobs jobs (log: $log)"
status=0
"$dir/fuzz/pomvex_fuzz" -fork="$jobs" -ignore_crashes=0 -ignore_timeouts=0 -ignore_ooms=0 \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -dict="$root/fuzz/chi.dict" \
  -artifact_prefix="$dir/artifacts/" "$dir/corpus" "$seeds" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 80 "$log"
  echo "The fuzzer found a fault (exit $status); the input is in $dir/artifacts/" >&2
  exit 1
fi
grep -E '^#[0-9]+: cov' "$log" | tail -n 1
echo "Fuzzing passed: no crash, leak, sanitizer report or timeout in ${seconds}s"
