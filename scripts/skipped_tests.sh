#!/usr/bin/env bash
# The skipped tests of test runs, counted and judged: scripts/check.sh ends
# with this. For each build folder given, reads the results that
# `ctest --output-junit BUILD_DIR/ctest-results.xml` wrote there, and prints how many
# tests were skipped and why (the skip message of a GoogleTest case, the
# last line of any other test's output), grouped by test program.
#
# A test that needs the published nodelists skips saying "no real
# nodelist". Where the folder that the build names (TOLVANE_NODELISTS in
# its cache) exists, such a skip means the tests did not read it: the
# script fails. Where it is absent (a clone without it), one line says so.
# A build folder without results fails too.
#
# Usage: scripts/skipped_tests.sh BUILD_DIR...
set -uo pipefail

status=0

# The skipped tests of a ctest JUnit file, one a line: "name<TAB>reason".
skipped_of() {
  awk '
    function decode(t) {
      gsub(/&lt;/, "<", t); gsub(/&gt;/, ">", t); gsub(/&quot;/, "\"", t)
      gsub(/&apos;/, "\047", t); gsub(/&amp;/, "\\&", t)
      return t
    }
    function finish() {
      if (name == "" || !skipped) return
      reason = gtest != "" ? gtest : last != "" ? last : message
      printf "%s\t%s\n", name, reason == "" ? "(no reason given)" : reason
    }
    /<testcase / {
      finish()
      name = $0; sub(/.*<testcase name="/, "", name); sub(/".*/, "", name)
      name = decode(name)
      skipped = 0; message = gtest = last = ""; inskip = inout = 0
      next
    }
    /<skipped message="/ {
      skipped = 1
      message = $0; sub(/.*<skipped message="/, "", message)
      sub(/".*/, "", message)
      next
    }
    /<system-out>/ { inout = 1; sub(/.*<system-out>/, "") }
    inout {
      line = $0
      end = sub(/<\/system-out>.*/, "", line)
      line = decode(line)
      if (line ~ /^\[  SKIPPED \]/) inskip = 0
      else if (inskip && line != "") gtest = gtest == "" ? line : gtest " " line
      else if (line ~ /: Skipped$/) inskip = 1
      if (line ~ /[^ \t]/) last = line
      if (end) inout = 0
    }
    END { finish() }
  ' "$1"
}

# The build's nodelist folder, from its CMake cache.
nodelists_of() {
  sed -n 's/^TOLVANE_NODELISTS:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null
}

echo "== skipped tests"
for dir in "$@"; do
  suite=$(basename "$dir")
  results=$dir/ctest-results.xml
  if [ ! -f "$results" ]; then
    echo "$suite: no test results ($results): FAILED"
    status=1
    continue
  fi
  list=$(skipped_of "$results")
  count=0
  [ -n "$list" ] && count=$(printf '%s\n' "$list" | wc -l)
  echo "$suite: $count skipped"
  [ "$count" -eq 0 ] && continue
  # By program and reason: "  unit_platform: 2, runs only as a child (...)".
  printf '%s\n' "$list" | grep -v "no real nodelist" | awk -F'\t' '
    {
      program = $1; sub(/\..*/, "", program)
      key = program "\t" $2
      if (!(key in count)) order[++n] = key
      count[key]++
      test = $1; sub(/^[^.]*\./, "", test)
      names[key] = names[key] (names[key] == "" ? "" : ", ") test
    }
    END {
      for (i = 1; i <= n; i++) {
        split(order[i], part, "\t")
        printf "  %s: %d, %s (%s)\n", part[1], count[order[i]], part[2],
               names[order[i]]
      }
    }'
  needy=$(printf '%s\n' "$list" | grep "no real nodelist" | cut -f1 |
          paste -sd, | sed 's/,/, /g')
  [ -z "$needy" ] && continue
  folder=$(nodelists_of "$dir")
  number=$(printf '%s\n' "$list" | grep -c "no real nodelist")
  if [ -n "$folder" ] && [ -d "$folder" ]; then
    echo "  FAILED: $number tests skipped for want of the real nodelists," \
         "though $folder exists: $needy"
    status=1
  else
    echo "  $number tests did not run, the real nodelists being absent" \
         "(${folder:-no folder named}): $needy"
  fi
done
exit $status
