#!/usr/bin/env bash
# Signs a built uninstall.exe with Authenticode (osslsigncode), with the author's
# certificate and key from a PKCS#12 file:
#   UNINSTALL_SIGN_PKCS12=author.p12 UNINSTALL_SIGN_PASSWORD=... \
#     [UNINSTALL_SIGN_TIMESTAMP_URL=http://timestamp.example.com] \
#     [UNINSTALL_SIGN_NAME="Example Tool uninstaller"] \
#     bash scripts/sign.sh PROGRAM [SIGNED]
# Without SIGNED the program is replaced by its signed form. The time-stamp
# server (RFC 3161) keeps the signature valid after the certificate expires;
# the name is what the elevation prompt shows. The password reaches
# osslsigncode through a private file, never through a command line.
set -euo pipefail
usage="usage: UNINSTALL_SIGN_PKCS12=FILE UNINSTALL_SIGN_PASSWORD=... sign.sh PROGRAM [SIGNED]"
program=${1:?$usage}
signed=${2:-$program}
: "${UNINSTALL_SIGN_PKCS12:?$usage}" "${UNINSTALL_SIGN_PASSWORD?$usage}"
if ! command -v osslsigncode >/dev/null; then
  echo "sign: osslsigncode is missing; bash scripts/setup.sh installs it" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s' "$UNINSTALL_SIGN_PASSWORD" >"$work/password"
options=(-pkcs12 "$UNINSTALL_SIGN_PKCS12" -readpass "$work/password" -h sha256)
[ -z "${UNINSTALL_SIGN_TIMESTAMP_URL:-}" ] || options+=(-ts "$UNINSTALL_SIGN_TIMESTAMP_URL")
[ -z "${UNINSTALL_SIGN_NAME:-}" ] || options+=(-n "$UNINSTALL_SIGN_NAME")
if ! osslsigncode sign "${options[@]}" -in "$program" -out "$work/signed.exe" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  exit 1
fi
cp "$work/signed.exe" "$signed"
echo "sign: $signed signed by $UNINSTALL_SIGN_PKCS12"
