#!/usr/bin/env bash
# Fails when farhost's parts depend on each other in a circle.
#
# A part is a header and the source file of the same name in one folder
# (host/host.h with host/host.cpp). Part A depends on part B when a file
# of A includes a header of B ("farhost/..." includes) or, given the
# built static libraries, when A's object file uses a symbol that B's
# object file defines (so a call through a header of a third part counts).
# Folders are checked the same way: a folder depends on another when one
# of its parts does. Tests (*_test.cpp) and fuzz targets may reach across
# and are left out.
#
# Usage: no_cycles.sh FARHOST_DIR [NM ARCHIVE...]
set -euo pipefail
root=${1:?usage: no_cycles.sh FARHOST_DIR [NM ARCHIVE...]}
shift
nm_tool=${1:-}
[[ $# -gt 0 ]] && shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sources, as paths below farhost/ ("host/host.cpp").
(cd "$root" && find . -type f \( -name '*.h' -o -name '*.cpp' \) \
   ! -name '*_test.cpp' ! -name 'fuzz_*' | sed 's|^\./||' | sort) \
  >"$work/files"

# A path's part: the path without its ending, in a folder ("./x" for a
# file at the top).
part='function part(path) { sub(/\.[a-z]+$/, "", path);
                            return index(path, "/") ? path : "./" path }'

# Include edges: "from to include".
(cd "$root" && xargs awk "$part"'
   match($0, /^[ \t]*#[ \t]*include[ \t]*"farhost\/[^"]*"/) {
     header = substr($0, RSTART, RLENGTH)
     sub(/^[^"]*"farhost\//, "", header); sub(/"$/, "", header)
     from = part(FILENAME); to = part(header)
     if (from != to) print from, to, "include"
   }') <"$work/files" >"$work/edges"

# Call edges from the archives' symbol tables: who uses what and who
# defines it (strong global definitions only; inline functions and
# templates, defined weakly in every user, say nothing about the shape).
# Objects are named by their source file alone (farhost has no two source
# files of one name).
if [[ -n $nm_tool && $# -gt 0 ]]; then
  for archive in "$@"; do
    "$nm_tool" -A "$archive" 2>/dev/null || true
  done | awk -v files="$work/files" "$part"'
    BEGIN {
      while ((getline path < files) > 0) {
        name = path; sub(/.*\//, "", name)
        if (name ~ /\.cpp$/) { sub(/\.cpp$/, "", name); where[name] = part(path) }
      }
    }
    # "lib.a:host.cpp.o:0000000000000000 T symbol", "lib.a:host.cpp.o: U symbol"
    NF == 3 {
      n = split($1, field, ":")
      object = field[n - 1]
      sub(/\.cpp\.o(bj)?$/, "", object)
      if (!(object in where)) next
      if ($2 == "U") uses[object] = uses[object] " " $3
      else if ($2 ~ /^[TDBR]$/) definer[$3] = object
    }
    END {
      for (object in uses) {
        n = split(uses[object], list, " ")
        for (i = 1; i <= n; ++i) {
          other = definer[list[i]]
          if (other != "" && other != object)
            print where[object], where[other], "call"
        }
      }
    }' >"$work/calls"
  if [[ ! -s $work/calls ]]; then
    echo "farhost: no calls read from the libraries' symbol tables" >&2
    exit 1
  fi
  cat "$work/calls" >>"$work/edges"
fi

sort -u "$work/edges" -o "$work/edges"
status=0

check() {  # $1: what is checked; stdin: "from to" pairs
  local out
  if ! out=$(tsort 2>&1 >/dev/null); then
    echo "farhost: $1 depend on each other in a circle:"
    echo "$out" | sed -n 's/^tsort: \([^-:][^:]*\)$/  \1/p'
    status=1
  fi
}

check "parts" < <(awk '{ print $1, $2 }' "$work/edges")
check "folders" < <(awk '{ split($1, a, "/"); split($2, b, "/");
                           if (a[1] != b[1]) print a[1], b[1] }' "$work/edges" |
                    sort -u)

if [[ $status -ne 0 ]]; then
  echo "the dependencies (from to kind):"
  cat "$work/edges"
else
  echo "farhost: $(wc -l <"$work/edges") dependencies, no circle"
fi
exit $status
