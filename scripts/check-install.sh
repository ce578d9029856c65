#!/usr/bin/env bash
# Checks Tolvane as users receive it, from the builds scripts/check.sh has
# made: `cmake --install` of the release build into a DESTDIR, its programs
# run from another folder with an empty HOME; the Debian package and the
# .tar.gz (same tree, lintian without errors, every manual page renders,
# every program answers --version); where this runs as root, the package
# installed with dpkg, run from the PATH and removed without a trace; the
# Windows ZIP (exactly the files a FAR user needs, CR LF texts, the DLL's
# exports and imports, the version resources), and its plugin folder
# loaded by the Windows tolvane.exe under Wine where that can run.
#
# Usage: scripts/check-install.sh [yes|no]
#   yes/no: whether 32-bit Windows programs run here (check.sh's probe).
#   With no, the win32 ZIP is checked without running it, and the same ZIP
#   rule is run on the win64 build (when there is one) under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs32=${1:-no}
release=$root/build/release
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-install.XXXXXX")
failures=0
installed_package=0

fail() {
  echo "check-install: FAILED: $*" >&2
  failures=$((failures + 1))
}
note() { echo "check-install: $*"; }
cleanup() {
  if [ "$installed_package" = 1 ]; then
    dpkg -r tolvane >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

scripts/deps.sh release
if [ ! -x "$release/bin/tolvane" ]; then
  echo "check-install: build the release preset first" >&2
  exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/CMakeCache.txt")

# A clean environment: an empty HOME, no stored settings, another folder.
home=$work/home elsewhere=$work/elsewhere
mkdir -p "$home" "$elsewhere"
clean_env=(env -i "HOME=$home" "PATH=/usr/bin:/bin" "TMPDIR=$work"
           "LANG=C.UTF-8")

# The files of a tree below a folder, one relative path a line.
tree_files() { (cd "$1" && find . ! -type d | sed 's|^\./||' | sort); }

# check_programs BIN MAN: every program answers --version with the
# project's number, and has a manual page that renders without a warning
# and holds the usual sections.
check_programs() {
  local bin=$1 man=$2 program name line page out section
  for program in "$bin"/*; do
    name=$(basename "$program")
    line=$("${clean_env[@]}" "$program" --version 2>&1) || true
    [[ $line =~ ^$name\ ${version//./\\.}\ \(commit\ ([0-9a-f]{7}|unknown),\ built\ [0-9]{4}-[0-9]{2}-[0-9]{2}\)$ ]] ||
      fail "$name --version says '$line'"
    page=$man/$name.1.gz
    if [ ! -f "$page" ]; then
      fail "$name has no manual page ($page)"
      continue
    fi
    out=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" \
          2>"$work/man.err") || fail "man -l $page failed"
    if [ -s "$work/man.err" ]; then
      fail "man -l $page warns: $(head -n 3 "$work/man.err")"
    fi
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES \
                   EXAMPLES; do
      grep -qx "$section" <<<"$out" || fail "$page has no $section section"
    done
  done
}

# --- cmake --install into a DESTDIR, run from another folder -------------
note "cmake --install into a DESTDIR"
dest=$work/dest prefix=/opt/tolvane
DESTDIR=$dest cmake --install "$release" --prefix "$prefix" >/dev/null
inst=$dest$prefix
for program in tolvane tolvane-compile tolvane-dump; do
  [ -x "$inst/bin/$program" ] || fail "no bin/$program in the installation"
done
check_programs "$inst/bin" "$inst/share/man/man1"

# The installed tolvane lists the sample exactly as the build tree's does,
# with its plugin, language file and sample found beside its own folder.
(cd "$elsewhere" && "${clean_env[@]}" "$release/bin/tolvane" ls) \
  >"$work/ls.build" 2>&1 || fail "tolvane ls in the build tree failed"
(cd "$elsewhere" && "${clean_env[@]}" "$inst/bin/tolvane" ls) \
  >"$work/ls.installed" 2>&1 || fail "the installed tolvane ls failed"
cmp -s "$work/ls.build" "$work/ls.installed" ||
  fail "the installed tolvane lists otherwise: $(head -n 3 "$work/ls.installed")"
grep -q "Europe Coordinator" "$work/ls.installed" ||
  fail "the installed tolvane did not list the sample"
(cd "$elsewhere" && "${clean_env[@]}" "$inst/bin/tolvane" info) \
  >"$work/info" 2>&1 || fail "the installed tolvane info failed"
grep -q "^plugin  *$inst/lib/tolvane/plugin/tolvane.so$" "$work/info" ||
  fail "the installed tolvane loads another plugin: $(head -n 1 "$work/info")"
[ -z "$(ls -A "$home")" ] || fail "a scripting command wrote into HOME"

# The installed compiler compiles the sample text list into what the
# installed dump reads as the bundled sample.
(cd "$elsewhere" && "${clean_env[@]}" "$inst/bin/tolvane-compile" \
   --out "$work/sample" "$root/data/sample/NODELIST.340" \
   "$root/data/sample/POINTS.340") >/dev/null ||
  fail "the installed tolvane-compile failed"
"${clean_env[@]}" "$inst/bin/tolvane-dump" "$work/sample" >"$work/dump.made" ||
  fail "the installed tolvane-dump failed on a compiled list"
"${clean_env[@]}" "$inst/bin/tolvane-dump" "$inst/share/tolvane/sample" \
  >"$work/dump.sample" || fail "the installed tolvane-dump failed on the sample"
cmp -s "$work/dump.made" "$work/dump.sample" ||
  fail "the installed compiler's sample differs from the bundled one"

# A source tree that is not a git checkout of its own (an unpacked source
# archive, here inside another repository) builds as commit "unknown".
if command -v git >/dev/null; then
  git init -q "$work/repo" && mkdir -p "$work/repo/tolvane-src"
  cmake -DSOURCE_DIR="$work/repo/tolvane-src" -DOUT="$work/build_info.h" \
        -P cmake/write_build_info.cmake
  grep -q '^#define TOLVANE_COMMIT "unknown"$' "$work/build_info.h" ||
    fail "a tree without git of its own names a commit: $(cat "$work/build_info.h")"
fi

# --- the Debian package and the archive -----------------------------------
note "packages of the release build"
rm -rf "$release/packages"
cpack --preset release >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack --preset release"; }
deb=$release/packages/tolvane_${version}_amd64.deb
tgz=$release/packages/tolvane-$version-Linux-$(uname -m).tar.gz
tree_files "$inst" >"$work/tree.installed"
if [ -f "$deb" ]; then
  dpkg-deb -x "$deb" "$work/deb"
  tree_files "$work/deb/usr" >"$work/tree.deb"
  diff -u "$work/tree.installed" "$work/tree.deb" >&2 ||
    fail "the Debian package holds another tree than cmake --install"
  check_programs "$work/deb/usr/bin" "$work/deb/usr/share/man/man1"
  [ -f "$work/deb/usr/share/doc/tolvane/copyright" ] || fail "no copyright file"
  dpkg-deb -f "$deb" Depends | grep -q 'libc6' ||
    fail "the package names no runtime libraries: $(dpkg-deb -f "$deb" Depends)"
  if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
    grep '^W:' "$work/lintian.log" || true
    note "lintian: no errors"
  else
    cat "$work/lintian.log" >&2
    fail "lintian reports errors on $(basename "$deb")"
  fi
else
  fail "no $deb"
fi
if [ -f "$tgz" ]; then
  mkdir -p "$work/tgz"
  tar -xzf "$tgz" -C "$work/tgz"
  top=$work/tgz/$(basename "$tgz" .tar.gz)
  tree_files "$top" >"$work/tree.tgz"
  diff -u "$work/tree.installed" "$work/tree.tgz" >&2 ||
    fail "the archive holds another tree than cmake --install"
  (cd "$elsewhere" && "${clean_env[@]}" "$top/bin/tolvane" ls) \
    >"$work/ls.tgz" 2>&1 || fail "tolvane ls from the unpacked archive failed"
  cmp -s "$work/ls.build" "$work/ls.tgz" ||
    fail "tolvane from the unpacked archive lists otherwise"
else
  fail "no $tgz"
fi

# --- dpkg -i, run from the PATH, dpkg -r ----------------------------------
# dpkg_retry ARGS: dpkg, waiting while another dpkg or apt holds its lock.
dpkg_retry() {
  local try
  for try in $(seq 1 30); do
    if dpkg "$@" >"$work/dpkg.log" 2>&1; then return 0; fi
    grep -qi 'lock' "$work/dpkg.log" || break
    sleep 2
  done
  cat "$work/dpkg.log" >&2
  return 1
}
check_package_use() {
  local real=$root/../shared/nodelists/NODELIST.122 line
  [ "$(command -v tolvane)" = /usr/bin/tolvane ] ||
    fail "tolvane is not on the PATH as /usr/bin/tolvane"
  (cd "$elsewhere" && "${clean_env[@]}" tolvane info) >"$work/info.deb" 2>&1 ||
    fail "tolvane info from the PATH failed: $(cat "$work/info.deb")"
  grep -q '^plugin  */usr/lib/tolvane/plugin/tolvane.so$' "$work/info.deb" ||
    fail "the packaged tolvane loads another plugin"
  line=$(cd "$elsewhere" && "${clean_env[@]}" tolvane-compile --version) ||
    fail "tolvane-compile --version from the PATH failed"
  [[ $line == "tolvane-compile $version "* ]] ||
    fail "tolvane-compile --version from the PATH says '$line'"
  (cd "$elsewhere" && "${clean_env[@]}" tolvane ls) >"$work/ls.deb" 2>&1 ||
    fail "tolvane ls from the PATH failed"
  cmp -s "$work/ls.build" "$work/ls.deb" ||
    fail "the packaged tolvane lists the sample otherwise"
  if [ -f "$real" ]; then
    (cd "$elsewhere" && "${clean_env[@]}" tolvane-compile --out "$work/real" \
       "$real") >/dev/null || fail "tolvane-compile on $(basename "$real")"
    (cd "$elsewhere" && "${clean_env[@]}" tolvane ls 2 \
       --nodelist "$work/real") >"$work/ls.real" 2>&1 ||
      fail "tolvane ls on $(basename "$real") failed: $(head -n 2 "$work/ls.real")"
    [ "$(grep -c '│2:[0-9]' "$work/ls.real" || true)" -gt 100 ] ||
      fail "tolvane ls 2 on $(basename "$real") lists few nets:" \
           "$(head -n 3 "$work/ls.real")"
  else
    note "no real nodelist at $real; the sample alone is used"
  fi
}
if [ "$(id -u)" -ne 0 ]; then
  note "not root: the package is not installed here"
elif [ -f "$deb" ]; then
  # Checks of several worktrees on one machine take turns with the package.
  lock_dir=/run/lock
  [ -d "$lock_dir" ] || lock_dir=/tmp
  exec 9>"$lock_dir/tolvane-check-package.lock"
  if ! flock -w 600 9; then
    fail "another check held the package lock for 10 minutes"
  elif dpkg-query -W -f='${Status}' tolvane 2>/dev/null | grep -q 'ok installed'; then
    note "a tolvane package is installed on this machine already; it is" \
         "left alone and the package is not installed here"
  elif dpkg_retry -i "$deb"; then
    installed_package=1
    note "dpkg -i $(basename "$deb"): installed"
    check_package_use
    if dpkg_retry -r tolvane; then
      installed_package=0
      status=$(dpkg-query -W -f='${Status}' tolvane 2>/dev/null || true)
      case $status in "" | *not-installed) ;;
        *) fail "after dpkg -r the package is '$status'" ;; esac
      while read -r path; do
        if [ -e "/$path" ]; then fail "/$path is left after dpkg -r"; fi
      done < <(sed 's|^|usr/|' "$work/tree.deb")
      for folder in /usr/lib/tolvane /usr/share/tolvane /usr/share/doc/tolvane; do
        if [ -e "$folder" ]; then fail "$folder is left after dpkg -r"; fi
      done
      note "dpkg -r tolvane: nothing left"
    else
      fail "dpkg -r tolvane"
    fi
  else
    fail "dpkg -i $(basename "$deb")"
  fi
  flock -u 9
fi

# --- the Windows ZIP -------------------------------------------------------
# check_zip PRESET TRIPLET: the preset's ZIP holds exactly the FAR files,
# its texts are CR LF, and its binaries pass the build's checks and carry
# the version resource. The unpacked folder is left in $work/far-PRESET.
check_zip() {
  local preset=$1 triplet=$2 build=$root/build/$1
  local zip=$build/packages/tolvane-$version-$1.zip far=$work/far-$1
  rm -rf "$build/packages"
  cpack --preset "$preset" >"$work/cpack-$preset.log" 2>&1 ||
    { cat "$work/cpack-$preset.log" >&2; fail "cpack --preset $preset"; return; }
  [ -f "$zip" ] || { fail "no $zip"; return; }
  unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/zip-$preset.list"
  printf '%s\n' Plugins/Tolvane/File_id.diz Plugins/Tolvane/Tolvane.dll \
    Plugins/Tolvane/Tolvane_eng.hlf Plugins/Tolvane/Tolvane_eng.lng \
    Plugins/Tolvane/Tolvane_rus.hlf Plugins/Tolvane/Tolvane_rus.lng \
    Tolvane.txt tolvane-compile.exe | sort >"$work/zip-expected"
  diff -u "$work/zip-expected" "$work/zip-$preset.list" >&2 ||
    fail "$(basename "$zip") holds other files than a FAR user needs"
  mkdir -p "$far"
  unzip -q "$zip" -d "$far"
  local text
  for text in "$far/Tolvane.txt" "$far/Plugins/Tolvane/File_id.diz"; do
    [ -f "$text" ] || continue
    if LC_ALL=C grep -qv $'\r$' "$text"; then
      fail "$(basename "$text") has lines without CR LF"
    fi
  done
  if ! LC_ALL=C awk '{ sub(/\r$/, "") } length($0) > 45 || NR > 10 { bad = 1 }
                     END { exit bad }' "$far/Plugins/Tolvane/File_id.diz"; then
    fail "File_id.diz is wider than 45 columns or longer than 10 lines"
  fi
  bash cmake/check_exports.sh "$far/Plugins/Tolvane/Tolvane.dll" windows \
    "$triplet-objdump" || fail "the ZIP's Tolvane.dll fails the export check"
  local dll
  for dll in $("$triplet-objdump" -p "$far/tolvane-compile.exe" |
               sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case $dll in
      kernel32.dll | advapi32.dll | user32.dll | msvcrt.dll | ntdll.dll) ;;
      *) fail "tolvane-compile.exe imports $dll, not a system DLL" ;;
    esac
  done
  local binary
  for binary in "$far/Plugins/Tolvane/Tolvane.dll" "$far/tolvane-compile.exe"; do
    "$triplet-windres" -i "$binary" -O rc 2>/dev/null |
      grep -q "VALUE \"FileVersion\", \"$version\"" ||
      fail "$(basename "$binary") carries no version resource of $version"
  done
}

# run_zip_plugin PRESET LOADER PREFIX: the Windows tolvane.exe of the build
# loads the unpacked ZIP's plugin folder and lists the sample with it; the
# unpacked compiler answers --version.
run_zip_plugin() {
  local preset=$1 loader=$2 prefix=$3 far=$work/far-$1
  local host=$root/build/$1/bin/tolvane.exe
  local wenv=(env "WINEPREFIX=$prefix" WINEDEBUG=-all
              "WINEDLLOVERRIDES=mscoree,mshtml=")
  [ -x "$host" ] && [ -d "$far" ] || return 0
  "${wenv[@]}" "$loader" "$far/tolvane-compile.exe" --version \
    >"$work/wine-version" 2>&1
  grep -q "^tolvane-compile $version (commit" "$work/wine-version" ||
    fail "tolvane-compile.exe from the ZIP says: $(head -n 2 "$work/wine-version")"
  "${wenv[@]}" "$loader" "$host" --plugin "Z:${far//\//\\}\\Plugins\\Tolvane\\Tolvane.dll" \
    --root-key 'Software\Tolvane\CheckInstall' \
    --nodelist "Z:${root//\//\\}\\build\\$preset\\bin\\sample\\" ls \
    >"$work/wine-ls" 2>&1 || fail "the ZIP's plugin did not list under Wine"
  grep -q "Europe Coordinator" "$work/wine-ls" ||
    fail "the ZIP's plugin listed: $(head -n 3 "$work/wine-ls")"
  note "the $preset ZIP's plugin folder lists the sample under Wine"
}

if [ -f "$root/build/win32/CMakeCache.txt" ]; then
  note "the win32 ZIP"
  check_zip win32 i686-w64-mingw32
  if [ "$runs32" = yes ]; then
    run_zip_plugin win32 wine "$root/build/wineprefix"
  fi
else
  fail "no win32 build to pack"
fi
# Where 32-bit programs cannot run, the ZIP rule is run once more on the
# 64-bit Windows build, whose programs do run under wine64.
if [ "$runs32" != yes ] && [ -f "$root/build/win64/CMakeCache.txt" ]; then
  note "the win64 ZIP (the same rule, run under wine64)"
  check_zip win64 x86_64-w64-mingw32
  run_zip_plugin win64 /usr/lib/wine/wine64 "$root/build/wineprefix64"
fi

if [ "$failures" -ne 0 ]; then
  echo "check-install: $failures failure(s)" >&2
  exit 1
fi
note "installation, packages and ZIP: all checks passed"
