#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests, the checks of
# the built files, then the Windows tests under Wine. Each suite runs under a
# time limit; its exit code counts, and so does every test it lists but did
# not run. Prints one SUMMARY line per run, then, as the very last line, the
# totals over all suites: "N passed, N failed". Exits non-zero when anything
# failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
results=$root/build/test-results

# What a suite should run is counted without any GTEST_* setting of the
# environment: a filter left there narrows the run, never the count, so the
# run fails instead of passing with fewer tests.
unfiltered=(env)
for variable in $(compgen -e | grep -E '^GTEST_'); do unfiltered+=(-u "$variable"); done

# The tests check the unsigned build (two clean builds give the same bytes)
# and sign a kit of their own with a throwaway certificate.
unset MORVANE_SIGN_PFX MORVANE_SIGN_PASSWORD MORVANE_SIGN_TIMESTAMP

passed=0
failed=0
summary=""
finish() {  # finish [REASON]: the summary and the totals, then the exit
  if [ "$failed" = 0 ]; then
    echo "SUMMARY: ${summary}ALL PASSED"
  else
    echo "SUMMARY: ${summary}FAILED${1:+ - $1}"
  fi
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
  exit
}

"$root/tools/setup-machine.sh" || { failed=1; finish "the machine could not be set up"; }
"$root/tools/build.sh" || { failed=1; finish "the build failed"; }
mkdir -p "$results"

# One attribute of the <testsuites> element of a result file; empty if none.
total_attribute() {  # total_attribute FILE NAME
  grep -m 1 -o '<testsuites [^>]*>' "$1" 2>/dev/null | sed -n "s/.* $2=\"\\([0-9]*\\)\".*/\\1/p"
}

# Adds one suite to the totals. A suite that wrote no readable result, ran
# fewer tests than it lists, skipped tests or ended with a non-zero exit
# code despite passing tests (a failure in a set-up or tear-down, a crash at
# the end) counts as failed; a result file is trusted only for what it ran.
judge() {  # judge RESULT_FILE LABEL LISTED EXIT_CODE
  local file=$1 label=$2 listed=$3 code=$4
  local tests failures errors disabled skipped good bad notes=""
  [[ "$listed" =~ ^[0-9]+$ ]] || { listed=0; notes+=", could not list its tests"; }
  tests=$(total_attribute "$file" tests)
  failures=$(total_attribute "$file" failures)
  errors=$(total_attribute "$file" errors)
  disabled=$(total_attribute "$file" disabled)
  if [ -z "$tests" ] || [ -z "$failures" ]; then
    good=0
    bad=$((listed > 0 ? listed : 1))
    notes+=", wrote no result"
  else
    skipped=$(grep -o 'result="skipped"' "$file" | wc -l)
    local ran=$((tests - ${disabled:-0}))
    bad=$((failures + ${errors:-0} + skipped))
    good=$((ran - bad))
    [ "$skipped" = 0 ] || notes+=", $skipped skipped"
    if [ "$ran" -lt "$listed" ]; then
      bad=$((listed - good))
      notes+=", ran $ran of $listed"
    fi
  fi
  if [ "$code" != 0 ]; then
    [ "$code" = 124 ] && notes+=", timed out" || notes+=", exit code $code"
    [ "$bad" -gt 0 ] || bad=1
  fi
  [ "$listed" -gt 0 ] || { [ "$bad" -gt 0 ] || bad=1; notes+=", lists no test"; }
  passed=$((passed + good))
  failed=$((failed + bad))
  summary+="$label $good/$((good + bad)) passed${notes}; "
}

echo "== host unit tests"
rm -f "$results/unit_tests.xml"
listed=$(timeout 60 "${unfiltered[@]}" build/host/unit_tests --gtest_list_tests | grep -c '^  ')
timeout -k 10 900 build/host/unit_tests --gtest_output="xml:$results/unit_tests.xml"
judge "$results/unit_tests.xml" "host unit tests" "$listed" $?

echo "== build checks"
rm -f "$results/build_checks.xml"
listed=$(tests/check-artifacts.sh --list | wc -l)
timeout -k 10 1800 tests/check-artifacts.sh
judge "$results/build_checks.xml" "build checks" "$listed" $?

echo "== tests under Wine"
# The script runs each program under its own time limit; this one is only
# the last guard. It leaves, per program, the result, the listed count and
# the exit code; it removes those of any earlier run first. The signed copy
# of the kit that the build checks left is installed once more, and their
# signed single file run; without them, that run counts as failed.
rm -f "$results"/wine_platform_tests.* "$results"/e2e_tests.* "$results"/signed_kit_tests.*
signed_kit="" signed_installer=""
[ -d build/signed-kit ] && signed_kit=$root/build/signed-kit
[ -f build/signed-installer/morvane-2.4.5-setup.exe ] &&
  signed_installer=$root/build/signed-installer/morvane-2.4.5-setup.exe
MORVANE_SIGNED_KIT=$signed_kit MORVANE_SIGNED_INSTALLER=$signed_installer timeout -k 30 4800 tests/run-wine-tests.sh
wine_status=$?
for program in wine_platform_tests:"Wine platform tests" e2e_tests:"end-to-end tests" \
               signed_kit_tests:"signed kit installed under Wine"; do
  name=${program%%:*}
  code=$(cat "$results/$name.exit" 2>/dev/null || echo "$wine_status")
  [ -n "$code" ] || code=1
  judge "$results/$name.xml" "${program#*:}" "$(cat "$results/$name.listed" 2>/dev/null)" "$code"
done
# A failure of the script itself (a set-up step, the display) counts too.
if [ "$wine_status" != 0 ] && [ "$failed" = 0 ]; then
  failed=1
  summary+="Wine test run exit code $wine_status; "
fi

finish
