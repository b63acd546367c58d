#!/usr/bin/env bash
# The Windows desktop program and the installer, under Wine in a real X server (Xvfb with the
# openbox window manager), driven as a user drives them with xdotool. Called by
# scripts/test-windows.sh, in its Wine prefix (WINEPREFIX):
#
#   test-windows-desktop.sh POMVEX_EXE SETUP_EXE SCREENSHOT_DIR
#
# 1. pomvex.exe started in a copy of the samples shows its window; Enter on the focused "Go!"
#    shows the start directory, Enter closes that box, and the run gives exactly the golden RTF
#    files and log; Enter then presses the focused "Quit". Screenshots before the run, of the
#    information box, and after the run.
# 2. In a folder of a few thousand documents (one of them named "Größe.CHI"), "Go!" clicked twice
#    and Enter pressed while the run goes on start no second run: one log, one RTF file per
#    document.
# 3. The installer, run with /S, puts both programs, the README, the licence and the uninstaller
#    under Program Files, a Start-menu entry and the uninstaller's registration in place; the
#    uninstaller, run with /S, leaves none of them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$(realpath "$1")"
setup="$(realpath "$2")"
shots="$(realpath -m "$3")"
golden="$root/examples/golden"
documents=2000

fail() {
  echo "test-windows: $*" >&2
  exit 1
}
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done

work="$(mktemp -d)"
pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
  local tenths="$1"
  shift
  for _ in $(seq "$tenths"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The X server on a free display, and the window manager. Wine's programs, started from here on,
# draw on it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  fail "openbox did not start"
# The Wine server of the console tests had no display.
wineserver -k 2>/dev/null || true
mkdir -p "$shots"

title='^ChiWriter 3.11 to RTF Convertor$'
shown() { xdotool search --onlyvisible --name "$1"; }
# Starts the program in a folder; sets $window to its window and $program to its process.
start_program() {
  (cd "$1" && exec wine "$exe") >"$work/pomvex.log" 2>&1 &
  program=$!
  pids+=("$program")
  wait_for 600 shown "$title" || fail "the window did not show"
  window="$(shown "$title" | head -n1)"
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  sleep 1
}
# Presses Enter in the window that has the focus, waiting first for a box titled $1 when given.
enter() {
  if [ -n "${1:-}" ]; then
    wait_for 300 shown "^$1\$" || fail "no box titled $1"
    xdotool windowactivate --sync "$(shown "^$1\$" | head -n1)" >/dev/null 2>&1 || true
  fi
  xdotool key Return
}
quits_on_enter() {
  enter
  wait_for 100 sh -c "! kill -0 $program" || fail "Enter did not press the focused Quit"
}
screenshot() {
  if command -v import >/dev/null; then import -window root "$shots/$1"; fi
}

# 1. The samples, converted from the window.
samples="$work/samples"
mkdir -p "$samples"
cp "$root"/examples/*.CHI "$samples"/
start_program "$samples"
screenshot windows_window_before_run.png
enter  # "Go!" has the focus
wait_for 300 shown '^Information$' || fail "Enter on Go! showed no information box"
[ ! -e "$samples/Pomvex.Log" ] || fail "the run began before the information box was closed"
sleep 0.5
screenshot windows_information_box.png
enter Information
wait_for 600 grep -qa "Finished converting" "$samples/Pomvex.Log" || fail "the run did not finish"
sleep 1
screenshot windows_window_after_run.png
for rtf in "$golden"/*.rtf; do
  cmp -s "$rtf" "$samples/$(basename "$rtf")" || fail "pomvex.exe: $(basename "$rtf") differs"
done
[ "$(cd "$samples" && ls -- *.rtf | wc -l)" -eq "$(ls "$golden"/*.rtf | wc -l)" ] ||
  fail "pomvex.exe wrote other RTF files than the golden ones"
sed "1s|^.*\\\\samples\\\\\r\$|EXAMPLES/\r|" "$samples/Pomvex.Log" | cmp -s - "$golden/Pomvex.Log" ||
  fail "pomvex.exe: the log differs from the golden log"
quits_on_enter
echo "pomvex.exe: Enter on Go! and on the information box gives the golden RTF files and log;"
echo "Enter then presses Quit"

# 2. Impatient clicks during a long run.
papers="$work/papers"
mkdir -p "$papers"
doc=$'\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\n'
for line in $(seq 200); do
  doc+="Line $line: the energy \\2a\\1 of a body moving with velocity v follows from"
  doc+=$' the Lorentz factor.\r\n'
done
for n in $(seq -w "$documents"); do printf '%s' "$doc" >"$papers/PAPER$n.CHI"; done
# A name beyond ASCII is listed, handed to the run and converted like any other.
printf '%s' "$doc" >"$papers/Größe.CHI"
start_program "$papers"
enter
enter Information
sleep 0.5
# "Go!" at (70, 332) of the client area, twice, then Enter on the focused control.
xdotool mousemove --window "$window" 70 332 click --repeat 2 --delay 100 1 key Return
if grep -qa "Finished converting" "$papers/Pomvex.Log" 2>/dev/null; then
  fail "the run was over before the clicks; use more documents"
fi
wait_for 3000 grep -qa "Finished converting" "$papers/Pomvex.Log" || fail "the long run did not finish"
sleep 2
shown '^Information$' >/dev/null 2>&1 && fail "a second run started"
logs=$(find "$papers" -name 'Pomvex*' | wc -l)
rtfs=$(find "$papers" -name '*.rtf' | wc -l)
renamed=$(find "$papers" -name '*_0.rtf' | wc -l)
[ "$logs" -eq 1 ] || fail "$logs logs after one run"
[ "$rtfs" -eq $((documents + 1)) ] && [ "$renamed" -eq 0 ] && [ -f "$papers/Größe.rtf" ] ||
  fail "$rtfs RTF files ($renamed renamed) for $((documents + 1)) documents"
kill -0 "$program" || fail "pomvex.exe ended during the run"
quits_on_enter
echo "pomvex.exe: clicks on Go! during a run of $documents documents start no second run"

# 3. The installer and the uninstaller, silent.
programs="$(winepath -u 'C:\Program Files\Pomvex')"
wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer failed: $(cat "$work/setup.log")"
for file in pomvex.exe pomvex-cli.exe README.md LICENSE.txt Uninstall.exe; do
  [ -f "$programs/$file" ] || fail "the installer did not put $file under Program Files"
done
menu="$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -iname 'Pomvex*.lnk' | head -n1)"
[ -n "$menu" ] || fail "the installer made no Start-menu entry for the window"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pomvex'
wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 ||
  fail "the uninstaller is not registered with Windows"
[ "$(wine "$programs/pomvex-cli.exe" --version | tr -d '\r')" = "pomvex-cli $(basename "$setup" | sed 's/^pomvex-\(.*\)-win64-setup.exe$/\1/')" ] ||
  fail "the installed pomvex-cli.exe does not run"
echo "the installer puts both programs, the uninstaller and a Start-menu entry in place"
wine "$programs/Uninstall.exe" /S >"$work/uninstall.log" 2>&1 || fail "the uninstaller failed"
# The uninstaller goes on in a copy of itself, which ends when it has removed everything.
drive_c="$WINEPREFIX/drive_c"
left() {
  find "$drive_c/Program Files" "$drive_c/ProgramData" "$drive_c/users" -ipath '*pomvex*' \
    -not -path '*/Temp/*'
}
nothing_left() { [ -z "$(left)" ]; }
wait_for 600 nothing_left || fail "the uninstaller left: $(left)"
for key in "$uninstall_key" 'HKLM\Software\The Pomvex authors\Pomvex'; do
  ! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left $key"
done
echo "the uninstaller leaves no file, no Start-menu entry and no registration"
