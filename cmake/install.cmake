# What `cmake --install` puts where (any prefix; DESTDIR honoured), and the
# packages made from it (cmake/package.cmake).
#
# Linux:
#   bin/                     the user programs
#   lib/tolvane/plugin/      the plugin with its language and help files
#   share/tolvane/sample/    the compiled sample nodelist
#   share/doc/tolvane/       README.md, copyright, changelog.gz
#   share/man/man1/          a manual page per program
# Windows, the folder of FAR Manager as a user unpacks the ZIP into it:
#   Plugins/Tolvane/         Tolvane.dll, language and help files, File_id.diz
#   ./                       tolvane-compile.exe, Tolvane.txt
#
# The tolvane program finds its plugin and sample relative to its own
# folder: beside it in the build tree, at TOLVANE_PLUGIN_FROM_BIN and
# TOLVANE_SAMPLE_FROM_BIN (e.g. ../lib/tolvane/plugin) once installed.
#
# A program is installed by one line beside its target:
#   tolvane_user_program(<target> [WINDOWS])
# which installs it into bin/ with its manual page doc/man/<target>.1 and
# gives it its version (tolvane_program_version, src/version). WINDOWS puts
# the .exe into the Windows package as well.

include(GNUInstallDirs)
set(TOLVANE_INSTALL_PLUGINDIR lib/tolvane/plugin CACHE STRING
    "where the plugin and its language files go, under the prefix")
set(TOLVANE_INSTALL_SAMPLEDIR ${CMAKE_INSTALL_DATADIR}/tolvane/sample
    CACHE STRING "where the compiled sample nodelist goes, under the prefix")
set(TOLVANE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tolvane)
if(WIN32)
  set(TOLVANE_INSTALL_PLUGINDIR Plugins/Tolvane)
endif()

# The path from the installed bin/ to an installed folder, as the tolvane
# program resolves it against its own folder.
function(tolvane_path_from_bin out dir)
  cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_BINDIR BASE_DIRECTORY /prefix
             OUTPUT_VARIABLE bin)
  cmake_path(ABSOLUTE_PATH dir BASE_DIRECTORY /prefix OUTPUT_VARIABLE to)
  file(RELATIVE_PATH relative ${bin} ${to})
  set(${out} ${relative} PARENT_SCOPE)
endfunction()
tolvane_path_from_bin(TOLVANE_PLUGIN_FROM_BIN ${TOLVANE_INSTALL_PLUGINDIR})
tolvane_path_from_bin(TOLVANE_SAMPLE_FROM_BIN ${TOLVANE_INSTALL_SAMPLEDIR})

# The day of the release for the manual pages and the changelog: the day
# of configuring, or that of SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP TOLVANE_RELEASE_DAY "%Y-%m-%d" UTC)
string(TIMESTAMP TOLVANE_RELEASE_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)

# Manual pages and the changelog are configured with the version and packed
# into build/ (gzip -n: no name or time stamp in the header).
if(NOT WIN32)
  find_program(TOLVANE_GZIP gzip REQUIRED)
endif()

# tolvane_user_program(<target> [WINDOWS]): see the top of this file.
function(tolvane_user_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WINDOWS" "" "")
  tolvane_program_version(${target})
  if(WIN32)
    if(arg_WINDOWS)
      install(TARGETS ${target} RUNTIME DESTINATION .)
    endif()
    return()
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${CMAKE_BINARY_DIR}/man/${target}.1)
  configure_file(${CMAKE_SOURCE_DIR}/doc/man/${target}.1 ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
      COMMAND ${TOLVANE_GZIP} -9 -n -f -k ${page}
      DEPENDS ${page}
      VERBATIM)
  add_custom_target(${target}_manual_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# tolvane_install_product(): the plugin with its language and help files,
# the sample and the documents; called once every target exists.
function(tolvane_install_product)
  set(TOLVANE_LANGUAGE_FILES ${CMAKE_SOURCE_DIR}/lang/Tolvane_eng.lng
      ${CMAKE_SOURCE_DIR}/lang/Tolvane_rus.lng
      ${CMAKE_SOURCE_DIR}/lang/Tolvane_eng.hlf
      ${CMAKE_SOURCE_DIR}/lang/Tolvane_rus.hlf)
  install(FILES ${TOLVANE_LANGUAGE_FILES}
          DESTINATION ${TOLVANE_INSTALL_PLUGINDIR})

  if(WIN32)
    # The DLL without its import library, which no one links against.
    install(TARGETS tolvane_plugin
            RUNTIME DESTINATION ${TOLVANE_INSTALL_PLUGINDIR}
            ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
    # The description BBS and FAR users expect beside a plugin, and a short
    # readme in the FAR folder; both in CR LF, as Windows text.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set(TOLVANE_FAR_BITS 64-bit)
    else()
      set(TOLVANE_FAR_BITS 32-bit)
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/File_id.diz
                   ${CMAKE_BINARY_DIR}/packaging/File_id.diz @ONLY
                   NEWLINE_STYLE CRLF)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/Tolvane.txt
                   ${CMAKE_BINARY_DIR}/packaging/Tolvane.txt @ONLY
                   NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/File_id.diz
            DESTINATION ${TOLVANE_INSTALL_PLUGINDIR})
    install(FILES ${CMAKE_BINARY_DIR}/packaging/Tolvane.txt DESTINATION .)
  else()
    # A module that only the host loads: a data file (0644), stripped with
    # the programs by `cmake --install --strip` and in the packages.
    install(TARGETS tolvane_plugin
            LIBRARY DESTINATION ${TOLVANE_INSTALL_PLUGINDIR}
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/sample/
            DESTINATION ${TOLVANE_INSTALL_SAMPLEDIR}
            FILES_MATCHING PATTERN "NODEX.*" PATTERN "*.BSY" EXCLUDE
            PATTERN "*.tmp" EXCLUDE)
    # The changelog Debian asks of every package, with the release's number
    # and day, packed as the manual pages are.
    set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog ${changelog}
                   @ONLY)
    add_custom_command(OUTPUT ${changelog}.gz
        COMMAND ${TOLVANE_GZIP} -9 -n -f -k ${changelog}
        DEPENDS ${changelog}
        VERBATIM)
    add_custom_target(tolvane_changelog ALL DEPENDS ${changelog}.gz)
    # The tolvane program carries ncurses within it where its static
    # archives exist (farhost/tui/CMakeLists.txt); the Debian package says
    # why to lintian.
    if(TOLVANE_NCURSESW_ARCHIVE AND TOLVANE_TINFO_ARCHIVE
       AND NOT TOLVANE_SANITIZE)
      install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides
              DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
              RENAME tolvane)
    endif()
    install(FILES ${CMAKE_SOURCE_DIR}/README.md
            ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${changelog}.gz
            DESTINATION ${TOLVANE_INSTALL_DOCDIR})
  endif()
endfunction()
