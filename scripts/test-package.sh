#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh, lintian included), installs it on this machine
# with apt-get as a user would, checks what was installed (the command line against the golden
# outputs, the window, the manual pages, the desktop entry, its metainfo and the icon), and
# removes the package again, also when a check fails. Needs root, or sudo. Safe to run again on
# the same machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"
}
fail() {
  echo "test-package: $*" >&2
  exit 1
}

bash "$root/scripts/package.sh"
deb="$(cd "$root" && ls dist/pomvex_*.deb)"
version="$(dpkg-deb -f "$root/$deb" Version)"

work="$(mktemp -d)"
remove_package() {
  if dpkg -s pomvex >/dev/null 2>&1; then apt_get remove -y -qq pomvex >/dev/null; fi
  rm -rf "$work"
}
trap remove_package EXIT

if dpkg -s pomvex >/dev/null 2>&1; then
  echo "pomvex $(dpkg-query -W -f '${Version}' pomvex) is installed: it is replaced, then removed"
fi
# Manual pages are installed even where dpkg is told to leave manual pages out (slim images).
(cd "$root" && apt_get install -y -qq --reinstall \
  -o DPkg::Options::=--path-include='/usr/share/man/man1/pomvex*' "./$deb" >/dev/null)
echo "installed $deb"

# The command line: on the PATH, its version, and the golden outputs of the samples.
[ "$(command -v pomvex-cli)" = /usr/bin/pomvex-cli ] || fail "pomvex-cli is not /usr/bin/pomvex-cli"
[ "$(/usr/bin/pomvex-cli --version)" = "pomvex-cli $version" ] ||
  fail "pomvex-cli --version says: $(/usr/bin/pomvex-cli --version)"
samples="$work/samples"
mkdir -p "$samples"
cp "$root"/examples/*.CHI "$samples"/
(cd "$work" && /usr/bin/pomvex-cli "$samples" >/dev/null)
expected="$(cd "$root/examples/golden" && ls ./*.rtf)"
[ "$(cd "$samples" && ls ./*.rtf)" = "$expected" ] || fail "the RTF files written differ from golden/"
for rtf in "$root"/examples/golden/*.rtf; do
  cmp -s "$rtf" "$samples/$(basename "$rtf")" || fail "$(basename "$rtf") differs from the golden output"
done
sed "s|^$samples/|EXAMPLES/|" "$samples/Pomvex.Log" | cmp -s - "$root/examples/golden/Pomvex.Log" ||
  fail "the log differs from the golden log"
echo "/usr/bin/pomvex-cli gives the golden outputs"

# The window: it starts and is still running after a few seconds (timeout ends it: status 124).
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen timeout -k 5 4 /usr/bin/pomvex >"$work/window.log" 2>&1) ||
  status=$?
if [ "$status" -ne 124 ]; then
  cat "$work/window.log" >&2
  fail "the installed window did not stay up (exit status $status)"
fi
echo "/usr/bin/pomvex started and stayed up"

# The manual pages render without a warning.
for page in pomvex-cli pomvex; do
  text="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w "$page" 2>"$work/man.err")" ||
    fail "man $page failed: $(cat "$work/man.err")"
  [ ! -s "$work/man.err" ] || fail "man $page warns: $(cat "$work/man.err")"
  grep -q "^NAME" <<<"$text" || fail "man $page shows no NAME section"
done
echo "man pomvex-cli and man pomvex render"

# The package holds the programs, the desktop entry and its metainfo, the icon and both manual
# pages; software centres take the metainfo without a warning.
listed="$(dpkg -L pomvex)"
metainfo=/usr/share/metainfo/org.example.pomvex.metainfo.xml
for file in /usr/bin/pomvex /usr/bin/pomvex-cli /usr/share/applications/pomvex.desktop "$metainfo" \
  /usr/share/icons/hicolor/32x32/apps/pomvex.png /usr/share/icons/hicolor/256x256/apps/pomvex.png \
  /usr/share/man/man1/pomvex-cli.1.gz /usr/share/man/man1/pomvex.1.gz \
  /usr/share/doc/pomvex/copyright; do
  grep -qx "$file" <<<"$listed" || fail "dpkg -L pomvex does not list $file"
  [ -f "$file" ] || fail "$file is not installed"
done
echo "dpkg -L pomvex lists the desktop entry, the metainfo, the icons and both manual pages"
appstreamcli validate --no-net --strict --pedantic "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
echo "appstreamcli validate takes the installed metainfo"

apt_get remove -y -qq pomvex >/dev/null
[ ! -e /usr/bin/pomvex-cli ] || fail "/usr/bin/pomvex-cli is still there after the removal"
echo "removed pomvex: the installed package passed every check"
