#!/usr/bin/env bash
# Installs what is missing, builds korvelan in build/, and runs the bundled example in batch mode.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh deps
# Builds quietly; shows the compiler output only when the build fails.
build_quiet() { local dir="$1"; shift; cmake --build "$dir" "$@" >"$dir/build.log" 2>&1 || { cat "$dir/build.log"; exit 1; }; }
tools/setup.sh configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_quiet build --target korvelan
test -x build/shell/korvelan
status=0
./build/shell/korvelan examples/tiny.txt tiny.out BATCH=Y || status=$?
echo
echo "Report written to $(pwd)/examples/tiny.out (exit status $status)"
exit "$status"
