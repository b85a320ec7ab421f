#!/usr/bin/env bash
# Builds both targets: the portable logic with its unit tests (host), and
# setup.exe, setup.dll, the sample kit and the Wine tests (windows).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset host >/dev/null
cmake --build --preset host
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "build: kit in $(pwd)/build/windows/kit, as one zip in $(pwd)/build/windows/morvane-kit.zip, as one file in $(pwd)/build/windows/morvane-2.4.5-setup.exe"
