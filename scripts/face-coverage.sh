#!/usr/bin/env bash
# Prints the rows of the document face's character table (src/charmaps/face_coverage.cpp), read
# from the font: Liberation Serif 1.x, Times New Roman's metric twin with the same characters.
# Usage: scripts/face-coverage.sh [FONT_FILE]
set -euo pipefail
font="${1:-/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf}"
fc-query -f '%{charset}\n' "$font" | tr ' ' '\n' | grep . | tr 'a-f' 'A-F' |
  awk -F- '{ printf "    {0x%s, 0x%s},\n", $1, ($2 == "" ? $1 : $2) }'
