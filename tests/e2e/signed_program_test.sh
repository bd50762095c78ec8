#!/usr/bin/env bash
# The program signed as an author signs it: a throwaway certificate signs a copy
# with scripts/sign.sh, osslsigncode verifies the signature, and the signed copy
# goes through the scenario that shows its dialogs and its crash report, run
# from a copy of the end-to-end tests' directory (the other tests keep theirs).
#   signed_program_test.sh SIGN_SCRIPT PROGRAM E2E_TEST STATE_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/e2e" && cp "$(dirname "$3")"/*.{exe,dll,dbg,ini} "$work/e2e/"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=Throwaway -days 1 -keyout "$work/key.pem" \
  -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:t -out "$work/a.p12"
UNINSTALL_SIGN_PKCS12=$work/a.p12 UNINSTALL_SIGN_PASSWORD=t bash "$1" "$2" "$work/e2e/uninstall.exe"
osslsigncode verify -in "$work/e2e/uninstall.exe" -CAfile "$work/cert.pem"
"$(dirname "$0")/../harness/wine-run.sh" "$4" "$work/e2e/$(basename "$3")" \
  --gtest_filter=Wizard.AFaultingComServerIsReportedWithATraceAndTheProcessEnds |
  tee /dev/stderr | grep '^\[  PASSED  \] 1 test\.'
