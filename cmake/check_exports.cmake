# Checks a built plugin: its export table must list exactly the thirteen
# entry points by their plain names; a Windows DLL may import from system
# DLLs only. Run with -DPLUGIN=<file> -DWINDOWS=<bool>.
set(expected ClosePlugin Compare Configure FreeFindData GetFiles GetFindData
    GetOpenPluginInfo GetPluginInfo OpenPlugin ProcessEvent ProcessKey
    SetDirectory SetStartupInfo)

if(WINDOWS)
  execute_process(COMMAND i686-w64-mingw32-objdump -p ${PLUGIN}
                  OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${PLUGIN}")
  endif()
  # Export name table lines look like "\t[   0] +base[   1] 0000 Name".
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table(.*)" table "${dump}")
  string(REGEX MATCHALL "\\] ([A-Za-z_@0-9]+)\n" rows "${table}")
  set(found "")
  foreach(r ${rows})
    string(REGEX REPLACE "\\] ([A-Za-z_@0-9]+)\n" "\\1" n "${r}")
    list(APPEND found ${n})
  endforeach()
  string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${dump}")
  set(allowed kernel32.dll advapi32.dll user32.dll msvcrt.dll ntdll.dll)
  foreach(d ${dlls})
    string(REPLACE "DLL Name: " "" d "${d}")
    string(TOLOWER "${d}" d)
    list(FIND allowed "${d}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${PLUGIN} imports from ${d}, which is not a system DLL")
    endif()
  endforeach()
else()
  execute_process(COMMAND nm -D --defined-only ${PLUGIN}
                  OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm failed on ${PLUGIN}")
  endif()
  string(REGEX MATCHALL " [TtWw] [^\n]+" rows "${dump}")
  set(found "")
  foreach(r ${rows})
    string(REGEX REPLACE " [TtWw] " "" n "${r}")
    list(APPEND found ${n})
  endforeach()
endif()

list(SORT found)
if(NOT "${found}" STREQUAL "${expected}")
  message(FATAL_ERROR "${PLUGIN} exports [${found}], expected [${expected}]")
endif()
