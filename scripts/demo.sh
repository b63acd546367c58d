#!/usr/bin/env bash
# Sets up, builds, and converts a copy of the bundled sample documents; shows the log.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build" -DBUILD_TESTING=OFF
demo="$root/out/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$root"/examples/*.CHI "$demo"/
"$root/build/pomvex-cli" "$demo"
echo
echo "--- $demo/Pomvex.Log ---"
tr -d '\r' < "$demo/Pomvex.Log"
echo "--- RTF files written ---"
ls -1 "$demo"/*.rtf
