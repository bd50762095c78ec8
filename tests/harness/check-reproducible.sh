#!/usr/bin/env bash
# Builds uninstall.exe again from a copy of the sources in another directory,
# later, and compares it with the one this tree built: the same sources must
# give the same program, byte for byte.
#   check-reproducible.sh SOURCE_DIR PRESET BUILT_EXE SOURCE_DATE_EPOCH
set -euo pipefail
source_dir=$1 preset=$2 built=$3
copy=$(mktemp -d /tmp/uninstall-reproducible.XXXXXX)
trap 'rm -rf "$copy"' EXIT
cd "$source_dir"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$copy"
# The copy is no checkout: it is given the time the tree was configured with
# (a commit made since would give another).
export SOURCE_DATE_EPOCH=$4
cd "$copy"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target uninstall -j2 >build.log 2>&1 || { cat build.log; exit 1; }
want=$(sha256sum <"$built" | cut -d' ' -f1)
got=$(sha256sum <"build/$preset/src/uninstall.exe" | cut -d' ' -f1)
echo "reproducible: $preset: SHA-256 $want built here, $got built in $copy"
[ "$want" = "$got" ]
