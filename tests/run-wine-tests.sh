#!/usr/bin/env bash
# Runs the Windows-side tests under Wine: the platform tests and the
# end-to-end scenarios, in a fresh 64-bit prefix, in a virtual X display, as
# an unprivileged user (as root, Wine ignores read-only attributes and folder
# permissions, and every failure scenario would pass untested).
# Given MORVANE_SIGNED_KIT, a signed copy of the kit, and
# MORVANE_SIGNED_INSTALLER, the signed single file, the normal installation
# scenario and the single file's run once more from them (as signed_kit_tests).
# Results: build/test-results/*.xml (with *.listed, the number of tests each
# program lists, and *.exit, its exit code); screenshots: build/screenshots/*.png.
# Exits non-zero when any program failed, crashed, hung or ran short.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/windows/bin
kit=$root/build/windows/kit
results=$root/build/test-results
shots=$root/build/screenshots
# MORVANE_WINE_WORK lets two checkouts run their Wine tests side by side.
work=${MORVANE_WINE_WORK:-/var/tmp/morvane-wine-tests}
user=morvane-e2e

installer=$root/build/windows/morvane-2.4.5-setup.exe
for needed in "$bin/setup.exe" "$bin/e2e_tests.exe" "$bin/wine_platform_tests.exe" "$kit/setup.exe" "$installer"; do
  [ -e "$needed" ] || { echo "run-wine-tests: $needed is missing; build the windows preset first" >&2; exit 2; }
done

# The free-space tests need a drive whose size they know: a 64 MiB tmpfs,
# mounted here (as root) and mapped to T: inside the prefix. The failing
# deployments need R:, a folder only root may write.
drive=$work/drive-t
unmount_drive() { mountpoint -q "$drive" 2>/dev/null && umount "$drive"; }
unmount_drive || true

# MORVANE_KEEP_PREFIX=1 keeps the prefix and the world of the last run (for
# benchmarks run step by step); otherwise every run starts afresh. Results
# of an earlier run never stay: a run that writes none must not look passed.
if [ "${MORVANE_KEEP_PREFIX:-}" != 1 ]; then
  rm -rf "$work" "$shots"
fi
rm -f "$results"/wine_platform_tests.* "$results"/e2e_tests.* "$results"/signed_kit_tests.* "$work"/results/*
rm -rf "$work/signed-kit" "$work/signed-installer"
mkdir -p "$work/bin" "$work/kit" "$work/results" "$work/screenshots" "$results" "$shots"
cp "$bin"/*.exe "$bin"/*.dll "$installer" "$work/bin/"
cp "$kit"/* "$work/kit/"
if [ -n "${MORVANE_SIGNED_KIT:-}" ]; then
  mkdir "$work/signed-kit" "$work/signed-installer"
  cp "$MORVANE_SIGNED_KIT"/* "$work/signed-kit/" ||
    echo "run-wine-tests: no signed kit in $MORVANE_SIGNED_KIT; its installation will fail" >&2
  cp "${MORVANE_SIGNED_INSTALLER:-}" "$work/signed-installer/" ||
    echo "run-wine-tests: no signed single file ${MORVANE_SIGNED_INSTALLER:-}; its run will fail" >&2
fi
cp "$root/tests/wine-session.sh" "$work/"

small_drive=""
if [ "$(id -u)" = 0 ]; then
  id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
  mkdir -p "$drive"
  if mount -t tmpfs -o size=64m,mode=0755,uid="$(id -u "$user")",gid="$(id -g "$user")" morvane-t "$drive"; then
    trap unmount_drive EXIT
    small_drive=$drive
  else
    echo "run-wine-tests: could not mount the 64 MiB test drive; the free-space tests will fail" >&2
  fi
  chown -R "$user:" "$work"
  # A drive nobody may write to but root, for deployments that must fail
  # there: the test user can neither write in it nor change its permissions.
  read_only_drive=$work/drive-r
  mkdir -p "$read_only_drive"
  chown root:root "$read_only_drive"
  chmod 0555 "$read_only_drive"
  run=(runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8
       MORVANE_WINE_PROGRAMS="${MORVANE_WINE_PROGRAMS:-}" MORVANE_SMALL_DRIVE="$small_drive"
       MORVANE_READ_ONLY_DRIVE="$read_only_drive")
else
  echo "run-wine-tests: not root: no test user and no 64 MiB test drive; the free-space tests will fail" >&2
  run=(env MORVANE_SMALL_DRIVE= MORVANE_READ_ONLY_DRIVE=)
fi

status=0
# A laptop's screen: the windows at twice the scale fit on it.
"${run[@]}" xvfb-run -a -s "-screen 0 1920x1200x24" bash "$work/wine-session.sh" "$work" "$@" || status=$?

for suffix in xml listed exit; do cp "$work"/results/*.$suffix "$results/" 2>/dev/null || true; done
cp "$work"/screenshots/*.png "$shots/" 2>/dev/null || true
exit "$status"
