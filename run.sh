#!/usr/bin/env bash
# Installs what is missing, builds korvelan in build/, and runs the bundled survey example in
# batch mode, then says where its report and output files are.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh deps
# Builds quietly; shows the compiler output only when the build fails.
build_quiet() { local dir="$1"; shift; cmake --build "$dir" "$@" >"$dir/build.log" 2>&1 || { cat "$dir/build.log"; exit 1; }; }
tools/setup.sh configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_quiet build --target korvelan talvorin
test -x build/shell/korvelan
status=0
./build/shell/korvelan examples/survey.txt survey.out BATCH=Y || status=$?
echo
# Relative report and output file names are taken relative to the control file's folder.
echo "Report (Tables 0, 1, 2, 3, 6, 10 and 20): $(pwd)/examples/survey.out"
sed -n 's/^\(PFILE\|IFILE\|SFILE\)=\(.*\)$/\1 \2/p' examples/survey.txt | while read -r key name; do
  name=${name%$'\r'}
  [ -f "examples/$name" ] && echo "Output file $key=: $(pwd)/examples/$name"
done
echo "Exit status $status (0: measures constructed)."
exit "$status"
