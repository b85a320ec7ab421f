#!/usr/bin/env bash
# Inside the virtual display, as the test user: makes the prefix and runs
# each Windows test program. Argument: the work folder; the rest goes to
# every test program (a --gtest_filter, say).
# For each test program it leaves in the work folder's results: NAME.xml
# (GoogleTest's result), NAME.listed (how many tests it lists for the same
# arguments) and NAME.exit (its exit code; 124 when it ran out of time).
# Exits non-zero when any program failed, crashed, hung or ran fewer tests
# than it lists.
set -uo pipefail
work=$1
shift
winwork='Z:'$(printf '%s' "$work" | tr '/' '\\')

# A home of the session's own: Wine links the prefix's Desktop and other
# user folders to $HOME, and every checkout's tests run as the same user, so
# a shared home would let one run's shortcuts appear in, or vanish from,
# another's.
export HOME=$work/home
mkdir -p "$HOME"

# No Mono or Gecko prompts, and no Linux menu entries for the shortcuts the
# tests make (Wine's desktop integration, which Windows does not have).
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export MORVANE_TEST_KIT="$winwork\\kit" MORVANE_TEST_BIN="$winwork\\bin" MORVANE_TEST_SCREENSHOTS="$winwork\\screenshots"
export MORVANE_TEST_INSTALLER="$winwork\\bin\\morvane-2.4.5-setup.exe"

wineboot -i >/dev/null 2>&1
wineserver -w
# Without a window manager, let Wine draw the window frames itself, so that
# screenshots show the title bar and its buttons.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The small drive of known size that the free-space tests look at.
if [ -n "${MORVANE_READ_ONLY_DRIVE:-}" ]; then
  ln -sfn "$MORVANE_READ_ONLY_DRIVE" "$WINEPREFIX/dosdevices/r:"
else
  echo "wine-session: no read-only test drive R: (it needs root); the failing deployment test will fail" >&2
fi
if [ -n "${MORVANE_SMALL_DRIVE:-}" ]; then
  ln -sfn "$MORVANE_SMALL_DRIVE" "$WINEPREFIX/dosdevices/t:"
else
  echo "wine-session: no small test drive T: (it needs root to mount); the free-space tests will fail" >&2
fi

# Runs a Windows program with a time limit, its output to a file that is
# shown as it grows. A pipe from wine itself could be inherited by the
# prefix's services, and its reader would then wait for ever.
run_limited() {  # run_limited SECONDS LOG COMMAND...
  local limit=$1 log=$2 pid code
  shift 2
  : > "$log"
  timeout -k 20 "$limit" "$@" > "$log" 2>&1 &
  pid=$!
  tail -n +1 -f --pid="$pid" "$log" | tr -d '\r'
  wait "$pid"
  code=$?
  if [ "$code" = 124 ] || [ "$code" = 137 ]; then
    echo "wine-session: $(basename "$log" | sed "s/[.][a-z]*$//") did not end within $limit s; stopped" >&2
    wineserver -k
    code=124
  fi
  return "$code"
}

# One attribute of the <testsuites> element of a result file.
total_attribute() {  # total_attribute FILE NAME
  grep -m 1 -o '<testsuites [^>]*>' "$1" 2>/dev/null | sed -n "s/.* $2=\"\\([0-9]*\\)\".*/\\1/p"
}

# What a program lists is counted without GTEST_* settings of the
# environment: a filter there would narrow the count along with the run.
unfiltered=(env)
for variable in $(compgen -e | grep -E '^GTEST_'); do unfiltered+=(-u "$variable"); done

programs=${MORVANE_WINE_PROGRAMS:-wine_platform_tests e2e_tests}
[ -d "$work/signed-kit" ] && programs+=" signed_kit_tests"

status=0
for entry in $programs; do
  program=${entry%%:*}  # "program:argument" runs it with that argument
  echo "== $program"
  if [[ "$program" != *_tests ]]; then  # a benchmark: it prints its own figures
    argument=()
    [[ "$entry" == *:* ]] && argument=("${entry#*:}")
    run_limited 3600 "$work/$program.log" wine "$work/bin/$program.exe" "${argument[@]}" "$@" || status=1
    continue
  fi
  result=$work/results/$program
  rm -f "$result.xml" "$result.listed" "$result.exit"
  executable=$program kit=() arguments=("$@")
  case $program in
    e2e_tests) limit=2400 ;;
    signed_kit_tests)  # the scenarios' installation, from the signed kit and the signed single file
      executable=e2e_tests limit=300
      kit=(MORVANE_TEST_KIT="$winwork\\signed-kit"
           MORVANE_TEST_INSTALLER="$winwork\\signed-installer\\morvane-2.4.5-setup.exe")
      arguments=(--gtest_filter=Installation.NormalInstallationLeavesEverythingInPlace:Silent.SingleFile*) ;;
    *) limit=900 ;;
  esac

  listed=""
  if run_limited 120 "$work/$program.list" "${unfiltered[@]}" "${kit[@]}" wine "$work/bin/$executable.exe" \
       --gtest_list_tests "${arguments[@]}" >/dev/null; then
    listed=$(tr -d '\r' < "$work/$program.list" | grep -c '^  ')
  fi
  [ -n "$listed" ] || { echo "wine-session: $program could not list its tests" >&2; listed=0; status=1; }
  echo "$listed" > "$result.listed"

  run_limited "$limit" "$work/$program.log" env "${kit[@]}" wine "$work/bin/$executable.exe" \
    --gtest_output="xml:$winwork\\results\\$program.xml" "${arguments[@]}"
  code=$?
  echo "$code" > "$result.exit"
  [ "$code" = 0 ] || { echo "wine-session: $program exited with $code" >&2; status=1; }

  if [ ! -s "$result.xml" ]; then
    echo "wine-session: $program wrote no results" >&2
    status=1
    continue
  fi
  tests=$(total_attribute "$result.xml" tests)
  failures=$(total_attribute "$result.xml" failures)
  errors=$(total_attribute "$result.xml" errors)
  disabled=$(total_attribute "$result.xml" disabled)
  skipped=$(grep -o 'result="skipped"' "$result.xml" | wc -l)
  if [ -z "$tests" ] || [ -z "$failures" ]; then
    echo "wine-session: $program wrote an unreadable result" >&2
    status=1
  elif [ "$((failures + ${errors:-0}))" != 0 ]; then
    status=1
  elif [ "$skipped" != 0 ]; then
    echo "wine-session: $program skipped $skipped tests" >&2
    status=1
  elif [ "$((tests - ${disabled:-0}))" -lt "$listed" ]; then
    echo "wine-session: $program ran $((tests - ${disabled:-0})) of the $listed tests it lists" >&2
    status=1
  fi
done
wineserver -k
exit "$status"
