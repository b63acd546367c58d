#!/usr/bin/env bash
# Cross-builds pomvex-cli.exe for 64-bit Windows (10 or later) with MinGW-w64 into
# build-windows, linked statically so that it runs from a plain folder, and packs
# dist/pomvex-cli-VERSION-win64.zip: the exe, the README and the licence. With --tests, the
# tests are built too (build-windows/tests/pomvex_tests.exe, run under Wine by
# scripts/test-windows.sh). Prints the zip's path on its last line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build-windows"
dist="$root/dist"
tests=OFF
[ "${1:-}" = "--tests" ] && tests=ON

cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$tests" >/dev/null
cmake --build "$dir" -j"$(nproc)"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")"
name="pomvex-cli-$version-win64"
stage="$dir/zip/$name"
rm -rf "$dir/zip"
mkdir -p "$stage" "$dist"
x86_64-w64-mingw32-strip -o "$stage/pomvex-cli.exe" "$dir/pomvex-cli.exe"
# Text files with Windows line ends.
sed 's/$/\r/' "$root/README.md" > "$stage/README.md"
sed 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"
rm -f "$dist/$name.zip"
(cd "$dir/zip" && cmake -E tar cf "$dist/$name.zip" --format=zip "$name")
echo "$dist/$name.zip"
