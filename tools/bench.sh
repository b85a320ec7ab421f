#!/usr/bin/env bash
# Runs the benchmarks under Wine, as the tests run, and ends with one table
# of every figure, ratios first. They print ratios, not pass or fail:
# - start-up: setup.exe from process start to its first complete paint, and
#   its peak private bytes, against a bare window with the same picture that
#   uses Common Controls 6 (and, beside it, one that only carries the manifest),
#   interleaved in one program;
# - the copy against the system's CopyFileW, in one program;
# - the whole installation against the system's copy of the same files plus
#   one registry-editor import: warm (interleaved in one program), and, when
#   this runs as root, cold: the file cache dropped before every single run,
#   as a first installation from a freshly downloaded kit meets it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" >/dev/null
warm=$(MORVANE_WINE_PROGRAMS="startup_bench copy_bench install_bench folder_bench" "$root/tests/run-wine-tests.sh" 2>&1)
printf '%s\n' "$warm"

# The figure after "name=" (or after a fixed text) in the output.
field() { printf '%s\n' "$warm" | sed -n "s/.*$1=\([0-9.]*\).*/\1/p" | head -n 1; }
after() { printf '%s\n' "$warm" | sed -n "s/.*$1 *\([0-9.]*\).*/\1/p" | head -n 1; }

cold_ratio="" cold_note="skipped: dropping the file cache needs root"
if [ "$(id -u)" = 0 ] && ( sync && echo 3 >/proc/sys/vm/drop_caches ) 2>/dev/null; then
  step() {
    MORVANE_KEEP_PREFIX=1 MORVANE_WINE_PROGRAMS="install_bench:$1" "$root/tests/run-wine-tests.sh" 2>/dev/null |
      sed -n "s/.*$1_seconds=\([0-9.]*\).*/\1 &/p"
  }
  median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
  step prepare >/dev/null
  baseline=() installation=()
  for round in 1 2 3 4 5; do
    sync && echo 3 >/proc/sys/vm/drop_caches
    baseline+=("$(step baseline | cut -d' ' -f1)")
    sync && echo 3 >/proc/sys/vm/drop_caches
    line=$(step installation)
    installation+=("${line%% *}")
  done
  b=$(printf '%s\n' "${baseline[@]}" | median)
  i=$(printf '%s\n' "${installation[@]}" | median)
  cold_ratio=$(awk -v i="$i" -v b="$b" 'BEGIN { printf "%.2f", i / b }')
  cold_note="$i s / $b s, median of 5 (runs: ${installation[*]} / ${baseline[*]})"
fi

exe=$(stat -c %s "$root/build/windows/bin/setup.exe")
dll=$(stat -c %s "$root/build/windows/bin/setup.dll")
row() { printf '  %-52s %-26s %s\n' "$1" "$2" "${3:-}"; }
echo
echo "== All figures, ratios first"
row "figure" "value" "target"
row "start-up: setup.exe / bare CC6 window" "$(field startup_ratio)" "at most 1.15"
row "peak private bytes: setup.exe / bare CC6 window" "$(field memory_ratio)" "at most 1.20"
row "copy throughput: CopyKitFile / CopyFileW" "$(after 'throughput ratio CopyKitFile \/ CopyFileW:')" "at least 0.80"
row "installation, warm cache: setup / system" "$(after 'ratio installation \/ baseline:')" "at most 1.30"
row "installation, cold cache: setup / system" "${cold_ratio:--}" "at most 1.30"
row "10,000 subfolders: chooser / FindFirstFileW" "$(after 'ratio chooser \/ enumeration:')"
row "start-up: setup.exe, bare CC6, manifest only (s)" "$(field setup_seconds) / $(field bare_seconds) / $(field manifest_only_seconds)"
row "peak private bytes: setup.exe, bare CC6 window (MB)" "$(field setup_private_mb) / $(field bare_private_mb)"
row "copy of 100 MB: CopyKitFile, CopyFileW (s)" "$(after 'CopyKitFile') / $(after 'CopyFileW  ')"
row "installation, warm: setup, system (s)" \
    "$(after 'installation (Next to "Completed installation.")') / $(after 'baseline (CopyFileW of the 8 files + regedit \/s)')"
row "installation, cold: setup / system" "$cold_note"
row "10,000 subfolders: chooser, FindFirstFileW (s)" \
    "$(after 'chooser shown (Browse to full list)') / $(after 'FindFirstFileW enumeration')"
row "setup.exe during installation (MB)" \
    "$(printf '%s\n' "$warm" | sed -n 's/.*peak working set \([0-9.]*\) MB, peak private bytes \([0-9.]*\) MB.*/working set \1, private \2/p')"
row "setup.exe + setup.dll (bytes)" "$exe + $dll = $((exe + dll))" "at most 122880 (120 KB)"
