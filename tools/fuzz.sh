#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds:  tools/fuzz.sh TARGET SECONDS [libFuzzer options]
# Builds build-fuzz/ with clang when needed. The corpus grows in build-fuzz/corpus/TARGET (the
# committed seeds of tests/fuzz/TARGET/seeds start it); a crash, hang or sanitizer report is kept
# as build-fuzz/findings/TARGET/crash-... etc., to be copied into tests/fuzz/TARGET/regressions/.
#   tools/fuzz.sh --list   names the targets
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(control data iafile pafile idfile pdfile iweight pweight safile edfile mforms
         category_labels work_file settings sav)
if [ "${1:-}" = "--list" ]; then printf '%s\n' "${targets[@]}"; exit 0; fi
[ $# -ge 2 ] || { echo "usage: tools/fuzz.sh TARGET SECONDS [libFuzzer options] | --list" >&2; exit 2; }
target="$1" seconds="$2"; shift 2
printf '%s\n' "${targets[@]}" | grep -qx "$target" || { echo "unknown fuzz target: $target" >&2; exit 2; }

if [ ! -f build-fuzz/build.ninja ]; then
  CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORVELAN_FUZZ=ON -DKORVELAN_TESTS=OFF >/dev/null
fi
cmake --build build-fuzz -j3 --target "fuzz_$target" >build-fuzz/build-"$target".log 2>&1 \
  || { cat build-fuzz/build-"$target".log; exit 1; }

# The dictionary: every instruction name of the keyword table, with and without its "=".
dict=build-fuzz/control.dict
if [ ! -f "$dict" ] || [ engine/run/keyword_table.cpp -nt "$dict" ]; then
  grep -o '"[A-Z0-9]*="' engine/run/keyword_table.cpp | sort -u \
    | sed 's/^"\(.*\)="$/"\1="\n"\1"/' >"$dict"
  printf '%s\n' '"&END"' '"END LABELS"' '"END NAMES"' '"*"' >>"$dict"
fi

# Every input runs in fresh scratch folders: on a memory file system when there is one, since
# creating and removing files on a disk costs more than the run itself.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
corpus=build-fuzz/corpus/$target findings=build-fuzz/findings/$target
mkdir -p "$corpus" "$findings"
exec "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -dict="$dict" -artifact_prefix="$PWD/$findings/" -print_final_stats=1 "$@" \
  "$corpus" "tests/fuzz/$target/seeds"
