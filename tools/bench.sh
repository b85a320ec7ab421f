#!/usr/bin/env bash
# Runs the benchmarks under Wine, as the tests run: the copy against the
# system's CopyFileW, and the whole installation against the system's copy
# plus one registry-editor import. They print ratios, not pass or fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" >/dev/null
MORVANE_WINE_PROGRAMS="copy_bench install_bench" "$root/tests/run-wine-tests.sh"
