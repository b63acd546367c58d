#!/usr/bin/env bash
# The Windows build, tried under Wine: cross-builds both programs, the zip, the installer and the
# tests (scripts/build-windows.sh --tests), runs the tests, then has the pomvex-cli.exe taken out
# of the zip convert a copy of the samples: the RTF files and the log must be the golden ones.
# Then, with a sub-folder, a link to it and a document named "Größe.CHI" added, a second run
# over the tree must leave the first outputs alone, give the numbered names and not follow the
# link; the document with the non-ASCII name, and a folder typed "...\My Docs\" (also followed
# by -r), are given on the command line; --outdir must mirror the tree elsewhere, refuse a folder
# inside it and write nothing through a link in it; and Ctrl-C in the middle of a document must
# stop the run cleanly. Last, the window and the installer are tried in an X server
# (scripts/test-windows-desktop.sh). Wine keeps its files in build-windows/wine (made on the first
# run); its server runs while the script does and is stopped at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build-windows"
golden="$root/examples/golden"
fail() {
  echo "test-windows: $*" >&2
  exit 1
}

built="$(bash "$root/scripts/build-windows.sh" --tests | tail -n 2)"
zip="$(head -n 1 <<<"$built")"
setup="$(tail -n 1 <<<"$built")"

export WINEPREFIX="$dir/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs only: Wine is kept from opening windows.
unset DISPLAY WAYLAND_DISPLAY
work="$(mktemp -d)"
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # already running for this prefix: it serves as well
trap 'wineserver -k || true; rm -rf "$work"' EXIT

echo "unit and whole-document tests (pomvex_tests.exe):"
wine "$dir/tests/pomvex_tests.exe" --gtest_brief=1 || fail "pomvex_tests.exe failed under Wine"

cmake -E chdir "$work" cmake -E tar xf "$zip"
exe="$(ls "$work"/pomvex-*-win64/pomvex-cli.exe)"
for file in pomvex.exe README.md LICENSE.txt; do
  [ -f "$(dirname "$exe")/$file" ] || fail "the zip lacks $file"
done
samples="$work/samples"
mkdir -p "$samples"
cp "$root"/examples/*.CHI "$samples"/
winsamples="$(winepath -w "$samples")"
cli() {
  wine "$exe" "$@" | tr -d '\r'
}

# The samples, as the golden outputs were made: every RTF file and the log alike.
shown="$(cli "$winsamples" | head -n 1)"
[ "$shown" = "$winsamples\\" ] || fail "the start directory is shown as '$shown', not '$winsamples\\'"
for rtf in "$golden"/*.rtf; do
  cmp -s "$rtf" "$samples/$(basename "$rtf")" || fail "$(basename "$rtf") differs from the golden output"
done
sed "1s|^.*\\\\samples\\\\\r\$|EXAMPLES/\r|" "$samples/Pomvex.Log" | cmp -s - "$golden/Pomvex.Log" ||
  fail "the log differs from the golden log"
echo "pomvex-cli.exe gives the golden RTF files and log"

# A second run, over the tree, into the same folder.
mkdir -p "$samples/sub"
cp "$root/examples/LETTER.CHI" "$samples/Größe.CHI"
cp "$root/examples/PHYSICS.CHI" "$root/examples/TABLE.CHI" "$samples/sub/"
ln -s sub "$samples/link"  # a link to a folder, which is not followed
cli -r "$winsamples" >/dev/null
for rtf in "$golden"/*.rtf; do
  name="$(basename "$rtf" .rtf)"
  cmp -s "$rtf" "$samples/$name.rtf" || fail "the second run changed $name.rtf"
  cmp -s "$rtf" "$samples/${name}_0.rtf" || fail "${name}_0.rtf differs from the golden output"
done
cmp -s "$golden/LETTER.rtf" "$samples/Größe.rtf" || fail "Größe.rtf differs from LETTER.rtf"
for name in PHYSICS TABLE; do
  cmp -s "$golden/$name.rtf" "$samples/sub/$name.rtf" || fail "sub\\$name.rtf differs"
done
[ -f "$samples/Pomvex.Log" ] && [ -f "$samples/Pomvex_0.Log" ] || fail "no Pomvex_0.Log"
grep -qx "  Größe.CHI"$'\r' "$samples/Pomvex_0.Log" || fail "Pomvex_0.Log does not name Größe.CHI"
grep -qxF "$winsamples\\sub\\"$'\r' "$samples/Pomvex_0.Log" || fail "Pomvex_0.Log does not show sub\\"
[ ! -e "$samples/sub/PHYSICS_0.rtf" ] && ! grep -qF '\link\' "$samples/Pomvex_0.Log" ||
  fail "the link to sub\\ was followed"
echo "a second run over the tree gives NAME_0.rtf, Größe.rtf, sub\\*.rtf and Pomvex_0.Log;"
echo "the link to sub\\ is not followed"

# The non-ASCII name given on the command line.
cli "$winsamples\\Größe.CHI" >/dev/null
cmp -s "$golden/LETTER.rtf" "$samples/Größe_0.rtf" || fail "Größe_0.rtf differs from LETTER.rtf"
echo "a document named on the command line as Größe.CHI gives Größe_0.rtf"
# "C:\My Docs\" typed with its closing backslash inside the quotes is that folder.
mkdir -p "$work/My Docs"
cp "$root/examples/LETTER.CHI" "$work/My Docs/"
cli "$(winepath -w "$work/My Docs")\"" >/dev/null &&
  cmp -s "$golden/LETTER.rtf" "$work/My Docs/LETTER.rtf" || fail "\"...\\My Docs\\\" was not converted"
echo "a folder typed as \"...\\My Docs\\\" is converted"
# The same followed by an option, as typed at a command prompt (a batch file passes its line as
# it is written): the backslash before the quote is the folder's, and -r is an option.
mkdir -p "$work/Archive 1990/sub"
cp "$root/examples/LETTER.CHI" "$work/Archive 1990/sub/"
printf '@"%s" "%s\\" -r\r\n' "$(winepath -w "$exe")" "$(winepath -w "$work/Archive 1990")" \
  >"$work/typed.bat"
wine cmd /c "$(winepath -w "$work/typed.bat")" >/dev/null &&
  cmp -s "$golden/LETTER.rtf" "$work/Archive 1990/sub/LETTER.rtf" ||
  fail "\"...\\Archive 1990\\\" -r was not taken as a folder and an option"
echo "a folder typed as \"...\\Archive 1990\\\" -r is converted with its sub-folders"

# --outdir: the tree mirrored into another folder, nothing written beside the documents; an
# output folder inside the tree is refused, also when written in another case.
out="$work/out"
listing="$(cd "$samples" && find . | sort)"
cli -r "$winsamples" --outdir "$(winepath -w "$out")" >/dev/null
[ "$(cd "$samples" && find . | sort)" = "$listing" ] || fail "--outdir wrote beside the documents"
for rtf in "$golden"/*.rtf; do
  cmp -s "$rtf" "$out/$(basename "$rtf")" || fail "--outdir: $(basename "$rtf") differs"
done
cmp -s "$golden/LETTER.rtf" "$out/Größe.rtf" && cmp -s "$golden/TABLE.rtf" "$out/sub/TABLE.rtf" ||
  fail "--outdir: Größe.rtf or sub\\TABLE.rtf differs"
grep -qxF "Output folder: $(winepath -w "$out")\\"$'\r' "$out/Pomvex.Log" ||
  fail "--outdir: the log does not name the output folder"
status=0
wine "$exe" -r "$winsamples" --outdir "${winsamples^^}\\OUT" >/dev/null 2>&1 || status=$?
[ "$status" -eq 64 ] && [ ! -e "$samples/OUT" ] ||
  fail "--outdir inside the tree, in capitals, was not refused (exit status $status)"
echo "--outdir mirrors the tree into another folder and refuses one inside it, in any case"
# A link in OUT where a document needs a folder is not written through: it ends the run.
rm -rf "$out"
mkdir -p "$out" "$work/elsewhere"
ln -s "$work/elsewhere" "$out/sub"
status=0
wine "$exe" -r "$winsamples" --outdir "$(winepath -w "$out")" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] && [ -z "$(ls -A "$work/elsewhere")" ] ||
  fail "--outdir wrote through a link to a folder (exit status $status)"
echo "--outdir writes nothing through a link in the place of a folder"

# --report and --json: written beside their names and renamed into place, over the reports of
# an earlier run; a file that is no report is not replaced.
reports="$work/reports"
mkdir -p "$reports"
winreports="$(winepath -w "$reports")"
for run in 1 2; do
  cli -r "$winsamples" --outdir "$(winepath -w "$work/out2")" --report "$winreports\\r.html" \
    --json "$winreports\\r.jsonl" >/dev/null
done
[ "$(cd "$reports" && ls | tr '\n' ' ')" = "r.html r.jsonl " ] ||
  fail "--report and --json left $(ls "$reports")"
tail -c 8 "$reports/r.html" | grep -q '</html>' && grep -q 'Größe.CHI' "$reports/r.html" &&
  tail -n 1 "$reports/r.jsonl" | grep -q '^{"summary":' || fail "--report or --json is not whole"
echo older >"$reports/other.html"
status=0
wine "$exe" "$winsamples" --report "$winreports\\other.html" >/dev/null 2>&1 || status=$?
[ "$status" -eq 64 ] && [ "$(cat "$reports/other.html")" = older ] ||
  fail "--report replaced a file that is no report (exit status $status)"
echo "--report and --json are renamed into place, over earlier reports and nothing else"

# Ctrl-C in the middle of a document (Wine passes SIGINT on as the console's Ctrl-C event): the
# run stops with 130, the document's partial RTF file is deleted, and the log says so.
big="$work/big"
mkdir -p "$big"
{
  printf '\\1cw\r\n\\U1STANDARD\r\n\\U2BOLD\r\n'
  awk 'BEGIN { for (i = 0; i < 400000; i++) printf "A line of plain text with \\2bold\\1 words\r\n" }'
} > "$big/A.CHI"
cp "$root/examples/LETTER.CHI" "$big/B.CHI"
wine "$exe" "$(winepath -w "$big")" >/dev/null &
pid=$!
# The RTF file is written under a hidden temporary name until it is whole.
writing() {
  local f
  for f in "$big"/.pomvex-*.tmp; do [ -s "$f" ] && return 0; done
  return 1
}
for _ in $(seq 1200); do
  writing && break
  sleep 0.05
done
kill -INT "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 130 ] || fail "Ctrl-C ended pomvex-cli.exe with exit status $status, not 130"
[ ! -e "$big/A.rtf" ] && [ ! -e "$big/B.rtf" ] || fail "Ctrl-C left an RTF file behind"
[ -z "$(ls -A "$big" | grep -v -e '^A.CHI$' -e '^B.CHI$' -e '^Pomvex.Log$')" ] ||
  fail "Ctrl-C left $(ls -A "$big") behind"
grep -q '^\*\*\* Run interrupted after 0 files\. \*\*\*'$'\r''$' "$big/Pomvex.Log" ||
  fail "the log does not tell of the interruption"
echo "Ctrl-C stops pomvex-cli.exe with 130, deletes the partial RTF file and closes the log"

bash "$root/scripts/test-windows-desktop.sh" "$(dirname "$exe")/pomvex.exe" "$setup" "$dir/screenshots"
