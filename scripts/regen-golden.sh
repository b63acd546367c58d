#!/usr/bin/env bash
# Regenerates the golden outputs of the sample documents after an intended change:
# converts a copy of examples/*.CHI with the built pomvex-cli and stores every RTF file and the
# log (its directory line written as "EXAMPLES/") under examples/golden/.
# Review the diff (git diff examples/golden) before committing it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$root/build/pomvex-cli}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root"/examples/*.CHI "$work"/
"$cli" "$work" >/dev/null
rm -rf "$root/examples/golden"
mkdir -p "$root/examples/golden"
cp "$work"/*.rtf "$root/examples/golden/"
sed "s|^$work/|EXAMPLES/|" "$work/Pomvex.Log" > "$root/examples/golden/Pomvex.Log"
echo "Golden outputs written to examples/golden; review them with: git diff examples/golden"
