#!/usr/bin/env bash
# The main job: builds uninstall.exe and shows, for the example installation,
# the plan the uninstaller would carry out, record by record.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
bash scripts/build.sh
echo
echo "== uninstall.exe =="
ls -l build/windows/src/uninstall.exe
echo
echo "== plan for examples/uninstall.log =="
build/native/tools/log_plan examples/uninstall.log
