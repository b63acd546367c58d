#!/usr/bin/env bash
# Cross-builds the Windows programs for 64-bit Windows (10 or later) with MinGW-w64 into
# build-windows: pomvex.exe (the window) and pomvex-cli.exe (the command line), linked statically
# so that they run from a plain folder. Packs dist/pomvex-VERSION-win64.zip (both programs, the
# README and the licence) and, with CPack's NSIS generator, the installer
# dist/pomvex-VERSION-win64-setup.exe. With --tests, the tests are built too
# (build-windows/tests/pomvex_tests.exe, run under Wine by scripts/test-windows.sh). Prints the
# zip's path, then the installer's, on its last two lines.
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
name="pomvex-$version-win64"
stage="$dir/zip/$name"
rm -rf "$dir/zip"
mkdir -p "$stage" "$dist"
for program in pomvex pomvex-cli; do
  x86_64-w64-mingw32-strip -o "$stage/$program.exe" "$dir/$program.exe"
done
# Text files with Windows line ends, as the installer has them.
cp "$dir/packaging/windows/README.md" "$dir/packaging/windows/LICENSE.txt" "$stage/"
rm -f "$dist/$name.zip" "$dist/pomvex-cli-$version-win64.zip"
(cd "$dir/zip" && cmake -E tar cf "$dist/$name.zip" --format=zip "$name")

rm -f "$dir/$name-setup.exe"
(cd "$dir" && cpack -G NSIS >/dev/null)
cp "$dir/$name-setup.exe" "$dist/"
echo "$dist/$name.zip"
echo "$dist/$name-setup.exe"
