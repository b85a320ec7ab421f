#!/usr/bin/env bash
# Runs the benchmarks under Wine, as the tests run. They print ratios, not
# pass or fail:
# - the copy against the system's CopyFileW, in one program;
# - the whole installation against the system's copy of the same files plus
#   one registry-editor import: warm (interleaved in one program), and, when
#   this runs as root, cold: the file cache dropped before every single run,
#   as a first installation from a freshly downloaded kit meets it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" >/dev/null
MORVANE_WINE_PROGRAMS="copy_bench install_bench folder_bench" "$root/tests/run-wine-tests.sh"

if [ "$(id -u)" != 0 ] || ! ( sync && echo 3 >/proc/sys/vm/drop_caches ) 2>/dev/null; then
  echo "== cold-cache runs skipped: they need root to drop the file cache"
  exit 0
fi
step() {
  MORVANE_KEEP_PREFIX=1 MORVANE_WINE_PROGRAMS="install_bench:$1" "$root/tests/run-wine-tests.sh" 2>/dev/null |
    sed -n "s/.*$1_seconds=\([0-9.]*\).*/\1 &/p"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
step prepare >/dev/null
baseline=() installation=() memory=""
for round in 1 2 3 4 5; do
  sync && echo 3 >/proc/sys/vm/drop_caches
  baseline+=("$(step baseline | cut -d' ' -f1)")
  sync && echo 3 >/proc/sys/vm/drop_caches
  line=$(step installation)
  installation+=("${line%% *}")
  memory=$(printf '%s' "$line" | grep -o 'peak_working_set_mb=.*')
done
b=$(printf '%s\n' "${baseline[@]}" | median)
i=$(printf '%s\n' "${installation[@]}" | median)
echo "== install_bench, cold file cache (dropped before every run), median of 5 rounds each"
echo "  baseline (CopyFileW of the 8 files + regedit /s)  $b s   (${baseline[*]})"
echo "  installation (Next to \"Completed installation.\")  $i s   (${installation[*]})"
awk -v i="$i" -v b="$b" 'BEGIN { printf "  ratio installation / baseline: %.2f (target at most 1.30)\n", i / b }'
echo "  setup.exe $memory"
