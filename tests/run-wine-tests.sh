#!/usr/bin/env bash
# Runs the Windows-side tests under Wine: the platform tests and the
# end-to-end scenarios, in a fresh 64-bit prefix, in a virtual X display, as
# an unprivileged user (as root, Wine ignores read-only attributes and folder
# permissions, and every failure scenario would pass untested).
# Results: build/test-results/*.xml; screenshots: build/screenshots/*.png.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/windows/bin
kit=$root/build/windows/kit
results=$root/build/test-results
shots=$root/build/screenshots
# MORVANE_WINE_WORK lets two checkouts run their Wine tests side by side.
work=${MORVANE_WINE_WORK:-/var/tmp/morvane-wine-tests}
user=morvane-e2e

for needed in "$bin/setup.exe" "$bin/e2e_tests.exe" "$bin/wine_platform_tests.exe" "$kit/setup.exe"; do
  [ -e "$needed" ] || { echo "run-wine-tests: $needed is missing; build the windows preset first" >&2; exit 2; }
done

# MORVANE_KEEP_PREFIX=1 keeps the prefix and the world of the last run (for
# benchmarks run step by step); otherwise every run starts afresh.
if [ "${MORVANE_KEEP_PREFIX:-}" != 1 ]; then
  rm -rf "$work" "$shots"
  rm -f "$results/wine_platform_tests.xml" "$results/e2e_tests.xml"
fi
mkdir -p "$work/bin" "$work/kit" "$work/results" "$work/screenshots" "$results" "$shots"
cp "$bin"/*.exe "$bin"/*.dll "$work/bin/"
cp "$kit"/* "$work/kit/"
cp "$root/tests/wine-session.sh" "$work/"

if [ "$(id -u)" = 0 ]; then
  id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
  chown -R "$user:" "$work"
  run=(runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8
       MORVANE_WINE_PROGRAMS="${MORVANE_WINE_PROGRAMS:-}")
else
  run=(env)
fi

status=0
"${run[@]}" xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/wine-session.sh" "$work" "$@" || status=$?

cp "$work"/results/*.xml "$results/" 2>/dev/null || true
cp "$work"/screenshots/*.png "$shots/" 2>/dev/null || true
exit "$status"
