#!/bin/sh
# Renders a manual page as man does, with every groff warning on, and lints it with mandoc when
# that is installed; fails on any message.
page="$1"
status=0
messages=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$page" 2>&1 >/dev/null) || status=1
if [ -n "$messages" ]; then
  printf '%s\n' "$messages"
  status=1
fi
if command -v mandoc >/dev/null 2>&1; then
  mandoc -T lint "$page" || status=1
fi
exit "$status"
