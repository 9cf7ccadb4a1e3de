#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test through ctest:
# once plainly (build/), once under address and undefined-behaviour sanitizers (build-asan/) and
# once fully optimised (build-release/).
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh deps
# Builds quietly; shows the compiler output only when the build fails.
build_quiet() { local dir="$1"; shift; cmake --build "$dir" "$@" >"$dir/build.log" 2>&1 || { cat "$dir/build.log"; exit 1; }; }
jobs=$(nproc 2>/dev/null || echo 4)

tools/setup.sh configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_quiet build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

tools/setup.sh configure build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVELAN_SANITIZE=ON
build_quiet build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -LE nosanitize)

tools/setup.sh configure build-release -DCMAKE_BUILD_TYPE=Release
build_quiet build-release -j "$jobs"
(cd build-release && ctest --output-on-failure -j "$jobs")
