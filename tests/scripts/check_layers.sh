#!/usr/bin/env bash
# Checks that the engine stays in layers: a file includes only its own folder and folders of a
# lower layer, and engine/CMakeLists.txt lists for each engine library exactly the engine folders
# its files include.
#   usage: check_layers.sh REPOSITORY_ROOT
set -u

# ---- The layers: change them here. -------------------------------------------------------------
# A folder may include its own folder and any folder of a lower rank. Folders of the same rank may
# not include each other unless the pair is listed in same_rank_allowed ("from>to").
declare -A rank=(
  [engine/run]=0
  [engine/input]=1
  [engine/estimation]=2
  [engine/report]=3
  [engine/tables]=4
  [engine/outfiles]=4
  [engine/analyses]=5
  [engine/driver]=6
  [shell]=7
  [spss]=7
  [graphs]=7
)
same_rank_allowed=("shell>spss")    # the shell runs the converter
# Separate programs: they include only their own folder, and nothing else includes them.
# (None at present: the graphs program computes its curves with the engine.)
separate=()
# Top-level folders whose files are scanned (those that do not exist are skipped).
scanned=(engine shell spss graphs)
# -------------------------------------------------------------------------------------------------

root="${1:?usage: check_layers.sh REPOSITORY_ROOT}"
cd "$root" 2>/dev/null || { echo "check_layers: cannot enter $root"; exit 1; }

present=()
for d in "${scanned[@]}"; do [ -d "$d" ] && present+=("$d"); done
if [ "${#present[@]}" -eq 0 ]; then
  echo "check_layers: none of ${scanned[*]} is under $root"
  exit 1
fi
cmake_file=engine/CMakeLists.txt
[ -f "$cmake_file" ] || cmake_file=/dev/null

rank_list=""
for f in "${!rank[@]}"; do rank_list+="$f=${rank[$f]} "; done

# Input streams of the awk program, told apart by the first field's marker:
#   F <path>                    one scanned source file
#   I <path>:<line>:<text>      one include line naming a layered folder
# followed by the engine CMake file itself.
sources() {
  find "${present[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) | LC_ALL=C sort | sed 's/^/F /'
  grep -rnE --include='*.h' --include='*.cpp' \
       '^[[:space:]]*#[[:space:]]*include[[:space:]]*"(engine/[^/"]+/|shell/|spss/|graphs/)' \
       "${present[@]}" | LC_ALL=C sort -t: -k1,1 -k2,2n | sed 's/^/I /'
}

awk -v rank_list="$rank_list" -v allowed_list="${same_rank_allowed[*]}" \
    -v separate_list="${separate[*]}" -v cmake_name="engine/CMakeLists.txt" -v cmake_path="$cmake_file" \
    -v cmake_present="$([ "$cmake_file" != /dev/null ] && echo 1 || echo 0)" '
function folder_of(path,    parts, n) {
  n = split(path, parts, "/")
  if (parts[1] == "engine") return n > 2 ? "engine/" parts[2] : "engine"
  return parts[1]
}
function known(f) { return (f in rnk) || (f in sep) }
function may_include(from, to) {
  if (from == to) return 1
  if ((from in sep) || (to in sep)) return 0
  if ((from ">" to) in allow) return 1
  return rnk[to] < rnk[from]
}
function problem(text) { print text; problems++ }
BEGIN {
  n = split(rank_list, items, " ")
  for (i = 1; i <= n; i++) { split(items[i], kv, "="); rnk[kv[1]] = kv[2] + 0 }
  n = split(allowed_list, items, " ");  for (i = 1; i <= n; i++) allow[items[i]] = 1
  n = split(separate_list, items, " "); for (i = 1; i <= n; i++) sep[items[i]] = 1
}
{ stream = FILENAME == cmake_path ? 2 : 1 }

# Source files: count them, note which engine folders hold files and which hold .cpp files.
stream == 1 && $1 == "F" {
  path = substr($0, 3)
  files++
  f = folder_of(path)
  if (!known(f) && !(f in reported_unknown)) {
    reported_unknown[f] = 1
    problem(f ": folder is not in the layer table")
  }
  if (f ~ /^engine\//) {
    name = substr(f, 8)
    has_files[name] = 1
    if (path ~ /\.cpp$/ && !(name in has_cpp)) { has_cpp[name] = 1; cpp_order[++cpp_count] = name }
  }
  next
}

# Include lines: check the direction, and record which engine folders each engine folder uses.
stream == 1 && $1 == "I" {
  rest = substr($0, 3)
  c1 = index(rest, ":"); path = substr(rest, 1, c1 - 1); rest = substr(rest, c1 + 1)
  c2 = index(rest, ":"); line = substr(rest, 1, c2 - 1); text = substr(rest, c2 + 1)
  sub(/\r$/, "", text)
  match(text, /"[^"]*"/)
  target = substr(text, RSTART + 1, RLENGTH - 2)
  from = folder_of(path)
  to = folder_of(target)
  if (!known(to))
    problem(path ":" line ": " text " -- " to " is not in the layer table")
  else if (known(from) && !may_include(from, to))
    problem(path ":" line ": " text " -- " from " may not include " to)
  if (from ~ /^engine\// && to ~ /^engine\// && from != to) {
    a = substr(from, 8); b = substr(to, 8)
    if (!((a, b) in uses)) { uses[a, b] = 1; used_list[a] = used_list[a] " " b }
  }
  next
}

# The engine CMake file: one korvelan_engine_library line per library.
stream == 2 && /^[[:space:]]*korvelan_engine_library[[:space:]]*\(/ {
  if (!match($0, /\([^)]*\)/)) {
    problem(cmake_name ":" FNR ": declare each engine library on one line: " $0)
    next
  }
  n = split(substr($0, RSTART + 1, RLENGTH - 2), words, " ")
  if (n == 0) { problem(cmake_name ":" FNR ": library without a folder: " $0); next }
  lib = words[1]
  if (lib in declared) { problem(cmake_name ":" FNR ": " lib " is declared twice"); next }
  declared[lib] = 1; lib_order[++lib_count] = lib
  if (n > 1 && words[2] != "DEPENDS") {
    problem(cmake_name ":" FNR ": expected DEPENDS after the folder: " $0)
    next
  }
  deps[lib] = ""
  for (i = 3; i <= n; i++) { deps[lib] = deps[lib] " " words[i]; listed[lib, words[i]] = 1 }
  next
}

END {
  if (cmake_present != 1 && cpp_count > 0) problem(cmake_name ": missing")
  for (k = 1; k <= lib_count; k++) {
    lib = lib_order[k]
    me = "engine/" lib
    if (!(me in rnk)) { problem(cmake_name ": " lib " is not in the layer table"); continue }
    if (!(lib in has_files)) {
      # Left over from a move, or not made yet; comparing its DEPENDS would only repeat that.
      problem(cmake_name ": " lib " is declared but engine/" lib " has no source files")
      continue
    }
    n = split(used_list[lib], used, " ")
    for (i = 1; i <= n; i++)
      if (!((lib, used[i]) in listed))
        problem(cmake_name ": " lib " includes " used[i] " but does not list it in DEPENDS")
    n = split(deps[lib], dl, " ")
    for (i = 1; i <= n; i++) {
      d = dl[i]
      if (!((lib, d) in uses))
        problem(cmake_name ": " lib " lists " d " in DEPENDS but includes nothing of it")
      if (!(("engine/" d) in rnk))
        problem(cmake_name ": " lib " lists " d " in DEPENDS, which is not in the layer table")
      else if (rnk["engine/" d] >= rnk[me])
        problem(cmake_name ": " lib " lists " d " in DEPENDS, which is not in a lower layer")
    }
  }
  for (k = 1; k <= cpp_count; k++)
    if (!(cpp_order[k] in declared))
      problem(cmake_name ": engine/" cpp_order[k] " has .cpp files but no korvelan_engine_library line")
  if (problems > 0) exit 1
  print "layers: clean (" files + 0 " files checked)"
}
' <(sources) "$cmake_file"
