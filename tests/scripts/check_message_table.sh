#!/usr/bin/env bash
# Fails when a file under engine/ other than the message table (engine/run/message_texts*.h)
# writes a message text inline (find_inline_messages.pl beside this script says what counts as a
# message), or keeps a text of its own as a named constant ("constexpr const char* kName = ..." and the like, the text on the same line or the
# next). The texts listed below are not messages: file headings laid out by their writer, format
# pieces, code and character sets, and the program's name and date.
#   usage: check_message_table.sh REPOSITORY_ROOT
set -u
root="${1:?usage: check_message_table.sh REPOSITORY_ROOT}"
pattern='^\s*(static\s+)?(inline\s+)?(constexpr|const)\s+(const\s+)?(char\s*\*|std::string_view|std::string)\s*(const\s+)?k[A-Z][A-Za-z0-9_]*\s*=\s*("|$)'
allowed='^(outfiles/score_file\.cpp:kNormsHeading|outfiles/score_file\.cpp:kColumnHeading|outfiles/output_requests\.cpp:kEndOfRunOrder|outfiles/graphs_file\.cpp:kExponentCapLine|tables/summary_table\.cpp:kMeanFormat|tables/summary_table\.cpp:kScalingFormat|tables/fit_plot\.cpp:kClasses|tables/fit_plot\.cpp:kCrossings|tables/distractor_counts\.cpp:kModes|report/table_list\.cpp:kWorkFileEnding|report/plot_grid\.cpp:kCountCharacters|report/category_labels\.h:kQuoteCharacters|run/control_parser\.cpp:kNumberCharacters|run/report_line\.h:kAsciiBoxBytes|run/report_line\.h:kAsciiBoxMap|run/run\.h:kProgramWord|run/run\.h:kVersionDateText)$'
hits=""
while IFS= read -r hit; do
  [ -n "$hit" ] || continue
  file="${hit%%:*}"
  file="${file#"$root/engine/"}"
  name=$(sed -E 's/.*[^A-Za-z0-9_](k[A-Z][A-Za-z0-9_]*)\s*=.*/\1/' <<<"$hit")
  case "$file" in run/message_texts*.h) continue ;; esac
  grep -qE "$allowed" <<<"$file:$name" || hits+="$hit"$'\n'
done < <(grep -rnE --include='*.cpp' --include='*.h' --exclude='message_texts*.h' "$pattern" "$root/engine")
failed=0
if [ -n "$hits" ]; then
  echo "engine texts kept outside engine/run/message_texts.h:"
  printf '%s' "$hits"
  failed=1
fi
inline=$(perl "$(dirname "${BASH_SOURCE[0]}")/find_inline_messages.pl" "$root") || exit 2
if [ -n "$inline" ]; then
  echo "engine message texts written inline instead of taken from the message table:"
  printf '%s\n' "$inline"
  failed=1
fi
[ "$failed" -eq 0 ] || exit 1
echo "message table: every named engine text and every message text is in it"
