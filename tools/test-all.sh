#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests, the checks of
# the built files, then the Windows tests under Wine. Ends with one summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
results=$root/build/test-results

"$root/tools/setup-machine.sh" || { echo "SUMMARY: FAILED - the machine could not be set up"; exit 1; }
"$root/tools/build.sh" || { echo "SUMMARY: FAILED - the build failed"; exit 1; }
rm -rf "$results"
mkdir -p "$results"

echo "== host unit tests"
build/host/unit_tests --gtest_output="xml:$results/unit_tests.xml" || true
echo "== build checks"
tests/check-artifacts.sh || true
echo "== tests under Wine"
tests/run-wine-tests.sh || true

# "tests failures" of a result file, or "0 1" when it is missing.
counts() {
  local file=$results/$1.xml
  if [ -s "$file" ]; then
    sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)" disabled="[0-9]*" errors="\([0-9]*\)".*/\1 \2 \3/p' "$file" |
      head -n 1 | awk '{print $1, $2 + $3}'
  else
    echo "0 1"
  fi
}
line=""
failed=0
for suite in unit_tests:"host unit tests" build_checks:"build checks" wine_platform_tests:"Wine platform tests" \
             e2e_tests:"end-to-end tests"; do
  read -r total failures < <(counts "${suite%%:*}")
  line+="${suite#*:} $((total - failures))/$total passed; "
  [ "$failures" = 0 ] || failed=1
done
if [ "$failed" = 0 ]; then
  echo "SUMMARY: ${line}ALL PASSED"
else
  echo "SUMMARY: ${line}FAILED"
fi
exit "$failed"
