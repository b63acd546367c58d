#!/usr/bin/env bash
# The real program in a real X server (Xvfb with the openbox window manager), driven as a user
# drives it with xdotool: "Go!" pressed, the information box closed with Enter, then "Go!" clicked
# twice and Enter pressed while the run goes on. Exactly one run must happen: one log, one RTF per
# document (one of them named in Latin-1, as on a DOS disk, which is no UTF-8), and a log byte for
# byte that of the command line converting one document at a time (the window converts on every
# core). With a screenshot folder, also takes pictures of the screen after the run and of the
# window fourteen folders down.
#
#   window_session_test.sh POMVEX POMVEX_CLI [SCREENSHOT_DIR]
#
# Exits 77 (skipped) when Xvfb, openbox or xdotool is missing.
set -euo pipefail
pomvex="$1"
cli="$2"
shots="${3:-}"
documents=4000

for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

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

# The documents: a page of text with Greek letters, and a character the symbol font lacks on
# every tenth line (an error to count), about 25 KB each.
papers="$work/papers"
mkdir -p "$papers"
doc=$'\\1cw\r\n\\U1STANDARD\r\n\\U2GREEK\r\n\\U3SYMBOL\r\n'
for line in $(seq 300); do
  doc+="Line $line: the energy \\2a\\1 of a body moving with velocity v follows from"
  if ((line % 10 == 0)); then doc+=" \\3!\\1"; fi
  doc+=$' the Lorentz factor.\\,\r\n'
done
for n in $(seq -w "$documents"); do printf '%s' "$doc" >"$papers/PAPER$n.CHI"; done
latin1="$(printf 'R\311SUM\311')"
printf '%s' "$doc" >"$papers/$latin1.CHI"

# The X server on a free display, and the window manager.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  fail "openbox did not start"

title='^ChiWriter 3.11 to RTF Convertor$'
# Starts the program in a folder; sets $window to its window.
start_program() {
  (cd "$1" && exec "$pomvex") >"$work/pomvex.log" 2>&1 &
  program=$!
  pids+=("$program")
  wait_for 100 xdotool search --onlyvisible --name "$title" || fail "the window did not show"
  window="$(xdotool search --onlyvisible --name "$title" | head -n1)"
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  sleep 0.3
}

# Clicks at a point of the window's client area.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

quit_program() {
  click 228 332  # "Quit"
  wait_for 50 sh -c "! kill -0 $program" || fail "Quit did not end the program"
}

start_program "$papers"
click 70 332  # "Go!"
wait_for 50 xdotool search --onlyvisible --name '^Information$' || fail "no information box"
info="$(xdotool search --onlyvisible --name '^Information$' | head -n1)"
xdotool windowfocus --sync "$info" key Return
# The run goes on: "Go!" twice, and Enter on the button that has the focus.
xdotool mousemove --window "$window" 70 332 click --repeat 2 --delay 80 1 key Return
if grep -qa "Finished converting" "$papers/Pomvex.Log" 2>/dev/null; then
  fail "the run was over before the clicks; use more documents"
fi
wait_for 1200 grep -qa "Finished converting" "$papers/Pomvex.Log" || fail "the run did not finish"
sleep 1.5
if xdotool search --onlyvisible --name '^Information$' >/dev/null 2>&1; then
  fail "a second run started"
fi
logs=$(find "$papers" -name 'Pomvex*' | wc -l)
rtfs=$(find "$papers" -name '*.rtf' | wc -l)
renamed=$(find "$papers" -name '*_0.rtf' | wc -l)
[ "$logs" -eq 1 ] || fail "$logs logs"
[ "$rtfs" -eq "$((documents + 1))" ] && [ "$renamed" -eq 0 ] && [ -f "$papers/$latin1.rtf" ] ||
  fail "$rtfs RTF files ($renamed renamed) for $documents documents and $latin1.CHI"
kill -0 "$program" || fail "the program ended during the run"
if [ -n "$shots" ] && command -v import >/dev/null; then
  mkdir -p "$shots"
  import -window root "$shots/session_after_run.png"
fi
quit_program

# The command line's log of the same folder (written as Pomvex_0.Log), one document at a time,
# is the window's, on every core.
find "$papers" -name '*.rtf' -delete
"$cli" -j 1 "$papers" >/dev/null
cmp "$papers/Pomvex.Log" "$papers/Pomvex_0.Log" || fail "the window's log differs from pomvex-cli's"

if [ -n "$shots" ] && command -v import >/dev/null; then
  deep="$work/deep"
  for level in $(seq 14); do deep+="/level$level"; done
  mkdir -p "$deep/drafts" "$deep/letters to publishers"
  cp "$papers/PAPER0001.CHI" "$deep/"
  start_program "$deep"
  import -window root "$shots/session_fourteen_folders_down.png"
  quit_program
fi
echo "one run, one log, $rtfs RTF files for $((documents + 1)) documents; logs identical"
