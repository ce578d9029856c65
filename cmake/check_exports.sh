#!/usr/bin/env bash
# Checks a built plugin: its export table lists exactly the thirteen entry
# points by their plain names, and a Windows DLL imports from system DLLs
# only. Usage: check_exports.sh PLUGIN [windows OBJDUMP]
set -euo pipefail
plugin=$1
expected="ClosePlugin Compare Configure FreeFindData GetFiles GetFindData \
GetOpenPluginInfo GetPluginInfo OpenPlugin ProcessEvent ProcessKey \
SetDirectory SetStartupInfo"

if [ "${2:-}" = windows ]; then
  dump=$("${3:?the objdump of the cross toolchain}" -p "$plugin")
  found=$(printf '%s\n' "$dump" |
    sed -n '/Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | xargs)
  imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr 'A-Z' 'a-z')
  for dll in $imports; do
    case $dll in
      kernel32.dll | advapi32.dll | user32.dll | msvcrt.dll | ntdll.dll) ;;
      *) echo "$plugin imports from $dll, which is not a system DLL" >&2
         exit 1 ;;
    esac
  done
else
  found=$(nm -D --defined-only "$plugin" | awk '$2 ~ /^[TtWwBbDd]$/ {print $3}' |
    sort | xargs)
fi

if [ "$found" != "$(echo $expected | tr ' ' '\n' | sort | xargs)" ]; then
  echo "$plugin exports [$found], expected [$expected]" >&2
  exit 1
fi
