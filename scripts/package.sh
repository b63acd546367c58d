#!/usr/bin/env bash
# Builds the Debian package pomvex_VERSION_ARCH.deb into dist/: a build of its own (build-package)
# with Debian's hardening flags, packaged with CPack, then checked with lintian when that is
# installed (an error fails the script). Prints the package's path on its last line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build-package"
dist="$root/dist"

cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/pomvex_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)

deb="$(ls "$dir"/pomvex_*.deb)"
mkdir -p "$dist"
rm -f "$dist"/pomvex_*.deb
cp "$deb" "$dist/"
deb="$dist/$(basename "$deb")"

if command -v lintian >/dev/null 2>&1; then
  echo "lintian $(basename "$deb"):"
  lintian --fail-on error --info "$deb"
fi
echo "$deb"
