#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test through ctest:
# once plainly (build/), once under address and undefined-behaviour sanitizers (build-asan/) and
# once fully optimised (build-release/); then a short fuzz run of the file readers (build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh deps
# Builds quietly; shows the compiler output only when the build fails.
build_quiet() { local dir="$1"; shift; cmake --build "$dir" "$@" >"$dir/build.log" 2>&1 || { cat "$dir/build.log"; exit 1; }; }
jobs=$(nproc 2>/dev/null || echo 4)
# KORVELAN_PRUNE_BUILDS=1 (set by CI) removes each build folder once its tests have passed, so that
# a machine with little free disk holds one build at a time.
prune() { [ "${KORVELAN_PRUNE_BUILDS:-0}" = 1 ] && rm -rf "$1"; return 0; }
echo "Free disk here: $(df -Ph . | awk 'NR==2 {print $4}')"

tools/setup.sh configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_quiet build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")
prune build

tools/setup.sh configure build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVELAN_SANITIZE=ON
build_quiet build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -LE nosanitize)
prune build-asan

tools/setup.sh configure build-release -DCMAKE_BUILD_TYPE=Release
build_quiet build-release -j "$jobs"
(cd build-release && ctest --output-on-failure -j "$jobs")
prune build-release

# A short fuzz run of every file reader (10 seconds each, four at a time), where clang has
# libFuzzer; a crash, hang or sanitizer report fails the step and is kept in build-fuzz/findings/.
if echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' \
     | clang++ -x c++ -fsanitize=fuzzer -o /dev/null - >/dev/null 2>&1; then
  CXX=clang++ CC=clang tools/setup.sh configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORVELAN_FUZZ=ON -DKORVELAN_TESTS=OFF
  mapfile -t fuzz_targets < <(tools/fuzz.sh --list)
  build_quiet build-fuzz -j "$jobs" --target "${fuzz_targets[@]/#/fuzz_}"
  mkdir -p build-fuzz/logs
  printf '%s\n' "${fuzz_targets[@]}" | xargs -P 4 -I{} sh -c \
    'tools/fuzz.sh {} 10 >build-fuzz/logs/{}.log 2>&1 || { tail -40 build-fuzz/logs/{}.log; echo "fuzz target {} failed"; exit 1; }'
  echo "Fuzzed ${#fuzz_targets[@]} readers for 10 seconds each."
else
  echo "No clang with libFuzzer: fuzz step skipped."
fi
