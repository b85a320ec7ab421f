#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (SHA-256) when a
# certificate is given in the environment; without one, leaves them as they
# are, so that unsigned builds stay byte-identical.
#   MORVANE_SIGN_PFX        the certificate and its private key, a PKCS#12 file
#   MORVANE_SIGN_PASSWORD   its password (none if unset)
#   MORVANE_SIGN_TIMESTAMP  optional: an RFC 3161 time-stamp server's URL
# Usage: tools/sign.sh FILE...
set -euo pipefail

if [ -z "${MORVANE_SIGN_PFX:-}" ]; then
  if [ -n "${MORVANE_SIGN_PASSWORD:-}${MORVANE_SIGN_TIMESTAMP:-}" ]; then
    echo "sign: MORVANE_SIGN_PASSWORD or MORVANE_SIGN_TIMESTAMP is set but MORVANE_SIGN_PFX is not" >&2
    exit 1
  fi
  echo "sign: no certificate given (MORVANE_SIGN_PFX); $(basename -a "$@" | tr '\n' ' ')left unsigned"
  exit 0
fi
[ -r "$MORVANE_SIGN_PFX" ] || { echo "sign: cannot read the certificate $MORVANE_SIGN_PFX" >&2; exit 1; }
command -v osslsigncode >/dev/null || { echo "sign: osslsigncode is missing (tools/setup-machine.sh installs it)" >&2; exit 1; }

private=$(mktemp -d)
trap 'rm -rf "$private"' EXIT
options=(-pkcs12 "$MORVANE_SIGN_PFX" -h sha256 -n "Morvane by Halvo Setup")
# The password goes through a file only its owner can read: on the command
# line, every user of the machine could read it in the process list.
if [ -n "${MORVANE_SIGN_PASSWORD:-}" ]; then
  (umask 077 && printf '%s' "$MORVANE_SIGN_PASSWORD" > "$private/password")
  options+=(-readpass "$private/password")
fi
[ -z "${MORVANE_SIGN_TIMESTAMP:-}" ] || options+=(-ts "$MORVANE_SIGN_TIMESTAMP")

for file in "$@"; do
  if ! osslsigncode sign "${options[@]}" -in "$file" -out "$private/signed" >"$private/log" 2>&1; then
    echo "sign: could not sign $file:" >&2
    cat "$private/log" >&2
    exit 1
  fi
  cat "$private/signed" > "$file"
  rm -f "$private/signed"
  echo "sign: signed $file"
done
