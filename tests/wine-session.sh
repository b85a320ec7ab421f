#!/usr/bin/env bash
# Inside the virtual display, as the test user: makes the prefix and runs
# each Windows test program. Argument: the work folder.
set -uo pipefail
work=$1
shift
winwork='Z:'$(printf '%s' "$work" | tr '/' '\\')

# No Mono or Gecko prompts, and no Linux menu entries for the shortcuts the
# tests make (Wine's desktop integration, which Windows does not have).
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export MORVANE_TEST_KIT="$winwork\\kit" MORVANE_TEST_BIN="$winwork\\bin" MORVANE_TEST_SCREENSHOTS="$winwork\\screenshots"

wineboot -i >/dev/null 2>&1
wineserver -w
# Without a window manager, let Wine draw the window frames itself, so that
# screenshots show the title bar and its buttons.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

status=0
for entry in ${MORVANE_WINE_PROGRAMS:-wine_platform_tests e2e_tests}; do
  program=${entry%%:*}  # "program:argument" runs it with that argument
  echo "== $program"
  if [[ "$program" != *_tests ]]; then  # a benchmark: it prints its own figures
    argument=()
    [[ "$entry" == *:* ]] && argument=("${entry#*:}")
    wine "$work/bin/$program.exe" "${argument[@]}" "$@" 2>&1 | tr -d '\r' || status=1
    continue
  fi
  wine "$work/bin/$program.exe" --gtest_output="xml:$winwork\\results\\$program.xml" "$@" 2>&1 | tr -d '\r' || true
  [ -s "$work/results/$program.xml" ] || { echo "$program wrote no results" >&2; status=1; }
  grep -q 'failures="0"' "$work/results/$program.xml" 2>/dev/null || status=1
done
wineserver -k
exit "$status"
