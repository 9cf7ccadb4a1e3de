#!/usr/bin/env bash
# Shows that check_message_table.sh catches a text kept outside the message table: on a copy of
# engine/ it must pass, then fail, naming the constant, for a text on the line of its name, for
# one on the next line, and for a std::string_view; a constant of the message table itself and a
# listed heading stay allowed.
#   usage: check_message_table_selftest.sh REPOSITORY_ROOT
set -u
root="${1:?usage: check_message_table_selftest.sh REPOSITORY_ROOT}"
check="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/check_message_table.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$root/engine" "$tmp/"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

bash "$check" "$tmp" >/dev/null || fail "the untouched tree is not clean"

# expect NAME TEXT...: with the lines planted in outfiles/guttman_file.cpp the check fails and
# names NAME (empty NAME: the check passes).
expect() {
  local name="$1"; shift
  local file="$tmp/engine/outfiles/guttman_file.cpp"
  cp "$file" "$file.orig"
  printf '%s\n' "$@" >>"$file"
  out=$(bash "$check" "$tmp" 2>&1); rc=$?
  mv "$file.orig" "$file"
  if [ -z "$name" ]; then
    [ "$rc" -eq 0 ] || fail "allowed lines refused: $out"
  else
    [ "$rc" -eq 1 ] && grep -q "$name" <<<"$out" || fail "$name not caught (exit $rc): $out"
  fi
}
expect kPlantedSameLine 'constexpr const char* kPlantedSameLine = " Planting data";'
expect kPlantedNextLine 'constexpr const char* kPlantedNextLine =' '    " Planting data on the next line";'
expect kPlantedView 'static constexpr std::string_view kPlantedView = "Planted";'
expect '' 'constexpr float kPlantedNumber = 0.5f;' 'const std::string kPlantedJoin = kA + kB;'
# Message texts written inline: in a writer's arguments, in a local text passed to one, or
# carrying a message's words; formats, work-file codes, punctuation and comments pass.
expect 'Planted inline' 'void f(Run& run) { show_message_line(run, " Planted inline"); }'
expect 'Planted over lines' 'void f(Run& run) { fatal_message(run, msg::kA +' '    " Planted over lines"); }'
expect 'Planted local' 'void f(Run& run) { std::string line = " Planted local" + x;' '    run.host->write_text_window_line(line); }'
expect 'NO ROOM FOR PLANTS' 'void f(Run& run) { write_report_text(run, " NO ROOM FOR PLANTS"); }'
expect '' 'void f(Run& run) { show_message_line(run, msg::kA + "=" + real("(F4.2)") + work("ZMF")); }' \
  '// show_message_line(run, "Planted in a comment");'

# The message table may hold any text; a listed heading elsewhere stays allowed.
echo 'inline constexpr const char* kPlantedInTable = "x";' >>"$tmp/engine/run/message_texts.h"
bash "$check" "$tmp" >/dev/null || fail "a text of the message table refused"

[ "$failures" -eq 0 ] && echo "message table check: all cases behave" || exit 1
