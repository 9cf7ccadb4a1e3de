# Taskroll.bat: korvelan runs one after another, in batch mode (no window, no prompts).
# Choose "Edit batch file" in korvelan's Batch menu to change it and "Run batch file" to run it,
# or run it from a terminal:  sh Taskroll.bat
#
# One line per run: the korvelan program, the control file, the report output file, BATCH=YES,
# then any Extra specifications (Variable=Value) for that run. Relative file names are taken
# from the folder the script runs in; full paths are safer. A line starting with "#" is a
# comment: remove the "#" in front of a run to make it run.
#
# If this file is damaged, renew it from Help: Batch, Help for Batch mode shows it whole.

# The korvelan program: the one whose Batch menu runs this file, else korvelan on PATH, else the
# one beside this file.
KORVELAN="${KORVELAN_PROGRAM:-$(command -v korvelan || echo "$(dirname "$0")/korvelan")}"
[ -x "$KORVELAN" ] || { echo "$0: korvelan was not found on PATH nor beside this file" >&2; exit 127; }

# "$KORVELAN" exam1.con exam1.out BATCH=YES
# "$KORVELAN" exam2.con exam2.out BATCH=YES PFILE=exam2p.txt IFILE=exam2i.txt
