#!/usr/bin/env bash
# Builds the sample kit and starts setup.exe from it under Wine: in your
# display when there is one; otherwise in a virtual display, where it saves
# a screenshot of the window and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup-machine.sh"
"$root/tools/build.sh"

kit=$root/build/windows/kit
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
  echo "run-kit: starting $kit/setup.exe"
  cd "$kit" && exec wine setup.exe
fi

mkdir -p "$root/build/screenshots"
shot=$root/build/screenshots/setup-window.png
rm -f "$shot"
winshot='Z:'$(printf '%s' "$shot" | tr '/' '\\')
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wineboot -i >/dev/null 2>&1; wineserver -w
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  cd "$1" && wine setup.exe &
  wine "$2" "Morvane by Halvo Setup" "$3" 60
  wineserver -k' run-kit "$kit" "$root/build/windows/bin/windowshot.exe" "$winshot"
[ -s "$shot" ] || { echo "run-kit: no screenshot was taken" >&2; exit 1; }
echo "run-kit: the setup window is in $shot"
