#!/usr/bin/env bash
# Checks the built setup.exe, setup.dll, resources and kit as files:
# format, imports, exports, version block, icon, the system's defences,
# manifest, kit layout, zip and single file, that a second clean build gives
# the same bytes, and that the kit and single file of that build, signed
# there with a throwaway certificate, verify; copies of them stay in
# build/signed-kit and build/signed-installer for the tests under Wine.
# Writes build/test-results/build_checks.xml. With --list, only names the
# checks (one a line), so that a caller can tell how many should have run.
set -uo pipefail
# With pipefail, a grep -q at the end of a pipe could stop reading before its
# writer is done and so fail it: greps read everything, or read here-strings.
listing=0
[ "${1:-}" = --list ] && listing=1
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/windows/bin
kit=$root/build/windows/kit
zip=$root/build/windows/morvane-kit.zip
installer=$root/build/windows/morvane-2.4.5-setup.exe
signed_kit=$root/build/signed-kit
signed_installer=$root/build/signed-installer
results=$root/build/test-results
mkdir -p "$results"
objdump=i686-w64-mingw32-objdump
# The second build, made clean: built unsigned, then its kit signed.
again=""
if [ "$listing" = 0 ]; then
  again=$(mktemp -d)
  trap 'rm -rf "$again"' EXIT
fi

cases=""
total=0
failures=0
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1 output
  shift
  if [ "$listing" = 1 ]; then
    echo "$name"
    return
  fi
  total=$((total + 1))
  if output=$("$@" 2>&1); then
    echo "ok - $name"
    cases+="<testcase name=\"$name\" classname=\"BuildChecks\"/>"
  else
    failures=$((failures + 1))
    echo "not ok - $name"
    printf '%s\n' "$output" | sed 's/^/    /'
    output=$(printf '%s' "$output" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g; s/"/\&quot;/g')
    cases+="<testcase name=\"$name\" classname=\"BuildChecks\"><failure message=\"$output\"/></testcase>"
  fi
}

expect_eq() {  # expect_eq WHAT ACTUAL EXPECTED
  [ "$2" = "$3" ] || { echo "$1: got [$2], expected [$3]"; return 1; }
}

pe_formats() {
  file -b "$bin/setup.exe" | grep '^PE32 executable (GUI) Intel 80386' >/dev/null || { file "$bin/setup.exe"; return 1; }
  file -b "$bin/setup.dll" | grep '^PE32 executable (DLL).*Intel 80386' >/dev/null || { file "$bin/setup.dll"; return 1; }
  file -b "$installer" | grep '^PE32 executable (GUI) Intel 80386' >/dev/null || { file "$installer"; return 1; }
}

only_system_imports() {
  local allowed=" KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll msvcrt.dll ole32.dll SHELL32.dll " bad=0 dlls
  for f in "$bin/setup.exe" "$bin/setup.dll" "$bin/installer_stub.exe"; do
    dlls=$($objdump -p "$f" | sed -n 's/^\tDLL Name: //p')
    # An empty or unreadable import table would let every name below pass.
    [[ " $(echo $dlls) " == *" KERNEL32.dll "* ]] || { echo "$(basename "$f"): no KERNEL32.dll among [$dlls]"; bad=1; }
    for dll in $dlls; do
      [[ "$allowed" == *" $dll "* ]] || { echo "$(basename "$f") imports $dll"; bad=1; }
    done
  done
  # The program itself leaves Common Controls to run time, after the DLL search is restricted.
  $objdump -p "$bin/setup.exe" | grep -i 'DLL Name: comctl32' >/dev/null && { echo "setup.exe imports comctl32"; bad=1; }
  return $bad
}

exact_exports() {
  local exports
  exports=$($objdump -p "$bin/setup.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/{/Table/d;s/.*\] //p}' | sort | tr '\n' ' ')
  expect_eq "exports" "$exports" "DISKSPACEFREE DLLSelfRegister fCreateShellLink fCreateShellLinkW fRemoveShellLink fRemoveShellLinkW "
}

version_block() {
  local info bad=0
  info=$(exiftool -s -FileVersion -ProductVersion -FileDescription -ProductName -InternalName -OriginalFileName \
         -FileVersionNumber -ProductVersionNumber -LanguageCode -CharacterSet "$bin/setup.exe")
  for line in "FileVersion *: 2.04.0005" "ProductVersion *: 2.04.0005" "FileDescription *: Morvane by Halvo Setup" \
              "ProductName *: Morvane by Halvo Setup" "InternalName *: setup" "OriginalFileName *: setup.exe" \
              "FileVersionNumber *: 2.4.0.5" "ProductVersionNumber *: 2.4.0.5" "LanguageCode *: English (U.S.)" \
              "CharacterSet *: Unicode"; do
    printf '%s\n' "$info" | grep -x "$line" >/dev/null || { echo "missing: $line"; bad=1; }
  done
  [ "$bad" = 0 ] || printf '%s\n' "$info"
  return $bad
}

program_icon() {
  local icons
  icons=$(wrestool -x -t 14 "$bin/setup.exe" | icotool -l -)
  expect_eq "icons" "$icons" "--icon --index=1 --width=32 --height=32 --bit-depth=4 --palette-size=16"
}

# Both files keep the system's defences: no execution of data (DEP),
# loaded at a random address (ASLR, so the relocations stay), and the exe
# may use the whole address space of a 64-bit Windows. Control Flow Guard
# is left out: clang 14 has no -mguard=cf for this target and mingw-w64 10
# has no load configuration that would carry it.
pe_defences() {
  local f flags bad=0
  for f in "$bin/setup.exe" "$bin/setup.dll"; do
    flags=$($objdump -p "$f")
    # Here-strings, not pipes: grep -q ends early, and a pipe's writer would then fail.
    grep -q 'NX_COMPAT' <<<"$flags" || { echo "$(basename "$f"): no DEP"; bad=1; }
    grep -q 'DYNAMIC_BASE' <<<"$flags" || { echo "$(basename "$f"): no ASLR"; bad=1; }
    grep -q 'large address aware' <<<"$flags" || { echo "$(basename "$f"): not large-address aware"; bad=1; }
    grep -q ' \.reloc ' <<<"$($objdump -h "$f")" || { echo "$(basename "$f"): no relocations"; bad=1; }
    # Sections start at the usual 4 KB boundaries.
    grep -q '^SectionAlignment[[:space:]]*00001000' <<<"$flags" || { echo "$(basename "$f"): section alignment"; bad=1; }
  done
  return $bad
}

manifest() {
  local m bad=0
  # The single file starts the setup, so it asks for the rights itself.
  wrestool -x --raw -t 24 "$installer" | grep 'requestedExecutionLevel level="requireAdministrator"' >/dev/null ||
    { echo "the single file does not ask for administrator rights"; bad=1; }
  m=$(wrestool -x --raw -t 24 "$bin/setup.exe")
  printf '%s' "$m" | grep 'requestedExecutionLevel level="requireAdministrator"' >/dev/null || { echo "no requireAdministrator"; bad=1; }
  printf '%s' "$m" | grep 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' >/dev/null || { echo "no Common Controls 6"; bad=1; }
  expect_eq "supportedOS entries" "$(printf '%s' "$m" | grep -c 'supportedOS Id=')" "4" || bad=1
  # Sharp at every scale: per monitor where Windows has it, else the system's scale.
  printf '%s' "$m" | grep '<dpiAwareness[^>]*>PerMonitorV2</dpiAwareness>' >/dev/null || { echo "no PerMonitorV2"; bad=1; }
  printf '%s' "$m" | grep '<dpiAware[^>]*>true</dpiAware>' >/dev/null || { echo "no system-aware fallback"; bad=1; }
  return $bad
}

# The kit's setup.exe is the built one with its kit record filled in: the
# same size, differing within that one block of 816 bytes.
kit_layout() {
  local span
  span=$(cmp -l "$bin/setup.exe" "$kit/setup.exe" | awk 'NR == 1 { first = $1 } { last = $1 } END { print last - first }')
  expect_eq "kit" "$(ls "$kit" | tr '\n' ' ')" \
    "morvane.1 morvane.2 morvane.3 morvane.4 morvane.5 morvane.6 morvane.7 morvane.8 setup.dll setup.exe " &&
    expect_eq "setup.exe size" "$(stat -c %s "$kit/setup.exe")" "$(stat -c %s "$bin/setup.exe")" &&
    ! cmp -s "$bin/setup.exe" "$kit/setup.exe" && [ "$span" -lt 816 ] || { echo "kit setup.exe differs from the built one over [$span] bytes"; return 1; }
  cmp "$kit/setup.dll" "$bin/setup.dll" &&
    cmp "$kit/morvane.7" "$root/tools/sample-product/files/presets.reg" &&
    file -b "$kit/morvane.1" | grep '^PE32 executable (GUI)' >/dev/null &&
    file -b "$kit/morvane.2" | grep '^JPEG image data' >/dev/null
}

# A setup is downloaded and judged in its first second: the program and its
# library stay within 128 KB together (what they reach now, with room for a
# small change; 120 KB is the aim), the library within 12 KB.
size_budget() {
  local exe dll
  exe=$(stat -c %s "$bin/setup.exe") && dll=$(stat -c %s "$bin/setup.dll") || return 1
  [ $((exe + dll)) -le 131072 ] && [ "$dll" -le 12288 ] ||
    { echo "setup.exe $exe + setup.dll $dll bytes: over 131072 together or setup.dll over 12288"; return 1; }
}

# The archive as downloaded: whole, and holding exactly the kit folder.
kit_zip() {
  local name
  unzip -tq "$zip" || return 1
  expect_eq "archive" "$(unzip -Z1 "$zip" | tr '\n' ' ')" "$(ls "$kit" | tr '\n' ' ')" || return 1
  for name in $(ls "$kit"); do
    unzip -p "$zip" "$name" | cmp - "$kit/$name" || return 1
  done
}

# The single file: the installer's stub, then the kit's ten files in the kit
# table's order; the stub adds at most 30 KB to the kit.
single_file() {
  local names=(morvane.1 morvane.2 morvane.3 setup.dll setup.exe morvane.4 morvane.5 morvane.6 morvane.7 morvane.8)
  local files=() kit_bytes stub
  for name in "${names[@]}"; do files+=("$kit/$name"); done
  kit_bytes=$(cat "${files[@]}" | wc -c)
  stub=$(( $(stat -c %s "$installer") - kit_bytes ))
  echo "single file: $(stat -c %s "$installer") bytes, the kit $kit_bytes, the stub $stub"
  [ "$stub" -le $((30 * 1024)) ] || { echo "the stub adds more than 30 KB"; return 1; }
  tail -c "$kit_bytes" "$installer" | cmp - <(cat "${files[@]}")
}

reproducible() {
  cmake -S "$root" -B "$again" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-clang.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    env -u MORVANE_SIGN_PFX -u MORVANE_SIGN_PASSWORD -u MORVANE_SIGN_TIMESTAMP \
      cmake --build "$again" --target kit -j 2 >/dev/null &&
    cmp "$again/bin/setup.exe" "$bin/setup.exe" && cmp "$again/bin/setup.dll" "$bin/setup.dll" &&
    cmp "$again/morvane-kit.zip" "$zip" && cmp "$again/morvane-2.4.5-setup.exe" "$installer"
}

# The second build's kit made again, signed as the build signs when given a
# certificate: here a throwaway self-signed code-signing certificate. The
# two files and the single file verify against that certificate as the only
# trusted root, so that the whole chain is checked, and the zip carries the
# signed files.
signed_build() {
  local throwaway status=0 file report
  throwaway=$(mktemp -d)
  rm -rf "$signed_kit" "$signed_installer"
  openssl rand -hex 16 > "$throwaway/password" &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$throwaway/key.pem" -out "$throwaway/cert.pem" -days 2 \
      -subj "/CN=Morvane test signer" -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" &&
    openssl pkcs12 -export -inkey "$throwaway/key.pem" -in "$throwaway/cert.pem" -out "$throwaway/cert.pfx" \
      -passout "file:$throwaway/password" &&
    MORVANE_SIGN_PFX=$throwaway/cert.pfx MORVANE_SIGN_PASSWORD=$(cat "$throwaway/password") MORVANE_SIGN_TIMESTAMP= \
      cmake --build "$again" --target kit -j 2 || status=1
  for file in kit/setup.exe kit/setup.dll morvane-2.4.5-setup.exe; do
    [ "$status" = 0 ] || break
    report=$(osslsigncode verify -CAfile "$throwaway/cert.pem" -in "$again/$file" 2>&1) &&
      printf '%s\n' "$report" | grep 'Message digest algorithm *: SHA256' >/dev/null &&
      printf '%s\n' "$report" | grep 'Signature verification: ok' >/dev/null &&
      { [ "${file#kit/}" = "$file" ] || unzip -p "$again/morvane-kit.zip" "${file#kit/}" | cmp - "$again/$file"; } ||
      { echo "$file:"; printf '%s\n' "$report"; status=1; }
  done
  rm -rf "$throwaway"
  [ "$status" = 0 ] && cp -r "$again/kit" "$signed_kit" && mkdir "$signed_installer" &&
    cp "$again/morvane-2.4.5-setup.exe" "$signed_installer/"
}

check "setup.exe is a 32-bit GUI program and setup.dll a 32-bit DLL" pe_formats
check "setup.exe, setup.dll and the single file's stub import only DLLs every Windows has" only_system_imports
check "setup.dll exports exactly its six undecorated names" exact_exports
check "version block reads back with its values" version_block
check "program icon is one 32x32 image with 16 colours" program_icon
check "both keep DEP, ASLR with their relocations, 4 KB sections, and are large-address aware" pe_defences
check "manifest asks for administrator rights and Common Controls 6, and declares PerMonitorV2 with a system-aware fallback" manifest
check "sample kit holds the ten kit files" kit_layout
check "the kit zip passes unzip -t and holds the kit folder's files" kit_zip
check "the single file carries the kit behind a stub of at most 30 KB" single_file
check "a second clean build gives byte-identical files, kit zip and single file" reproducible
check "a kit built with a throwaway certificate carries valid SHA-256 signatures over setup.exe, setup.dll and the single file" signed_build
[ "$listing" = 1 ] || echo "sizes: setup.exe $(stat -c %s "$bin/setup.exe") bytes, setup.dll $(stat -c %s "$bin/setup.dll") bytes," \
  "together $(( $(stat -c %s "$bin/setup.exe") + $(stat -c %s "$bin/setup.dll") )) of 131072"
check "setup.exe and setup.dll together at most 131072 bytes (128 KB), setup.dll at most 12288 (12 KB)" size_budget

[ "$listing" = 1 ] && exit 0

printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites tests="%d" failures="%d" disabled="0" errors="0" name="build_checks"><testsuite name="BuildChecks" tests="%d" failures="%d">%s</testsuite></testsuites>\n' \
  "$total" "$failures" "$total" "$failures" "$cases" > "$results/build_checks.xml"
echo "build checks: $((total - failures))/$total passed"
[ "$failures" = 0 ]
