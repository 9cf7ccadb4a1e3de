#!/usr/bin/perl
# Prints FILE:LINE: "text" for every message text of the engine written inline instead of taken
# from the message table (engine/run/message_texts*.h). A message is a text of the run's
# messages: what goes to the message line, the Input/Output window and console, the fatal stop,
# the file-error lines and the list of files not written, and the messages a run writes into
# its report (a Table it cannot produce, a specification with no room). Found are
#   - string literals holding a letter in the arguments of a message writer (the list below),
#     and in the statements that build a local variable passed to one (one step back);
#   - string literals anywhere that carry the words of a message (PROBLEM, WARNING, FAILED, ...).
# Not messages, and so not found: Table headings, column headings and layout written through the
# report-line writers, number formats ("(F4.2)"), work-file codes ("ZMF"), punctuation joining
# the pieces of a message (": ", "=", " *").
#   usage: find_inline_messages.pl REPOSITORY_ROOT
use strict; use warnings;
my $writers = qr/\b(show_message_line|fatal_message|note_output_file_failure|write_text_window_line|show_window_line|stop_with_file_error|show_and_report_box_line|show_processing_line|show_plot_format_failure|stop_for_memory|stop_invalid_model|stop_without_name|fail_correlation_work_file|console_write_prompt|report_work_file_failure|show_pass_progress|add_edit_menu_entry|ask_console_line|prompt_for_file_name|insert_menu_item|append_menu_item|add_system_menu_item|send_char_to_text_window)\s*\(/;
my $root = shift or die "usage: find_inline_messages.pl REPOSITORY_ROOT\n";
my $words = qr/PROBLEM|WARNING|FAILURE|FAILED|NOT ENOUGH|NO ROOM|CANNOT|UNABLE|NOT PRODUCED|COULD NOT|SORT SEQUENCE|[Nn]ot produced|[Cc]ould not|[Ff]ailed|[Cc]annot/;
my $not_message = qr/^"(\([A-Z][0-9.]+\)|Z[A-Z]{2})"$/;
my %printed;
# Scans from $j to the closing $close at depth 0; prints the literals with a letter; returns the
# end and the text without its literals.
sub scan_range {
  my ($out, $j, $close, $rel) = @_;
  my $depth = 1; my $bare = '';
  while ($j < length($out)) {
    my $c = substr($out, $j, 1);
    if ($c eq '"' || $c eq "'") {
      my $k = $j + 1;
      while ($k < length($out) && substr($out, $k, 1) ne $c) { $k += substr($out, $k, 1) eq '\\' ? 2 : 1; }
      if ($c eq '"') {
        my $lit = substr($out, $j, $k - $j + 1);
        if ($lit =~ /[A-Za-z]/ && $lit !~ /^"\\[a-z]"$/ && $lit !~ $not_message) {
          my $line = 1 + (substr($out, 0, $j) =~ tr/\n//);
          print "$rel:$line: $lit\n" unless $printed{"$rel:$line:$lit"}++;
        }
      }
      $j = $k + 1; next;
    }
    if ($close eq ';') { last if $c eq ';' && $depth == 1; }
    $depth++ if $c eq '(' || $c eq '{'; $depth-- if $c eq ')' || $c eq '}';
    last if $depth == 0;
    $bare .= $c; $j++;
  }
  return ($j, $bare);
}
my @files = split /\n/, `find "$root/engine" \\( -name '*.cpp' -o -name '*.h' \\) | sort`;
for my $f (@files) {
  next if $f =~ m{/run/message_texts[^/]*\.h$};
  open my $fh, '<', $f or die; local $/; my $s = <$fh>; close $fh;
  # blank out comments, keep line ends and string literals
  my $out = ''; my $i = 0; my $n = length $s;
  while ($i < $n) {
    my $c = substr($s, $i, 1);
    if ($c eq '"' || $c eq "'") {
      my $j = $i + 1;
      while ($j < $n && substr($s, $j, 1) ne $c) { $j += substr($s, $j, 1) eq '\\' ? 2 : 1; }
      $out .= substr($s, $i, $j - $i + 1); $i = $j + 1;
    } elsif (substr($s, $i, 2) eq '//') {
      my $j = index($s, "\n", $i); $j = $n if $j < 0; $i = $j;
    } elsif (substr($s, $i, 2) eq '/*') {
      my $j = index($s, '*/', $i); $j = $n - 2 if $j < 0;
      (my $blank = substr($s, $i, $j + 2 - $i)) =~ s/[^\n]//g; $out .= $blank; $i = $j + 2;
    } else { $out .= $c; $i++; }
  }
  (my $rel = $f) =~ s{^\Q$root\E/}{};
  while ($out =~ /"((?:[^"\\\n]|\\.)*)"/g) {
    my ($text, $at) = ($1, $-[0]);
    next unless $text =~ $words;
    my $line = 1 + (substr($out, 0, $at) =~ tr/\n//);
    my $lit = "\"$text\"";
    print "$rel:$line: $lit\n" unless $printed{"$rel:$line:$lit"}++;
  }
  while ($out =~ /$writers/g) {
    my $start = pos($out);
    my ($end, $args) = scan_range($out, $start, ')', $rel);
    # One step back: a text built in a local variable before the call.
    my %seen;
    for my $name ($args =~ /(?<![.:>\w])([a-z_][a-z0-9_]*)\b(?!\s*[(.])/g) {
      next if $seen{$name}++ || $name =~ /^(run_?|std|msg|true|false|nullptr)$/;
      my $from = $start > 4000 ? $start - 4000 : 0;
      my $before = substr($out, $from, $start - $from);
      while ($before =~ /(?:\bstd::string\s+\Q$name\E\s*[({=]|(?<![.\w])\Q$name\E\s*\+?=(?!=))/g) {
        scan_range($out, $from + pos($before), ';', $rel);
      }
    }
  }
}
