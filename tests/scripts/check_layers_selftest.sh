#!/usr/bin/env bash
# Shows that check_layers.sh catches what it is meant to catch: on a copy of the source tree it
# must pass, then fail for each planted fault with the message that names the fault.
#   usage: check_layers_selftest.sh REPOSITORY_ROOT
set -u
root="${1:?usage: check_layers_selftest.sh REPOSITORY_ROOT}"
check="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/check_layers.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for d in engine shell spss graphs; do
  [ -d "$root/$d" ] && cp -r "$root/$d" "$tmp/"
done

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# Runs the check on the copy; sets $out and $rc.
run_check() { out=$(bash "$check" "$tmp" 2>&1); rc=$?; }

# expect_failure CASE MESSAGE: the check must exit 1 and print MESSAGE (a fixed string).
expect_failure() {
  run_check
  [ "$rc" -eq 1 ] || fail "$1: exit status $rc, expected 1"
  grep -qF -- "$2" <<<"$out" || { fail "$1: no line containing: $2"; echo "$out" | sed 's/^/  | /'; }
}

# plant FILE LINE: appends LINE to FILE in the copy (keeping a backup for restore) and sets
# $planted to the line number it landed on.
plant() {
  local file="$tmp/$1"
  cp "$file" "$file.orig"
  [ -s "$file" ] && [ -n "$(tail -c 1 "$file")" ] && echo >>"$file"
  echo "$2" >>"$file"
  planted=$(wc -l <"$file")
}
restore() { mv "$tmp/$1.orig" "$tmp/$1"; }

# The untouched tree is clean, and every source file was looked at.
run_check
expected_files=$(cd "$tmp" && find engine shell spss graphs -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | wc -l)
if [ "$rc" -ne 0 ]; then
  fail "untouched copy: exit status $rc, expected 0"
  echo "$out" | sed 's/^/  | /'
elif [ "$out" != "layers: clean ($expected_files files checked)" ]; then
  fail "untouched copy: printed '$out', expected 'layers: clean ($expected_files files checked)'"
fi

# The lowest layer includes the highest.
if [ -f "$tmp/engine/run/messages.cpp" ]; then
  plant engine/run/messages.cpp '#include "engine/driver/run_analysis.h"'
  expect_failure "run includes driver" \
    "engine/run/messages.cpp:$planted: #include \"engine/driver/run_analysis.h\" -- engine/run may not include engine/driver"
  restore engine/run/messages.cpp
else
  fail "run includes driver: engine/run/messages.cpp is not in the tree"
fi

# A lower layer includes a higher one next to it.
report_cpp=$(cd "$tmp" && find engine/report -maxdepth 1 -name '*.cpp' 2>/dev/null | LC_ALL=C sort | head -n 1)
if [ -n "$report_cpp" ]; then
  plant "$report_cpp" '#include "engine/outfiles/output_frame.h"'
  expect_failure "report includes outfiles" \
    "$report_cpp:$planted: #include \"engine/outfiles/output_frame.h\" -- engine/report may not include engine/outfiles"
  restore "$report_cpp"
else
  fail "report includes outfiles: engine/report has no .cpp file"
fi

# probe FOLDER INCLUDE_LINE CASE MESSAGE_END: a new header FOLDER/layer_probe.h whose third line
# is INCLUDE_LINE must fail with "FOLDER/layer_probe.h:3: INCLUDE_LINE -- MESSAGE_END".
probe() {
  local made=0
  [ -d "$tmp/$1" ] || { mkdir -p "$tmp/$1"; made=1; }
  printf '#pragma once\n\n%s\n' "$2" >"$tmp/$1/layer_probe.h"
  expect_failure "$3" "$1/layer_probe.h:3: $2 -- $4"
  rm "$tmp/$1/layer_probe.h"
  [ "$made" -eq 0 ] || rmdir "$tmp/$1"
}

# Two folders of the same layer, written with the spacing the preprocessor allows.
probe engine/tables '  #  include "engine/outfiles/output_frame.h"' "tables includes outfiles" \
  "engine/tables may not include engine/outfiles"

# The graphs program uses the engine but not the shell beside it, nor the shell the graphs program.
probe graphs '#include "shell/console_host.h"' "graphs includes shell" \
  "graphs may not include shell"
probe shell '#include "graphs/curves.h"' "shell includes graphs" \
  "shell may not include graphs"

# A library that no longer lists a folder its files include.
cmake_copy="$tmp/engine/CMakeLists.txt"
cp "$cmake_copy" "$cmake_copy.orig"
sed -E -i '/^[[:space:]]*korvelan_engine_library[[:space:]]*\([[:space:]]*input[[:space:])]/ s/[[:space:]]+run([[:space:])])/\1/' "$cmake_copy"
if cmp -s "$cmake_copy" "$cmake_copy.orig"; then
  fail "input without run: engine/CMakeLists.txt has no 'run' in the DEPENDS of input"
else
  expect_failure "input without run" \
    "engine/CMakeLists.txt: input includes run but does not list it in DEPENDS"
fi
restore engine/CMakeLists.txt

if [ "$failures" -gt 0 ]; then
  echo "layers self-test: $failures expectation(s) failed"
  exit 1
fi
echo "layers self-test: passed"
